#include "core/data/db_interpol.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "tests/core/data/test_containers.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TRow {
    std::string Name;
    double X;
    double Y;
};

std::vector<uint8_t> CurveBlob(const std::vector<TRow>& rows, bool indexed = false,
                               TStrFieldType nameType = csfString, TStrFieldType xType = csfFloat,
                               TStrFieldType yType = csfFloat) {
    TStrTableDB32Bit t;
    t.Loaded();
    auto& name = t.AddColumn("Curve", nameType);
    auto& x = t.AddColumn("x", xType);
    auto& y = t.AddColumn("y", yType);
    auto put = [](TStrFieldDB& f, TStrFieldType type, double v) {
        if (type == csfFloat)
            f.AppendFloat(v);
        else
            f.AppendInt(static_cast<int32_t>(v));
    };
    for (const auto& r : rows) {
        name.AppendText(r.Name);
        put(x, xType, r.X);
        put(y, yType, r.Y);
    }
    t.SetRows(static_cast<int>(rows.size()));
    if (indexed) t.SetIndexed(true);
    return t.SaveToBytes();
}

const std::vector<TRow> kVacuum = {
    {"EJ 10", 0, 0}, {"ej 20", 1, 5}, {"EJ 10", 10, 100},
    {"", 3, 3},      {"EJ 20", 2, 9}, {"Single", 4, 7},
};

// The stated rule, literally: hold at both ends, else the downward scan from n-2 for the
// first x[i] <= x.
double ScanValue(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
    const int n = static_cast<int>(xs.size());
    if (!(x > xs.front())) return ys.front();
    if (x >= xs.back()) return ys.back();
    for (int i = n - 2; i >= 0; --i) {
        if (xs[i] <= x) {
            const double dx = xs[i + 1] - xs[i], dy = ys[i + 1] - ys[i];
            const double slope = (dx != 0 && dy != 0) ? dy / dx : 0;
            return ys[i] + (x - xs[i]) * slope;
        }
    }
    return ys.back();
}

TDBInterpolCurve MakeCurve(const std::vector<double>& xs, const std::vector<double>& ys) {
    TDBInterpolCurve c;
    for (size_t i = 1; i < xs.size(); ++i) c.ExpectPoint();
    for (size_t i = 0; i < xs.size(); ++i) c.AddPoint(xs[i], ys[i]);
    return c;
}

} // namespace

TEST(DBInterpolCurve, EmptyCurveStartsWithDefaultsAndGivesZero) {
    TDBInterpolCurve c;
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.LastIndex(), -1);
    EXPECT_EQ(c.FirstX(), 0);
    EXPECT_EQ(c.LastX(), 1);
    EXPECT_EQ(c.MinY(), 0);
    EXPECT_EQ(c.MaxY(), 1);
    EXPECT_EQ(c.Value(0.5), 0);
}

TEST(DBInterpolCurve, LinearInsideAndHeldBeyondBothEnds) {
    const TDBInterpolCurve c = MakeCurve({0, 10}, {0, 100});
    EXPECT_EQ(c.Value(5), 50);
    EXPECT_EQ(c.Value(-3), 0);
    EXPECT_EQ(c.Value(12), 100);
    EXPECT_EQ(c.Value(0), 0);
    EXPECT_EQ(c.Value(10), 100);
    EXPECT_EQ(c.Value(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(c.Value(std::numeric_limits<double>::infinity()), 100);
    EXPECT_EQ(c.FirstX(), 0);
    EXPECT_EQ(c.LastX(), 10);
    EXPECT_EQ(c.Slopes()[0], 10);
    EXPECT_EQ(c.Slopes()[1], 0);

    const TDBInterpolCurve single = MakeCurve({4}, {7});
    for (double x : {-1e9, 0.0, 4.0, 4.5, 1e9}) EXPECT_EQ(single.Value(x), 7) << x;
}

TEST(DBInterpolCurve, StepsAndFlatSegments) {
    const TDBInterpolCurve c = MakeCurve({0, 5, 5, 10, 12}, {0, 10, 20, 30, 30});
    EXPECT_EQ(c.Value(4), 8);  // left of the step: lower segment
    EXPECT_EQ(c.Value(5), 20); // at the step: the later point, then its segment
    EXPECT_EQ(c.Value(7.5), 25);
    EXPECT_EQ(c.Value(11), 30);  // flat segment
    EXPECT_EQ(c.Slopes()[1], 0); // vertical step
    EXPECT_EQ(c.Slopes()[3], 0); // flat
    EXPECT_EQ(c.MinY(), 0);
    EXPECT_EQ(c.MaxY(), 30);

    // A step at the end: the last point's value from there on.
    const TDBInterpolCurve end = MakeCurve({0, 10, 10}, {0, 100, 50});
    EXPECT_EQ(end.Value(9), 90);
    EXPECT_EQ(end.Value(10), 50);
}

TEST(DBInterpolCurve, SearchEqualsTheDownwardScanOnStepsAndUnsortedPoints) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> grid(0, 12);
    std::uniform_real_distribution<double> value(-50, 50);
    for (int round = 0; round < 200; ++round) {
        const int n = 1 + round % 9;
        std::vector<double> xs(n), ys(n);
        // Few distinct x on a coarse grid give many steps, triple steps and end steps.
        for (int i = 0; i < n; ++i) xs[i] = grid(rng) * 0.5, ys[i] = value(rng);
        if (round % 4 != 3) std::sort(xs.begin(), xs.end());
        const TDBInterpolCurve c = MakeCurve(xs, ys);
        for (double x = -1.25; x <= 7.25; x += 0.125) // hits every grid point exactly
            ASSERT_EQ(c.Value(x), ScanValue(xs, ys, x)) << "round " << round << " x " << x;
    }
}

TEST(DBInterpolCurve, MorePointsThanAnnouncedStillFit) {
    TDBInterpolCurve c; // announces one point
    c.AddPoint(0, 0);
    c.AddPoint(1, 10);
    c.AddPoint(2, 0);
    EXPECT_EQ(c.LastIndex(), 2);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Value(1.5), 5);
}

