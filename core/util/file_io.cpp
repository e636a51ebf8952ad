#include "core/util/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

TReadFileStatus ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                              std::string& error) {
    bytes.clear();
    error.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = std::strerror(errno);
        return crfOpenError;
    }
    char buf[65536];
    size_t n = 0;
    bool tooLarge = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (bytes.size() + n > maxBytes) {
            tooLarge = true;
            break;
        }
        bytes.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (tooLarge) {
        error = "larger than " + std::to_string(maxBytes >> 20) + " MiB";
        return crfTooLarge;
    }
    if (failed) {
        error = std::strerror(err);
        return crfReadError;
    }
    return crfOk;
}
