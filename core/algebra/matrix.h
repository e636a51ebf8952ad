#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

//! Error of a matrix operation: "Can not add these matrixes" or "Index out of bounds".
class EMatrixError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMatrix;

//! A view of a matrix (a grid that shows its elements); the matrix notifies it after
//! every change.
class TMatrixViewer {
public:
    virtual ~TMatrixViewer() = default;
    //! Called after `matrix` changed its size or elements.
    virtual void Notify(const TMatrix& matrix) = 0;
};

//! Dense matrix of extended-precision elements stored line by line. Lines and columns
//! number 1 to 256; indices run from 0. A new matrix is 3 × 3 zeros.
class TMatrix {
public:
    static constexpr int MaxSize = 256;

    //! 3 × 3 zeros.
    TMatrix();
    //! `lines` × `columns` zeros; raises EMatrixError outside 1..256.
    TMatrix(int lines, int columns);
    //! Copies size and elements; the viewer stays with the original.
    TMatrix(const TMatrix& m);
    //! As Assign.
    TMatrix& operator=(const TMatrix& m) {
        Assign(m);
        return *this;
    }
    ~TMatrix() = default;

    int Lines() const { return FLines; }
    int Columns() const { return FColumns; }
    //! Sets the number of lines (1 to 256, else EMatrixError); kept elements stay,
    //! new ones are 0.
    void SetLines(int n);
    //! Sets the number of columns (1 to 256, else EMatrixError); kept elements stay,
    //! new ones are 0.
    void SetColumns(int n);

    //! Element in line i, column j; raises EMatrixError outside the matrix.
    long double Element(int i, int j) const {
        CheckIndex(i, j);
        return FData[Offset(i, j)];
    }
    //! Writes the element in line i, column j; raises EMatrixError outside the matrix.
    void SetElement(int i, int j, long double v) {
        CheckIndex(i, j);
        FData[Offset(i, j)] = v;
        Changed();
    }
    //! Unchecked read for inner loops; i and j must lie inside the matrix.
    long double operator()(int i, int j) const { return FData[Offset(i, j)]; }
    //! Unchecked pointer to the Columns() elements of line i.
    const long double* Line(int i) const { return FData.data() + Offset(i, 0); }

    //! Sets every element to v.
    void Fill(long double v);
    //! Adds m element by element; raises EMatrixError when the sizes differ.
    void Add(const TMatrix& m);
    //! Copies size and elements of m.
    void Assign(const TMatrix& m);

    //! The notified view, or null. The matrix does not own it; a view that goes away
    //! first must detach itself with SetViewer(nullptr).
    TMatrixViewer* Viewer() const { return FViewer; }
    //! Attaches a view (null detaches). A new view is notified like after a change, so
    //! that it shows the current elements.
    void SetViewer(TMatrixViewer* viewer);

    //! Holds back notifications until the matching EndUpdate, which then notifies once
    //! if anything changed; calls nest. Use around bulk writes.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

private:
    std::size_t Offset(int i, int j) const {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(FColumns) +
               static_cast<std::size_t>(j);
    }
    void CheckIndex(int i, int j) const {
        if (static_cast<unsigned>(i) >= static_cast<unsigned>(FLines) ||
            static_cast<unsigned>(j) >= static_cast<unsigned>(FColumns))
            ThrowIndexError();
    }
    [[noreturn]] static void ThrowIndexError();
    static void CheckSize(int n);
    void Changed();

    int FLines = 3;
    int FColumns = 3;
    std::vector<long double> FData;
    TMatrixViewer* FViewer = nullptr;
    int FUpdateCount = 0;
    bool FChangePending = false;
};
