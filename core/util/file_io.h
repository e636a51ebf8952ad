#pragma once

#include <cstddef>
#include <string>

//! Why a file could not be read.
enum TReadFileStatus { crfOk, crfOpenError, crfTooLarge, crfReadError };

//! Reads a whole file, refusing more than `maxBytes`. On failure `error` says why (the
//! system's text, or "larger than N MiB"); `bytes` is then unspecified.
TReadFileStatus ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                              std::string& error);
