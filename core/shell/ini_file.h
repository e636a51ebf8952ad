#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

//! How the bytes of an INI file encode its text; a file is written back as it was read.
enum TIniEncoding : uint8_t {
    cieUtf8,    //!< UTF-8 without a byte order mark (also every new file)
    cieUtf8Bom, //!< UTF-8 after the bytes EF BB BF
    cieUtf16Le, //!< UTF-16LE after the bytes FF FE
    cieAnsi,    //!< 8-bit Windows code page 1252 (a file that is not valid UTF-8)
};

//! Outcome of loading or saving an INI file; the message names the file and what is wrong.
struct TIniResult {
    bool Ok = true;
    std::string Message;

    explicit operator bool() const { return Ok; }
};

//! Largest INI file that is read; settings files are a few kilobytes.
inline constexpr uint64_t cIniMaxFileSize = uint64_t{16} << 20;

//! An INI file kept as its lines, so that writing a value changes that line only and
//! leaves comments, layout, other programs' sections and line ends as they were. Reads
//! follow the usual INI conventions of the desktop the format comes from: section and key
//! names are compared without regard to letter case, blanks around names, "=" and values
//! are ignored, lines beginning with ";" or "#" are comments, the first section of a name
//! and the first key of a name in it win, keys before the first section belong to none,
//! and one pair of matching quotes around a value is removed.
class TIniFile {
public:
    TIniFile() = default;

    //! Parses the bytes of a file: CR LF, LF or CR line ends; UTF-8 with or without a byte
    //! order mark, UTF-16LE with one, otherwise code page 1252.
    static TIniFile Parse(std::string_view bytes);
    //! The bytes of the file in its encoding and line-end style.
    std::string Bytes() const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    //! The value of a key; nothing when the section or key does not exist.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    //! Sets a key: replaces the value of an existing key in place, else adds the key after
    //! the last key of the section, else appends the section. The value is written so that
    //! it reads back as given (quoted when it has outer blanks or quotes); CR and LF, which
    //! a line cannot hold, become blanks. Section and key names must not be empty nor hold
    //! line breaks, a key no "=" nor begin with "[", ";" or "#", and a section no "]"
    //! (std::invalid_argument).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    //! Names of the sections in file order, as written.
    std::vector<std::string> Sections() const;

    TIniEncoding Encoding() const { return FEncoding; }
    //! True once a value was written since parsing.
    bool Modified() const { return FModified; }

private:
    enum TLineKind : uint8_t { clkOther, clkSection, clkKey };
    struct TLine {
        std::string Text; // the line as written, without its line end
        TLineKind Kind = clkOther;
        std::string Name;   // section or key name, trimmed
        size_t ValueAt = 0; // key lines: where the value text begins
        int Section = -1;   // ordinal of the section the line belongs to; -1 before the first
    };

    int FindSection(std::string_view section) const;
    int FindKey(int section, std::string_view key) const;
    static TLine ParseLine(std::string text, int section);

    std::vector<TLine> FLines;
    TIniEncoding FEncoding = cieUtf8;
    std::string FLineEnd = "\n";
    bool FFinalLineEnd = true;
    bool FModified = false;
    int FSectionCount = 0;
};

//! Reads an INI file; a missing file gives an empty one. Fails when the file exists but
//! cannot be read or is larger than cIniMaxFileSize.
TIniResult LoadIniFile(const std::string& fileName, TIniFile& ini);

//! Writes an INI file so that a failure or crash never leaves a truncated file: the bytes
//! go to a temporary file in the same folder, which is flushed to disk and renamed over the
//! target. A symbolic link is followed and the file it names is replaced; the permissions
//! of an existing file are kept. On failure the old file is untouched.
TIniResult SaveIniFile(const std::string& fileName, const TIniFile& ini);
