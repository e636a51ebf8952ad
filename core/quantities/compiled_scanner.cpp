#include "core/quantities/compiled_scanner.h"

#include "core/quantities/compiled_operators.h"

namespace compiled_detail {

namespace {

// Names handed to the resolver are at most 30 characters of UTF-8.
constexpr int cMaxNameChars = 30;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// "^" ends an operand like the other symbol operators; word operators do not.
bool IsDelimiter(char c) {
    switch (c) {
    case '^':
    case ' ':
    case '+':
    case '-':
    case '*':
    case '/':
    case '=':
    case '>':
    case '<':
    case '&':
    case '|':
        return true;
    default:
        return false;
    }
}

// Quote and bracket state of the operand and argument scans.
struct TScanState {
    bool quote = false;
    bool square = false;
    int depth = 0;

    // Takes one character; true when it closed a quote or a bracket.
    bool Step(char c) {
        if (c == '\'') {
            quote = !quote;
            return !quote;
        }
        if (quote) return false;
        switch (c) {
        case '(':
            ++depth;
            return false;
        case ')':
            --depth;
            return depth == 0;
        case '[':
            square = true;
            return false;
        case ']':
            if (!square) return false;
            square = false;
            return true;
        default:
            return false;
        }
    }
    bool Outside() const { return !quote && depth == 0 && !square; }
};

} // namespace

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool StartsWithUpper(std::string_view s, std::string_view word) {
    if (s.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Upper(s[i]) != word[i]) return false;
    return true;
}

size_t OperandLength(std::string_view s) {
    TScanState state;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const bool closed = state.Step(s[i]);
        if (state.Outside() && (closed || IsDelimiter(s[i + 1]))) return i + 1;
    }
    return s.size();
}

TOpCode MatchOperator(std::string_view rest, size_t& length) {
    for (int op = cOPC_power; op > cOPC_None; --op) {
        if (StartsWithUpper(rest, cOperators[op].spelling)) {
            length = cOperators[op].spelling.size();
            return static_cast<TOpCode>(op);
        }
    }
    length = 0;
    return cOPC_None;
}

void SplitArguments(std::string_view s, std::vector<std::string_view>& pieces) {
    if (Trim(s).empty()) return;
    TScanState state;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ',' && state.Outside()) {
            pieces.push_back(s.substr(start, i - start));
            start = i + 1;
        } else {
            state.Step(s[i]);
        }
    }
    pieces.push_back(s.substr(start));
}

std::string_view TruncateName(std::string_view s) {
    int count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue; // continuation byte
        if (count == cMaxNameChars) return s.substr(0, i);
        ++count;
    }
    return s;
}

std::string_view Between(std::string_view s) {
    return s.size() >= 2 ? s.substr(1, s.size() - 2) : std::string_view();
}

} // namespace compiled_detail
