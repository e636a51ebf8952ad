#pragma once

#include <functional>
#include <string>

//! Process-wide diagnostic trace sink; off (empty) in normal runs.
using TTraceSink = std::function<void(const std::string& line)>;

void SetTraceSink(TTraceSink sink);
bool TraceEnabled();
//! Writes one line to the sink when one is set.
void TraceLine(const std::string& line);
//! printf-style formatting into a std::string.
std::string FormatText(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
