#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/byte_reader.h"
#include "core/util/byte_writer.h"

//! Magic text at the start of every container file.
inline constexpr std::string_view kContainerMagic = "OrsikDAT";
//! Fixed key of the body scrambling; containers are readable only with the key they
//! were written with.
inline constexpr uint32_t kScrambleKey = 0x6B3A91D5u;
//! Scrambling works on blocks of this many bytes, each with the key restarted.
inline constexpr size_t kScrambleBlock = 1024;

//! A container file split into its parts. Table blobs are views into `Body`.
struct TContainerImage {
    std::vector<std::string> Header; //!< name=value lines, UTF-8
    std::string FileFormatVersion;
    bool Scrambled = false;
    std::shared_ptr<const void> Storage; //!< owns the bytes `Body` views
    std::span<const uint8_t> Body;
    std::vector<std::string> TableNames;         //!< UTF-8, file order
    std::vector<std::span<const uint8_t>> Blobs; //!< one per table name
    std::vector<std::string> Kinds;              //!< kind string at each blob's start

    //! Index of a table by name, compared without regard to letter case; -1 if absent.
    int Find(std::string_view name) const;
};

//! Parses a whole container file. Returns false when the bytes do not begin with the
//! magic (not a container); throws EFormatError when the container is truncated or
//! corrupt. The image shares ownership of `file`.
bool ParseContainer(std::shared_ptr<const std::vector<uint8_t>> file, TContainerImage& out);
//! As ParseContainer, but a scrambled body is descrambled within `file` rather than in a copy
//! (a loader that read the file needs the scrambled bytes no more); the bytes change even
//! when the container turns out corrupt.
bool ParseContainerInPlace(std::shared_ptr<std::vector<uint8_t>> file, TContainerImage& out);
//! As above, over a plain buffer of `size` bytes.
bool ParseContainerInPlace(std::shared_ptr<uint8_t[]> file, size_t size, TContainerImage& out);

//! Descrambles one block in place (at most kScrambleBlock bytes).
void DescrambleBlock(std::span<uint8_t> block, uint32_t key = kScrambleKey);
//! The inverse of DescrambleBlock.
void ScrambleBlock(std::span<uint8_t> block, uint32_t key = kScrambleKey);

//! Serialises a container. Table names and header lines are UTF-8 and are written in
//! code page 1252; throws std::invalid_argument for text that code page cannot hold.
std::vector<uint8_t> BuildContainer(const std::vector<std::string>& header,
                                    const std::vector<std::string>& tableNames,
                                    const std::vector<std::span<const uint8_t>>& blobs,
                                    bool scramble);

//! Reads an 8-bit string (int32 length + code page 1252 bytes) as UTF-8.
std::string ReadAnsiString(TByteReader& r);
//! Reads a string list block: int32 block size, int32 count, then the strings, as UTF-8.
std::vector<std::string> ReadAnsiStringList(TByteReader& r);
//! Writes UTF-8 text as an 8-bit string in code page 1252; throws std::invalid_argument
//! when the text cannot be encoded.
void WriteAnsiString(TByteWriter& w, std::string_view utf8);
//! Writes a string list block of 8-bit strings.
void WriteAnsiStringList(TByteWriter& w, const std::vector<std::string>& items);
//! Upper-cases ASCII letters; used for the case-insensitive name lookups.
std::string UpperAscii(std::string_view s);
//! Compares two names without regard to ASCII letter case.
bool SameTextAscii(std::string_view a, std::string_view b);
