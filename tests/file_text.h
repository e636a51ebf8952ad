#pragma once

#include <fstream>
#include <sstream>
#include <string>

//! The whole content of a file as bytes; empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
