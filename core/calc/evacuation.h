#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TCustomTable;

//! One pressure group of an evacuation-time curve: operating pressure (Pa) and the time
//! (s) to evacuate one litre to each vacuum level of the curve.
struct TEvacuationGroup {
    double Pressure = -1.0;
    uint8_t Points = 0;
    std::vector<double> Times;
};

//! The measured evacuation times of one generator curve at a time, read from the table
//! 'tbl Curve EvacuationTime' ("Curve", "Pressure" bar, "Vacuum" bar, "Time_ms"). The
//! buffers hold pSize pressure groups of vSize vacuum levels; a curve that does not fit
//! them, or whose groups are not in ascending pressure with one common level sequence, is
//! rejected with a message rather than read in part.
class TEvacuationTable {
public:
    //! Most groups and points per group a curve may have (byte counters).
    static constexpr int cMaxCount = 255;

    TEvacuationTable(int pSize = 10, int vSize = 18);

    //! Resizes the buffers (sizes brought into 1..255) and forgets the loaded curve.
    void SetBufferSize(int pSize, int vSize);
    //! Takes "pSize" and "vSize" of the first row of 'tEvac BufferSize'; false (sizes
    //! unchanged) when the table has no row or a size is not positive.
    bool ReadBufferSize(const TCustomTable& table);
    int PSize() const { return static_cast<int>(FGroups.size()); }
    int VSize() const { return static_cast<int>(FLevels.size()); }

    //! The time table to read curves from (not owned); forgets the loaded curve.
    void SetSource(const TCustomTable* table);
    const TCustomTable* Source() const { return FSource; }

    //! Loads the named curve unless it is the loaded one. False when the curve is missing
    //! or rejected; nothing is loaded then and LoadError() says why.
    bool LoadEvacuationCurve(std::string_view name);
    //! Name of the loaded curve; empty when none is.
    const std::string& CurveName() const { return FName; }
    //! Why the last load failed; empty after a successful load.
    const std::string& LoadError() const { return FError; }
    //! Forgets the loaded curve (e.g. after the source was reloaded).
    void Invalidate();

    int GroupCount() const { return FGroupCount; }
    int LevelCount() const { return FLevelCount; }
    //! Vacuum level j, Pa (positive, below ambient).
    double Level(int j) const { return FLevels[static_cast<size_t>(j)]; }
    const TEvacuationGroup& Group(int i) const { return FGroups[static_cast<size_t>(i)]; }

    //! First group pressure ≤ p ≤ last group pressure of the loaded curve.
    bool PressureInRange(double p) const;
    //! Time (s) of group i at vacuum v (Pa), linear through its points; the first segment
    //! goes on to the left, the last time holds to the right.
    double GroupTime(int i, double v) const;
    //! Index k ≥ 1 of the first group whose pressure is ≥ p; 0 for a curve of one group
    //! (p then equals its pressure); -1 outside the range.
    int UpperGroup(double p) const;

private:
    void Clear();
    bool Reject(std::string message);

    int FirstRow(std::string_view name);

    const TCustomTable* FSource = nullptr;
    // First row of every curve of the source, built on the first load.
    std::unordered_map<std::string, int> FFirstRow;
    int FIndexedRows = -1;
    std::string FName;
    std::string FError;
    int FGroupCount = 0;
    int FLevelCount = 0;
    std::vector<double> FLevels;
    std::vector<TEvacuationGroup> FGroups;
};
