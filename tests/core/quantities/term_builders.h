#pragma once

// Terms of each kind, for the evaluator tests.

#include <string>

#include "core/quantities/term.h"

inline TTerm Num(double v) {
    TTerm t;
    t.Typ = cTTNum;
    t.Value = v;
    return t;
}

inline TTerm Alpha(const std::string& s, double value = 0) {
    TTerm t;
    TermFromText(t, s);
    t.Value = value;
    return t;
}

inline TTerm Expr(const std::string& s) {
    TTerm t;
    t.Typ = cTTExpr;
    t.Text = s;
    return t;
}
