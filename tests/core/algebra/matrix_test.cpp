#include "core/algebra/matrix.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records every notification together with what the matrix looked like at that moment.
class RecordingViewer : public TMatrixViewer {
public:
    struct Call {
        const TMatrix* Matrix;
        int Lines;
        int Columns;
        long double First;
    };
    std::vector<Call> Calls;

    void Notify(const TMatrix& matrix) override {
        Calls.push_back({&matrix, matrix.Lines(), matrix.Columns(), matrix.Element(0, 0)});
    }
};

// Element (i, j) = 10·i + j, so every position is recognisable after a resize.
void FillPattern(TMatrix& m) {
    for (int i = 0; i < m.Lines(); ++i)
        for (int j = 0; j < m.Columns(); ++j) m.SetElement(i, j, 10.0L * i + j);
}

void ExpectError(const std::function<void()>& f, const std::string& text) {
    try {
        f();
        ADD_FAILURE() << "no error, expected \"" << text << "\"";
    } catch (const EMatrixError& e) {
        EXPECT_EQ(std::string(e.what()), text);
    }
}

TEST(Matrix, NewMatrixIsThreeByThreeZeros) {
    const TMatrix m;
    EXPECT_EQ(m.Lines(), 3);
    EXPECT_EQ(m.Columns(), 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(m.Element(i, j), 0.0L);

    const TMatrix six(6, 6);
    EXPECT_EQ(six.Lines(), 6);
    EXPECT_EQ(six.Columns(), 6);
    EXPECT_EQ(six.Element(5, 5), 0.0L);
}

TEST(Matrix, ElementsKeepExtendedPrecision) {
    TMatrix m;
    const long double v = 1.0L + std::numeric_limits<long double>::epsilon();
    m.SetElement(1, 2, v);
    EXPECT_EQ(m.Element(1, 2), v);
    EXPECT_EQ(m(1, 2), v);
    EXPECT_EQ(m.Element(2, 1), 0.0L); // line and column are not swapped
}

TEST(Matrix, ElementsAreStoredLineByLine) {
    TMatrix m(2, 4);
    FillPattern(m);
    const long double* line1 = m.Line(1);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(line1[j], 10.0L + j);
    EXPECT_EQ(m.Line(0) + 4, m.Line(1));
    EXPECT_EQ(m(1, 3), m.Element(1, 3));
}

TEST(Matrix, IndexOutsideTheMatrixIsAnError) {
    TMatrix m(2, 4);
    FillPattern(m);
    const TMatrix before = m;
    const std::pair<int, int> outside[] = {{-1, 0}, {0, -1}, {2, 0}, {0, 4}, {2, 4}};
    for (const auto& index : outside) {
        const int i = index.first;
        const int j = index.second;
        ExpectError([&] { (void)m.Element(i, j); }, "Index out of bounds");
        ExpectError([&] { m.SetElement(i, j, 99); }, "Index out of bounds");
    }
    EXPECT_NO_THROW((void)m.Element(1, 3));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(m.Element(i, j), before.Element(i, j));
}

TEST(Matrix, ErrorIsARuntimeError) {
    TMatrix m;
    try {
        m.SetElement(3, 0, 1);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds");
    }
}

TEST(Matrix, SizeMustBeFromOneTo256) {
    TMatrix m;
    for (int n : {0, -1, 257}) {
        ExpectError([&] { m.SetLines(n); }, "Index out of bounds");
        ExpectError([&] { m.SetColumns(n); }, "Index out of bounds");
        ExpectError([&] { TMatrix bad(n, 3); }, "Index out of bounds");
        ExpectError([&] { TMatrix bad(3, n); }, "Index out of bounds");
    }
    EXPECT_EQ(m.Lines(), 3);
    EXPECT_EQ(m.Columns(), 3);
    m.SetLines(256);
    m.SetColumns(1);
    EXPECT_EQ(m.Lines(), 256);
    EXPECT_EQ(m.Columns(), 1);
    m.SetElement(255, 0, 7);
    EXPECT_EQ(m.Element(255, 0), 7.0L);
}

TEST(Matrix, ChangingTheLinesKeepsElementsAndZeroesNewOnes) {
    TMatrix m(3, 3);
    FillPattern(m);
    m.SetLines(5);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(m.Element(i, j), i < 3 ? 10.0L * i + j : 0.0L);
    m.SetLines(2);
    ExpectError([&] { (void)m.Element(2, 0); }, "Index out of bounds");
    m.SetLines(3); // the dropped line does not come back
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(m.Element(1, j), 10.0L + j);
        EXPECT_EQ(m.Element(2, j), 0.0L);
    }
}

