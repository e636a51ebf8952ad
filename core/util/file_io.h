#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

//! Why a file could not be read.
enum TReadFileStatus { crfOk, crfOpenError, crfTooLarge, crfReadError };

//! A size for messages: whole GiB or MiB where it is one ("1 GiB", "64 MiB"), else bytes.
std::string SizeText(uint64_t bytes);

//! What kind of file system object a path names, as a short phrase for messages ("a folder",
//! "a character device", …); empty for a regular file.
std::string FileKindPhrase(unsigned mode);

//! Opens a file for reading only when it is a regular file (after links) of at most
//! `maxBytes`, and tells its size. Devices, FIFOs and folders are refused at once without
//! waiting on them, so a reader never blocks on or grows without end from a special file.
//! On failure `error` says why ("not a regular file (a folder)", "larger than 64 MiB", or
//! the system's text) and no descriptor is left open.
TReadFileStatus OpenRegularFile(const std::string& path, uint64_t maxBytes, int& fd, uint64_t& size,
                                std::string& error);

//! Reads exactly `size` bytes from `fd` into `buffer`; false with the system's text (or
//! "changed while being read") when the file holds fewer or more.
bool ReadExactly(int fd, void* buffer, uint64_t size, std::string& error);

//! Reads a whole regular file, refusing one larger than `maxBytes` before reading a byte.
//! On failure `error` says why (as OpenRegularFile); `bytes` is then unspecified.
TReadFileStatus ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                              std::string& error);

//! Replaces a file's contents whole or not at all: the bytes go to a temporary file beside
//! the target (after following symbolic links, so a link is kept and its file replaced),
//! which takes over the old file's permissions (0644 for a new one), is flushed and then
//! renamed over the target. The final target must be a regular file or not exist: a
//! device, FIFO, socket or folder is never replaced (a program run as root would otherwise
//! replace /dev/null). False on failure, with the reason in `error`; the target is then as
//! it was and no temporary file is left.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error);
