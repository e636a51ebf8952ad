#pragma once

// Generator curves and evacuation-time tables built in memory.

#include "core/data/db_interpol.h"
#include "core/data/str_table_db.h"

#include <string>
#include <vector>

//! A curve family filled point by point.
class TTestCurveFamily : public TCustomDBInterpol {
public:
    void Add(const std::string& name, const std::vector<double>& xs,
             const std::vector<double>& ys) {
        bool created = false;
        TDBInterpolCurve& c = CurveFor(name, created);
        for (size_t i = 1; i < xs.size(); ++i) c.ExpectPoint();
        for (size_t i = 0; i < xs.size(); ++i) c.AddPoint(xs[i], ys[i]);
    }
};

//! One row of 'tbl Curve EvacuationTime': pressure and vacuum in bar, time in ms.
struct TEvacRow {
    std::string Curve;
    double Pressure;
    double Vacuum;
    int Time;
};

inline void FillEvacuationTable(TStrTableDB32Bit& t, const std::vector<TEvacRow>& rows) {
    t.Loaded();
    auto& curve = t.AddColumn("Curve", csfString);
    auto& pressure = t.AddColumn("Pressure", csfFloat);
    auto& vacuum = t.AddColumn("Vacuum", csfFloat);
    auto& time = t.AddColumn("Time_ms", csfDWord);
    for (const TEvacRow& r : rows) {
        curve.AppendText(r.Curve);
        pressure.AppendFloat(r.Pressure);
        vacuum.AppendFloat(r.Vacuum);
        time.AppendInt(r.Time);
    }
    t.SetRows(static_cast<int>(rows.size()));
}

//! Rows of one curve: every pressure with the same vacuum levels; times[i][j] is the time
//! at pressures[i] and levels[j].
inline std::vector<TEvacRow> CurveRows(const std::string& name,
                                       const std::vector<double>& pressures,
                                       const std::vector<double>& levels,
                                       const std::vector<std::vector<int>>& times) {
    std::vector<TEvacRow> rows;
    for (size_t i = 0; i < pressures.size(); ++i)
        for (size_t j = 0; j < levels.size(); ++j)
            rows.push_back({name, pressures[i], levels[j], times[i][j]});
    return rows;
}
