#pragma once

// Checks shared by the fuzz targets. A broken invariant prints what differs and traps, so
// libFuzzer keeps the input as a crash.

#include "core/data/str_table_db.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fuzzcheck {

//! Where the trace sink of the targets discards its lines: the trace formatting runs on file
//! data too, so it stays in the path.
inline size_t traceBytes = 0;

[[noreturn]] inline void Broken(const std::string& what) {
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    __builtin_trap();
}

inline void Check(bool ok, const std::string& what) {
    if (!ok) Broken(what);
}

inline std::string Describe(const TTerm& t) {
    return "{typ " + std::to_string(t.Typ) + ", value " + std::to_string(t.Value) + ", text \"" +
           t.Text + "\", tag " + std::to_string(t.Tag) + (t.Object ? ", object" : "") + "}";
}

// Memo and blob cells of two different tables point at different columns; compare what they
// carry instead of the pointer.
inline bool SameCell(const TTerm& a, const TTerm& b) {
    if (a.Typ != b.Typ || a.Text != b.Text || a.Tag != b.Tag) return false;
    if (std::bit_cast<uint64_t>(a.Value) != std::bit_cast<uint64_t>(b.Value)) return false;
    if ((a.Object == nullptr) != (b.Object == nullptr)) return false;
    if (a.Object) {
        if (MemoOf(a) != MemoOf(b)) return false;
        const auto x = BlobOf(a), y = BlobOf(b);
        if (!std::equal(x.begin(), x.end(), y.begin(), y.end())) return false;
    }
    return true;
}

//! Reads every cell, the record-wise accessors and the reads outside the table.
inline void ReadAllCells(const TCustomStrTableDB& t) {
    const int rows = t.Rows(), cols = t.Cols();
    TTerm term;
    size_t sink = 0;
    for (int c = 0; c < cols; ++c) {
        const TStrFieldDB* f = t.Column(c);
        Check(f != nullptr, "column " + std::to_string(c) + " missing");
        sink += f->ValueRangeText().size();
        for (int r = 0; r < rows; ++r) {
            t.GetField(r, c, term);
            sink += term.Text.size();
            sink += MemoOf(term).size() + BlobOf(term).size();
            sink += f->GetText(r).size() + static_cast<size_t>(f->GetBool(r)) +
                    static_cast<size_t>(f->GetInt(r)) + static_cast<size_t>(f->GetFloat(r) != 0.0) +
                    f->Memo(r).size() + f->Blob(r).size();
        }
    }
    // Reads outside the table give the empty term.
    const int probes[][2] = {{-1, 0}, {rows, 0}, {0, -1}, {0, cols}, {rows, cols}};
    for (const auto& p : probes) {
        t.GetField(p[0], p[1], term);
        Check(term == TTerm(), "read outside the table at row " + std::to_string(p[0]) +
                                   ", column " + std::to_string(p[1]) + " gave " + Describe(term));
    }
    Check(t.Column(cols) == nullptr && t.Column(-1) == nullptr, "column outside the table");
    if (sink == 1) std::fputc(0, stderr); // keeps the reads from being optimised away
}

//! Distinct values of every column in a few sort and counting modes, with the properties
//! every mode guarantees.
inline void CheckDistinctValues(const TCustomStrTableDB& t) {
    const TTavCustomIndexEvent byLength = [](const std::string& s, int& i) {
        i = static_cast<int>(s.size());
    };
    for (int c = 0; c < t.Cols(); ++c) {
        TDistinctList list;
        std::vector<double> numbers;
        t.DistinctValues(c, list, nullptr, 0, cSortNone, &numbers);
        Check(numbers.size() == list.Count(), "distinct numbers differ in count");

        t.DistinctValues(c, list, nullptr, 0, cSortASCII, &numbers);
        Check(numbers.size() == list.Count(), "sorted distinct numbers differ in count");
        for (size_t i = 1; i < list.Count(); ++i)
            Check(!(list[i] < list[i - 1]),
                  "cSortASCII list out of order in column " + std::to_string(c));

        // Counting option 2 goes row by row: the tags count the rows of each text.
        t.DistinctValues(c, list, nullptr, 2, cSortASCII, nullptr);
        long long tagged = 0;
        for (const auto& e : list.Items) tagged += e.Tag;
        long long nonEmpty = 0;
        TTerm term;
        for (int r = 0; r < t.Rows(); ++r) {
            t.GetField(r, c, term);
            if (!term.Text.empty()) ++nonEmpty;
        }
        Check(tagged == nonEmpty, "counted distinct values (" + std::to_string(tagged) +
                                      ") differ from the non-empty cells (" +
                                      std::to_string(nonEmpty) + ") of column " +
                                      std::to_string(c));
        for (size_t i = 1; i < list.Count(); ++i)
            Check(list[i - 1] < list[i], "counted list not strictly ordered");

        t.DistinctValues(c, list, byLength, 1, cSortCustom, nullptr);
        t.DistinctValues(c, list, nullptr, 1, cSortIndex, &numbers);
    }
}

