#include "core/algebra/matrix.h"

#include <algorithm>

TMatrix::TMatrix() : FData(static_cast<std::size_t>(FLines * FColumns), 0.0L) {}

TMatrix::TMatrix(int lines, int columns) {
    CheckSize(lines);
    CheckSize(columns);
    FLines = lines;
    FColumns = columns;
    FData.assign(static_cast<std::size_t>(lines) * static_cast<std::size_t>(columns), 0.0L);
}

TMatrix::TMatrix(const TMatrix& m) : FLines(m.FLines), FColumns(m.FColumns), FData(m.FData) {}

void TMatrix::ThrowIndexError() {
    throw EMatrixError("Index out of bounds");
}

void TMatrix::CheckSize(int n) {
    if (n < 1 || n > MaxSize) ThrowIndexError();
}

void TMatrix::SetLines(int n) {
    CheckSize(n);
    if (n == FLines) return;
    // Line by line storage: whole lines are appended or cut at the end.
    FData.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(FColumns), 0.0L);
    FLines = n;
    Changed();
}

void TMatrix::SetColumns(int n) {
    CheckSize(n);
    if (n == FColumns) return;
    std::vector<long double> data(static_cast<std::size_t>(FLines) * static_cast<std::size_t>(n),
                                  0.0L);
    const int kept = std::min(n, FColumns);
    for (int i = 0; i < FLines; ++i) {
        const long double* src = Line(i);
        std::copy(src, src + kept, data.begin() + static_cast<std::ptrdiff_t>(i) * n);
    }
    FData.swap(data);
    FColumns = n;
    Changed();
}

void TMatrix::Fill(long double v) {
    std::fill(FData.begin(), FData.end(), v);
    Changed();
}

void TMatrix::Add(const TMatrix& m) {
    if (m.FLines != FLines || m.FColumns != FColumns)
        throw EMatrixError("Can not add these matrixes");
    for (std::size_t k = 0; k < FData.size(); ++k) FData[k] += m.FData[k];
    Changed();
}

void TMatrix::Assign(const TMatrix& m) {
    if (&m != this) {
        FLines = m.FLines;
        FColumns = m.FColumns;
        FData = m.FData;
    }
    Changed();
}

void TMatrix::SetViewer(TMatrixViewer* viewer) {
    FViewer = viewer;
    if (FViewer) Changed();
}

void TMatrix::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0 && FChangePending) {
        FChangePending = false;
        if (FViewer) FViewer->Notify(*this);
    }
}

void TMatrix::Changed() {
    if (FUpdateCount > 0) {
        FChangePending = true;
        return;
    }
    if (FViewer) FViewer->Notify(*this);
}