TEST(Matrix, ChangingTheColumnsKeepsEveryElementInItsPlace) {
    TMatrix m(3, 3);
    FillPattern(m);
    m.SetColumns(5);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 5; ++j) EXPECT_EQ(m.Element(i, j), j < 3 ? 10.0L * i + j : 0.0L);
    m.SetColumns(2);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_EQ(m.Element(i, j), 10.0L * i + j);
    ExpectError([&] { (void)m.Element(0, 2); }, "Index out of bounds");
    m.SetColumns(3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m.Element(i, 2), 0.0L);
}

TEST(Matrix, FillSetsEveryElement) {
    TMatrix m(4, 2);
    m.Fill(2.5L);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_EQ(m.Element(i, j), 2.5L);
}

TEST(Matrix, AddSumsElementByElement) {
    TMatrix a(2, 3);
    TMatrix b(2, 3);
    FillPattern(a);
    b.Fill(0.5L);
    b.SetElement(1, 2, -12.0L);
    a.Add(b);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(a.Element(i, j), (i == 1 && j == 2) ? 0.0L : 10.0L * i + j + 0.5L);
    EXPECT_EQ(b.Element(0, 0), 0.5L); // the summand is untouched

    TMatrix c(2, 2);
    c.Fill(3);
    c.Add(c);
    EXPECT_EQ(c.Element(1, 1), 6.0L);
}

TEST(Matrix, AddingDifferentSizesIsAnErrorAndChangesNothing) {
    TMatrix a(2, 3);
    FillPattern(a);
    const TMatrix before = a;
    ExpectError([&] { a.Add(TMatrix(3, 2)); }, "Can not add these matrixes");
    ExpectError([&] { a.Add(TMatrix(2, 4)); }, "Can not add these matrixes");
    ExpectError([&] { a.Add(TMatrix(3, 3)); }, "Can not add these matrixes");
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(a.Element(i, j), before.Element(i, j));
}

TEST(Matrix, AssignAndCopyTakeSizeAndElements) {
    TMatrix src(2, 5);
    FillPattern(src);
    TMatrix dst;
    dst.Assign(src);
    EXPECT_EQ(dst.Lines(), 2);
    EXPECT_EQ(dst.Columns(), 5);
    EXPECT_EQ(dst.Element(1, 4), 14.0L);
    src.SetElement(1, 4, 0); // independent storage
    EXPECT_EQ(dst.Element(1, 4), 14.0L);

    TMatrix copy(dst);
    EXPECT_EQ(copy.Columns(), 5);
    EXPECT_EQ(copy.Element(0, 3), 3.0L);
    TMatrix assigned;
    assigned = copy;
    EXPECT_EQ(assigned.Lines(), 2);
    EXPECT_EQ(assigned.Element(1, 0), 10.0L);
    assigned.Assign(assigned);
    EXPECT_EQ(assigned.Element(1, 0), 10.0L);
}

