#include "core/quantities/term.h"

#include "core/quantities/number_format.h"

namespace {

void PadLeft(std::string& s, int width) {
    if (width > 20000) width = 10;
    if (width > 0 && static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
}

} // namespace

void TermFromText(TTerm& term, std::string_view text) {
    term = TTerm();
    term.Typ = cTTAlpha;
    term.Text.assign(text);
}

void TermFromInt(TTerm& term, int32_t n, int width) { TermFromIntSuffix(term, n, {}, width); }

void TermFromIntSuffix(TTerm& term, int32_t n, std::string_view suffix, int width) {
    term = TTerm();
    term.Typ = cTTNum;
    term.Value = n;
    term.Tag = n;
    term.Text = std::to_string(n);
    term.Text.append(suffix);
    PadLeft(term.Text, width);
}

void TermFromFloat(TTerm& term, int precision, int decimals, double x) {
    term = TTerm();
    term.Typ = cTTNum;
    term.Value = x;
    term.Text = FloatText(x, precision, decimals);
}