//! The first `rows` rows of both tables hold the same cells.
inline void CheckSameRows(const TCustomStrTableDB& a, const TCustomStrTableDB& b, int rows,
                          const char* stage) {
    Check(a.Cols() == b.Cols(), std::string(stage) + ": " + std::to_string(a.Cols()) +
                                    " columns against " + std::to_string(b.Cols()));
    TTerm x, y;
    for (int c = 0; c < a.Cols(); ++c) {
        Check(a.ColName(c) == b.ColName(c),
              std::string(stage) + ": column name " + std::to_string(c) + " differs");
        for (int r = 0; r < rows; ++r) {
            a.GetField(r, c, x);
            b.GetField(r, c, y);
            if (!SameCell(x, y))
                Broken(std::string(stage) + ": row " + std::to_string(r) + ", column " +
                       std::to_string(c) + " (" + FieldTypeName(a.Column(c)->DataType()) +
                       ") reads " + Describe(x) + " instead of " + Describe(y));
        }
    }
}

//! Both tables have the same shape and the same cell in every place.
inline void CheckSameCells(const TCustomStrTableDB& a, const TCustomStrTableDB& b,
                           const char* stage) {
    Check(a.Rows() == b.Rows(), std::string(stage) + ": " + std::to_string(a.Rows()) +
                                    " rows against " + std::to_string(b.Rows()));
    CheckSameRows(a, b, a.Rows(), stage);
}

//! Converting between the two column forms and growing and shrinking the row count keep
//! every cell; grown rows read as false, 0 or empty unless the column's value store already
//! held values for them. `reference` is the same table, loaded and left alone.
inline void CheckConversions(TCustomStrTableDB& table, const TCustomStrTableDB& reference) {
    table.SetIndexed(false);
    Check(!table.Indexed(), "still indexed after SetIndexed(false)");
    CheckSameCells(table, reference, "after SetIndexed(false)");
    CheckDistinctValues(table);

    table.SetIndexed(true);
    Check(table.Indexed() && table.ReadOnly(), "indexed table not read-only");
    CheckSameCells(table, reference, "after SetIndexed(true)");
    CheckDistinctValues(table);

    const int rows = table.Rows();
    for (bool indexed : {true, false}) {
        table.SetIndexed(indexed);
        // Growing resizes the value store, so values a file stored beyond the row count
        // come back into view.
        std::vector<bool> surplus;
        for (int c = 0; c < table.Cols(); ++c) {
            const TStrFieldDB* f = table.Column(c);
            surplus.push_back(!f->Indexed() && f->ValueCount() > static_cast<size_t>(rows));
        }
        table.SetRows(rows + 3);
        Check(table.Rows() == rows + 3, "SetRows did not grow the table");
        CheckSameRows(table, reference, rows, "after growing the row count");
        TTerm t;
        for (int c = 0; c < table.Cols(); ++c)
            for (int r = rows; r < rows + 3 && !surplus[c]; ++r) {
                table.GetField(r, c, t);
                const bool empty = t.Value == 0 && MemoOf(t).empty() && BlobOf(t).empty() &&
                                   (t.Typ == cTTNum || t.Text.empty() || t.Text == "-" ||
                                    t.Text == "<Memo>" || t.Text == "<BLOB>");
                if (!empty)
                    Broken("grown row " + std::to_string(r) + ", column " + std::to_string(c) +
                           " (" + FieldTypeName(table.Column(c)->DataType()) + ") reads " +
                           Describe(t));
            }
        table.SetRows(rows);
        CheckSameCells(table, reference, "after shrinking the row count back");
    }
}

} // namespace fuzzcheck