TEST(DBInterpol, BuildsNamedCurvesFromATableWithoutRegardToCase) {
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(testing::Message() << "indexed " << indexed);
        TTempFile f(MakeContainer({{"tbl Curve Vacuum", CurveBlob(kVacuum, indexed)}}, false));
        TOrsikConnection con;
        con.Loaded();
        con.SetDataFile(f.Path());
        TDBInterpol32Bit ip;
        ip.SetTable("TBL curve vacuum");
        EXPECT_EQ(ip.CurvesCount(), 0); // no connection yet
        ip.SetConnection(&con);
        EXPECT_EQ(ip.Connection(), &con);
        ASSERT_EQ(ip.CurvesCount(), 3) << "indexed " << indexed;
        EXPECT_EQ(ip.CurveName(0), "EJ 10"); // first spelling, first appearance
        EXPECT_EQ(ip.CurveName(1), "ej 20");
        EXPECT_EQ(ip.CurveName(2), "Single");
        EXPECT_EQ(ip.CurveName(3), "");
        EXPECT_EQ(ip.Curve(3), nullptr);

        EXPECT_EQ(ip.Evaluate("EJ 10", 5), 50);
        EXPECT_EQ(ip.Evaluate("ej 10", 5), 50);
        EXPECT_EQ(ip.Evaluate("Ej 10", -3), 0);
        EXPECT_EQ(ip.Evaluate("EJ 10", 12), 100);
        EXPECT_EQ(ip.Evaluate("EJ 20", 1.5), 7); // rows of one curve need not be adjacent
        EXPECT_EQ(ip.Evaluate("single", 100), 7);
        EXPECT_EQ(ip.Evaluate("EJ 30", 1), 0);
        EXPECT_EQ(ip.Evaluate("", 3), 0); // rows without a name are skipped
        EXPECT_EQ(ip.Evaluate("EJ 1", 5), 0);
        EXPECT_EQ(ip.IndexOf("SINGLE"), 2);

        const TDBInterpolCurve* c = ip.FindCurve("ej 20");
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Count(), 2);
        EXPECT_EQ(c->LastIndex(), 1);
        EXPECT_EQ(c->MinY(), 5);
        EXPECT_EQ(c->MaxY(), 9);
    }
}

TEST(DBInterpol, OtherLayoutsYieldNoCurves) {
    const std::vector<TRow> rows = {{"A", 0, 0}, {"A", 10, 100}};
    TStrTableDB32Bit four;
    four.Loaded();
    four.LoadFromStream(CurveBlob(rows));
    four.AddColumn("extra", csfFloat);
    TStrTableDB32Bit two;
    two.Loaded();
    two.LoadFromStream(CurveBlob(rows));
    two.DeleteColumn(2);

    TTempFile f(MakeContainer(
        {
            {"good", CurveBlob(rows)},
            {"int x", CurveBlob(rows, false, csfString, csfDWord, csfFloat)},
            {"int y", CurveBlob(rows, false, csfString, csfFloat, csfWord)},
            {"wide name", CurveBlob(rows, false, csfWideString)},
            {"no rows", CurveBlob({})},
            {"four", four.SaveToBytes()},
            {"two", two.SaveToBytes()},
        },
        true));
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(f.Path());
    TDBInterpol32Bit ip;
    ip.SetConnection(&con);
    ip.SetTable("good");
    ASSERT_EQ(ip.CurvesCount(), 1);
    for (const char* table : {"int x", "int y", "wide name", "no rows", "four", "two", "missing"}) {
        ip.SetTable(table);
        EXPECT_EQ(ip.CurvesCount(), 0) << table;
        EXPECT_EQ(ip.Evaluate("A", 5), 0) << table;
        ip.SetTable("good");
        EXPECT_EQ(ip.Evaluate("A", 5), 50) << table;
    }
}

