#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include "tools/vacdb/catalog_source.h"

// The bundled catalogue (Vacuum.dat) and its languages (Vacuum.bin) compiled once per test
// program into a temporary folder, as they lie beside the program.
inline const std::string& CatalogueFile() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("vacuum_app_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string root = VACUUM_SOURCE_DIR;
        WriteFileAtomic((dir / "Vacuum.bin").string(), BuildContainerFromSources(root + "/catalog/language", false));
        WriteFileAtomic((dir / "Vacuum.dat").string(), BuildContainerFromSources(root + "/catalog/product", true));
        return (dir / "Vacuum.dat").string();
    }();
    return path;
}

inline std::string LanguageFile() {
    return std::filesystem::path(CatalogueFile()).replace_filename("Vacuum.bin").string();
}
