#pragma once

#include <cstddef>
#include <string>
#include <string_view>

//! Why a file could not be read.
enum TReadFileStatus { crfOk, crfOpenError, crfTooLarge, crfReadError };

//! Reads a whole file, refusing more than `maxBytes`. On failure `error` says why (the
//! system's text, or "larger than N MiB"); `bytes` is then unspecified.
TReadFileStatus ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                              std::string& error);

//! Replaces a file's contents whole or not at all: the bytes go to a temporary file beside
//! the target (after following symbolic links, so a link is kept and its file replaced),
//! which takes over the old file's permissions (0644 for a new one), is flushed and then
//! renamed over the target. False on failure, with the system's text in `error`; the
//! target is then as it was and no temporary file is left.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error);