TEST(DBInterpol, ReopeningTheConnectionWithAnotherFileRebuilds) {
    TTempFile f1(MakeContainer({{"C", CurveBlob({{"A", 0, 0}, {"A", 10, 100}})}}, false));
    TTempFile f2(MakeContainer({{"C", CurveBlob({{"B", 0, 1}, {"B", 1, 3}})}}, true));
    TTempFile f3(MakeContainer({{"Other", CurveBlob({{"A", 0, 0}})}}, false));
    TOrsikConnection con;
    con.Loaded();
    TDBInterpol32Bit ip;
    ip.SetConnection(&con); // inactive: nothing to read
    ip.SetTable("C");
    EXPECT_EQ(ip.CurvesCount(), 0);
    con.SetDataFile(f1.Path());
    EXPECT_EQ(ip.Evaluate("A", 5), 50);
    con.SetDataFile(f2.Path());
    ASSERT_EQ(ip.CurvesCount(), 1);
    EXPECT_EQ(ip.Evaluate("A", 5), 0);
    EXPECT_EQ(ip.Evaluate("B", 0.5), 2);
    con.SetDataFile(f3.Path()); // no table of that name
    EXPECT_EQ(ip.CurvesCount(), 0);
    con.SetDataFile(f1.Path() + ".missing");
    EXPECT_FALSE(con.Active());
    EXPECT_EQ(ip.CurvesCount(), 0);
}

TEST(DBInterpol, CurvesLoadWhenAConnectionBeingLoadedOpens) {
    TTempFile f(MakeContainer({{"tbl Curve Vacuum", CurveBlob(kVacuum)}}, false), "Vacuum.dat");
    TOrsikConnection::SetProgramFolder(f.Folder());
    {
        TOrsikConnection con; // still loading, as on a form being built
        TDBInterpol32Bit ip;
        ip.SetTable("tbl Curve Vacuum");
        ip.SetConnection(&con);
        con.SetDataFile("Vacuum.dat"); // opens, but clients are announced only when loaded
        EXPECT_TRUE(con.Active());
        EXPECT_EQ(ip.CurvesCount(), 0);
        con.Loaded();
        EXPECT_EQ(ip.CurvesCount(), 3);
    }
    TOrsikConnection::SetProgramFolder("");
}

TEST(DBInterpol, DestroyingTheConnectionDeletesTheCurves) {
    TTempFile f(MakeContainer({{"C", CurveBlob(kVacuum)}}, false));
    TDBInterpol32Bit ip;
    ip.SetTable("C");
    {
        TOrsikConnection con;
        con.Loaded();
        con.SetDataFile(f.Path());
        ip.SetConnection(&con);
        EXPECT_EQ(ip.CurvesCount(), 3);
    }
    EXPECT_EQ(ip.Connection(), nullptr);
    EXPECT_EQ(ip.CurvesCount(), 0);
    EXPECT_EQ(ip.Evaluate("EJ 10", 5), 0);
    EXPECT_EQ(ip.Data().Rows(), 0);

    TOrsikConnection again;
    again.Loaded();
    again.SetDataFile(f.Path());
    ip.SetConnection(&again);
    EXPECT_EQ(ip.Evaluate("EJ 10", 5), 50);
}

TEST(DBInterpol, DestroyedFamilyLeavesTheConnection) {
    TTempFile f(MakeContainer({{"C", CurveBlob(kVacuum)}}, false));
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(f.Path());
    {
        auto ip = std::make_unique<TDBInterpol32Bit>();
        ip->SetConnection(&con);
        ip->SetTable("C");
        EXPECT_EQ(con.Clients().size(), 1u);
        TDBInterpol32Bit other;
        other.SetConnection(&con);
        ip->SetConnection(nullptr);
        EXPECT_EQ(ip->CurvesCount(), 0);
        EXPECT_EQ(con.Clients().size(), 1u);
    }
    EXPECT_TRUE(con.Clients().empty());
    con.Open(); // announcing must not reach a destroyed family
    EXPECT_TRUE(con.Active());
}
