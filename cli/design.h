#pragma once

#include <string>
#include <vector>

//! Options of `vacuum-cli design`.
struct TDesignOptions {
    std::string Project;
    std::string Catalog;  //!< empty: Vacuum.dat of the data folder
    std::string Language; //!< empty: English when the language file has it, else the keys
    bool Json = false;
    std::string ErpFile, PlantCode, CsvFile, ShopFile;
};

//! Outcome of a design run: the exit status (0 done, 1 a file could not be read or
//! written, 2 a page refused) and the text for stdout and stderr.
struct TDesignOutcome {
    int Status = 0;
    std::string Out;
    std::string Error;
};

//! Reads the options after "design"; an empty optional error text means they are valid.
std::string ParseDesignOptions(const std::vector<std::string>& args, TDesignOptions& options);

//! Opens the catalogue, accepts the disclaimer, loads the project as the recent-files
//! command does, walks the pages forward to the parts list as Next would, prints the
//! results of every page and writes the requested exports.
TDesignOutcome RunDesign(const TDesignOptions& options);

//! Reads the project `in`, applies the motion page's speed–time relations to its stroke
//! and swivel angle and makes them the travel of both servo profiles, as entering the
//! stroke and the angle again would, and writes the project to `out` (which may be `in`).
TDesignOutcome RunRetime(const std::string& in, const std::string& out);
