#pragma once

#include <string>
#include <string_view>

//! Windows code page 1252 (the ANSI code page of the product container) to UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
//! UTF-8 to code page 1252; returns false (and stops) at a character it cannot hold.
bool Utf8ToCp1252(std::string_view utf8, std::string& out);

//! UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD, an odd last byte is ignored.
std::string Utf16LeToUtf8(std::string_view bytes);
//! UTF-8 to UTF-16LE bytes; invalid sequences become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);

//! 8-bit text of a Windows code page (1252, 1250, 932, ...) to UTF-8. Undecodable bytes
//! become U+FFFD.
std::string CodePageToUtf8(int codePage, std::string_view text);
//! UTF-8 to a Windows code page; false when a character cannot be encoded.
bool Utf8ToCodePage(int codePage, std::string_view utf8, std::string& out);

//! True when the text is valid UTF-8.
bool IsValidUtf8(std::string_view text);