TEST(MatrixViewer, IsNotifiedAfterEveryChange) {
    TMatrix m;
    RecordingViewer viewer;
    m.SetViewer(&viewer);
    EXPECT_EQ(m.Viewer(), &viewer);
    ASSERT_EQ(viewer.Calls.size(), 1u); // attaching shows the current state
    EXPECT_EQ(viewer.Calls[0].Matrix, &m);

    m.SetElement(0, 0, 4);
    ASSERT_EQ(viewer.Calls.size(), 2u);
    EXPECT_EQ(viewer.Calls[1].First, 4.0L); // the change is visible when notified

    m.Fill(1);
    EXPECT_EQ(viewer.Calls.back().First, 1.0L);
    TMatrix other;
    other.Fill(2);
    m.Add(other);
    EXPECT_EQ(viewer.Calls.back().First, 3.0L);
    m.SetLines(4);
    EXPECT_EQ(viewer.Calls.back().Lines, 4);
    m.SetColumns(6);
    EXPECT_EQ(viewer.Calls.back().Columns, 6);
    m.Assign(TMatrix(2, 2));
    EXPECT_EQ(viewer.Calls.back().Lines, 2);
    EXPECT_EQ(viewer.Calls.back().First, 0.0L);
    EXPECT_EQ(viewer.Calls.size(), 7u); // one per operation
}

TEST(MatrixViewer, FailedOrEmptyOperationsDoNotNotify) {
    TMatrix m;
    RecordingViewer viewer;
    m.SetViewer(&viewer);
    viewer.Calls.clear();
    EXPECT_THROW(m.SetElement(3, 3, 1), EMatrixError);
    EXPECT_THROW(m.Add(TMatrix(1, 1)), EMatrixError);
    EXPECT_THROW(m.SetLines(0), EMatrixError);
    m.SetLines(3);
    m.SetColumns(3);
    EXPECT_TRUE(viewer.Calls.empty());
}

TEST(MatrixViewer, DetachedOrCopiedMatrixDoesNotNotify) {
    TMatrix m;
    RecordingViewer viewer;
    m.SetViewer(&viewer);
    viewer.Calls.clear();

    TMatrix copy(m);
    EXPECT_EQ(copy.Viewer(), nullptr);
    copy.SetElement(0, 0, 1);
    TMatrix assigned;
    assigned = m;
    EXPECT_EQ(assigned.Viewer(), nullptr);
    assigned.Fill(5);
    EXPECT_TRUE(viewer.Calls.empty());

    m.SetViewer(nullptr);
    m.Fill(9);
    EXPECT_TRUE(viewer.Calls.empty());
}

TEST(MatrixViewer, UpdateBracketsNotifyOnceAtTheEnd) {
    TMatrix m(6, 6);
    RecordingViewer viewer;
    m.SetViewer(&viewer);
    viewer.Calls.clear();

    m.BeginUpdate();
    m.BeginUpdate();
    FillPattern(m);
    m.SetElement(0, 0, 42);
    m.EndUpdate();
    EXPECT_TRUE(viewer.Calls.empty()); // still inside the outer bracket
    m.EndUpdate();
    ASSERT_EQ(viewer.Calls.size(), 1u);
    EXPECT_EQ(viewer.Calls[0].First, 42.0L);

    m.BeginUpdate();
    m.EndUpdate();
    EXPECT_EQ(viewer.Calls.size(), 1u); // nothing changed, nothing to show

    m.EndUpdate(); // unmatched: no effect
    m.SetElement(1, 1, 1);
    EXPECT_EQ(viewer.Calls.size(), 2u);
    m.BeginUpdate(); // still holds back after the unmatched end
    m.SetElement(1, 1, 2);
    EXPECT_EQ(viewer.Calls.size(), 2u);
    m.EndUpdate();
    EXPECT_EQ(viewer.Calls.size(), 3u);
}

TEST(MatrixViewer, AttachedDuringAnUpdateIsNotifiedAtItsEnd) {
    TMatrix m;
    RecordingViewer viewer;
    m.BeginUpdate();
    m.SetViewer(&viewer);
    EXPECT_TRUE(viewer.Calls.empty());
    m.EndUpdate();
    EXPECT_EQ(viewer.Calls.size(), 1u);
}

} // namespace
