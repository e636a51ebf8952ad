#include "core/util/trace.h"

#include <cstdarg>
#include <cstdio>

namespace {
TTraceSink& Sink() {
    static TTraceSink sink;
    return sink;
}
} // namespace

void SetTraceSink(TTraceSink sink) { Sink() = std::move(sink); }
bool TraceEnabled() { return static_cast<bool>(Sink()); }
void TraceLine(const std::string& line) {
    if (Sink()) Sink()(line);
}

std::string FormatText(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string s;
    if (n > 0) {
        s.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(s.data(), s.size(), fmt, ap2);
        s.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return s;
}
