#include "core/calc/evacuation.h"

#include "core/data/custom_table.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double cPaPerBar = 1.0e5;

} // namespace

TEvacuationTable::TEvacuationTable(int pSize, int vSize) {
    SetBufferSize(pSize, vSize);
}

void TEvacuationTable::SetBufferSize(int pSize, int vSize) {
    pSize = std::clamp(pSize, 1, cMaxCount);
    vSize = std::clamp(vSize, 1, cMaxCount);
    FLevels.assign(static_cast<size_t>(vSize), -1.0);
    FGroups.assign(static_cast<size_t>(pSize), TEvacuationGroup{});
    for (TEvacuationGroup& g : FGroups) g.Times.assign(static_cast<size_t>(vSize), -1.0);
    Invalidate();
}

bool TEvacuationTable::ReadBufferSize(const TCustomTable& table) {
    const int pCol = table.ColByName("pSize");
    const int vCol = table.ColByName("vSize");
    if (table.Rows() < 1 || pCol < 0 || vCol < 0) return false;
    const int p = table.AsInteger(0, pCol);
    const int v = table.AsInteger(0, vCol);
    if (p <= 0 || v <= 0) return false;
    SetBufferSize(p, v);
    return true;
}

void TEvacuationTable::SetSource(const TCustomTable* table) {
    FSource = table;
    FFirstRow.clear();
    FIndexedRows = -1;
    Invalidate();
}

int TEvacuationTable::FirstRow(std::string_view name) {
    const TCustomTable& t = *FSource;
    const int col = t.ColByName("Curve");
    const auto valid = [&](int row) {
        return row >= 0 && row < t.Rows() && t.AsText(row, col) == name;
    };
    if (FIndexedRows == t.Rows()) {
        const auto it = FFirstRow.find(std::string(name));
        if (it == FFirstRow.end()) return -1;
        if (valid(it->second)) return it->second;
    }
    // Built once per source; a reloaded table shows as a stale entry and is indexed anew.
    FFirstRow.clear();
    for (int r = t.Rows() - 1; r >= 0; --r) FFirstRow[t.AsText(r, col)] = r;
    FIndexedRows = t.Rows();
    const auto it = FFirstRow.find(std::string(name));
    return it == FFirstRow.end() ? -1 : it->second;
}

void TEvacuationTable::Invalidate() {
    Clear();
    FError.clear();
}

void TEvacuationTable::Clear() {
    FName.clear();
    FGroupCount = 0;
    FLevelCount = 0;
    std::fill(FLevels.begin(), FLevels.end(), -1.0);
    for (TEvacuationGroup& g : FGroups) {
        g.Pressure = -1.0;
        g.Points = 0;
        std::fill(g.Times.begin(), g.Times.end(), -1.0);
    }
}

bool TEvacuationTable::Reject(std::string message) {
    Clear();
    FError = std::move(message);
    return false;
}

bool TEvacuationTable::LoadEvacuationCurve(std::string_view name) {
    if (!FName.empty() && name == FName) return true;
    const std::string curve(name);
    if (!FSource) return Reject("evacuation curve " + curve + ": no time table");
    const TCustomTable& t = *FSource;
    const int cCurve = t.ColByName("Curve");
    const int cPressure = t.ColByName("Pressure");
    const int cVacuum = t.ColByName("Vacuum");
    const int cTime = t.ColByName("Time_ms");
    if (cCurve < 0 || cPressure < 0 || cVacuum < 0 || cTime < 0)
        return Reject("evacuation curve " + curve + ": the time table lacks a column");
    const int first = name.empty() ? -1 : FirstRow(name);
    if (first < 0) return Reject("evacuation curve " + curve + " not found");
    Clear();
    int group = -1;
    int j = 0;
    for (int row = first; row < t.Rows() && t.AsText(row, cCurve) == name; ++row) {
        const double p = t.AsFloat(row, cPressure) * cPaPerBar;
        const double v = t.AsFloat(row, cVacuum) * cPaPerBar;
        const double time = t.AsFloat(row, cTime) * 0.001;
        if (!std::isfinite(p) || !std::isfinite(v) || !std::isfinite(time))
            return Reject("evacuation curve " + curve + ": a value is not a number");
        if (group < 0 || p != FGroups[static_cast<size_t>(group)].Pressure) {
            // Equal or falling pressures would make the blend between groups divide by
            // zero or pick the wrong pair.
            if (group >= 0 && !(p > FGroups[static_cast<size_t>(group)].Pressure))
                return Reject("evacuation curve " + curve + ": pressures not ascending");
            if (group + 1 >= PSize())
                return Reject("evacuation curve " + curve + " has more than " +
                              std::to_string(PSize()) + " pressures");
            ++group;
            FGroups[static_cast<size_t>(group)].Pressure = p;
            FGroupCount = group + 1;
            j = 0;
        }
        if (j >= VSize())
            return Reject("evacuation curve " + curve + " has more than " +
                          std::to_string(VSize()) + " vacuum levels");
        TEvacuationGroup& g = FGroups[static_cast<size_t>(group)];
        g.Points = static_cast<uint8_t>(j + 1);
        g.Times[static_cast<size_t>(j)] = time;
        if (FLevelCount <= j) {
            if (j > 0 && v < FLevels[static_cast<size_t>(j - 1)])
                return Reject("evacuation curve " + curve + ": vacuum levels not ascending");
            FLevels[static_cast<size_t>(j)] = v;
            ++FLevelCount;
        } else if (FLevels[static_cast<size_t>(j)] != v) {
            // Every group is read against the levels of the first one that has them.
            return Reject("evacuation curve " + curve + ": vacuum levels differ between pressures");
        }
        ++j;
    }
    FName = curve;
    FError.clear();
    return true;
}

bool TEvacuationTable::PressureInRange(double p) const {
    if (FGroupCount < 1) return false;
    return FGroups[0].Pressure <= p && p <= FGroups[static_cast<size_t>(FGroupCount - 1)].Pressure;
}

int TEvacuationTable::UpperGroup(double p) const {
    if (!PressureInRange(p)) return -1;
    if (FGroupCount == 1) return 0;
    for (int k = 1; k < FGroupCount; ++k)
        if (FGroups[static_cast<size_t>(k)].Pressure >= p) return k;
    return -1;
}

double TEvacuationTable::GroupTime(int i, double v) const {
    if (i < 0 || i >= FGroupCount) return 0.0;
    const TEvacuationGroup& g = FGroups[static_cast<size_t>(i)];
    const int n = g.Points;
    if (n < 1) return 0.0;
    int j = 1;
    while (j < n && !(FLevels[static_cast<size_t>(j)] > v)) ++j;
    if (j == n) return g.Times[static_cast<size_t>(n - 1)];
    const double x0 = FLevels[static_cast<size_t>(j - 1)], x1 = FLevels[static_cast<size_t>(j)];
    const double y0 = g.Times[static_cast<size_t>(j - 1)], y1 = g.Times[static_cast<size_t>(j)];
    if (x1 == x0 || y1 == y0) return y0;
    return y0 + (y1 - y0) / (x1 - x0) * (v - x0);
}
