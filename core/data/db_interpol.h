#pragma once

#include "core/data/custom_table.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TOrsikConnection;
class TStrTableDB32Bit;

//! One characteristic curve: points in ascending x, piecewise linear between them and held
//! constant beyond both ends.
class TDBInterpolCurve {
public:
    //! Expected number of points; the first AddPoint sizes the arrays to it.
    int Count() const { return count_; }
    //! Announces one more point (a further table row with the same curve name).
    void ExpectPoint() { ++count_; }
    //! Index of the last point added; -1 while empty.
    int LastIndex() const { return last_; }

    //! Appends a point; the slope of the segment ending there is set (0 for a vertical or
    //! flat segment).
    void AddPoint(double x, double y);

    //! Value at x: y[0] up to the first x, the last y from the last x on, linear in between.
    //! A curve without points gives 0.
    double Value(double x) const;

    double FirstX() const { return firstX_; }
    double LastX() const { return lastX_; }
    double MinY() const { return minY_; }
    double MaxY() const { return maxY_; }

    //! The points added so far and the slope of the segment starting at each.
    std::span<const double> X() const { return {x_.data(), Added()}; }
    std::span<const double> Y() const { return {y_.data(), Added()}; }
    std::span<const double> Slopes() const { return {slope_.data(), Added()}; }

private:
    size_t Added() const { return static_cast<size_t>(last_ + 1); }

    int count_ = 1;
    int last_ = -1;
    // Points in non-decreasing x allow a binary search with the same result as the downward
    // scan; other orders keep the scan.
    bool ascending_ = true;
    std::vector<double> x_, y_, slope_;
    double firstX_ = 0, lastX_ = 1;
    double minY_ = 0, maxY_ = 1;
};

//! A family of named curves; names are matched without regard to ASCII case.
class TCustomDBInterpol {
public:
    TCustomDBInterpol() = default;
    TCustomDBInterpol(const TCustomDBInterpol&) = delete;
    TCustomDBInterpol& operator=(const TCustomDBInterpol&) = delete;
    virtual ~TCustomDBInterpol() = default;

    int CurvesCount() const { return static_cast<int>(curves_.size()); }
    void SetCurvesCount(int) {} // follows the curves
    //! Name as first met in the table; empty outside 0..CurvesCount-1.
    const std::string& CurveName(int i) const;
    //! Curve by number, or nullptr outside 0..CurvesCount-1.
    const TDBInterpolCurve* Curve(int i) const;
    //! Number of the named curve, -1 when unknown.
    int IndexOf(std::string_view name) const;
    //! The named curve, or nullptr. Resolve once when evaluating one curve many times.
    const TDBInterpolCurve* FindCurve(std::string_view name) const;

    //! Value of the named curve at x; 0 when no curve has that name.
    double Evaluate(std::string_view name, double x) const;

protected:
    //! The named curve, appended when new (`created` tells which).
    TDBInterpolCurve& CurveFor(std::string_view name, bool& created);
    void ClearCurves();

private:
    struct TNameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const;
    };
    struct TNameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    std::vector<std::string> names_;
    std::vector<TDBInterpolCurve> curves_;
    std::unordered_map<std::string, size_t, TNameHash, TNameEqual> index_;
};

//! Curve family read from one table of a connection. The table must have exactly the
//! columns curve name (csfString), x (csfFloat), y (csfFloat), points of each curve in
//! ascending x; any other layout yields no curves. The curves follow every (re)load of
//! the table and are deleted when the connection goes.
class TDBInterpol32Bit : public TCustomDBInterpol, private TTableDependent {
public:
    TDBInterpol32Bit();
    ~TDBInterpol32Bit() override;

    TOrsikConnection* Connection() const;
    //! Binds the internal table to the connection (which loads it) and rebuilds the curves.
    void SetConnection(TOrsikConnection* connection);
    const std::string& Table() const;
    //! Names the table to read and rebuilds the curves.
    void SetTable(const std::string& name);

    //! Builds the curves from the internal table, or deletes them all when its layout is
    //! not the curve layout.
    void Rebuild();

    //! The internal table, e.g. for its LoadError().
    const TStrTableDB32Bit& Data() const;

private:
    class TCurveTable;

    void SourceChanged(TCustomTable& source, unsigned flags) override;

    std::unique_ptr<TCurveTable> table_;
    unsigned rebuilds_ = 0;
};
