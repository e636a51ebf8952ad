#include "core/calc/cup_loads.h"

#include "core/calc/forces.h"
#include "core/util/trace.h"

#include <cmath>
#include <numbers>

namespace {

using TLong = long double;

// Checks one intermediate value of the solution. A NaN reads as 0; NaN and infinity are
// traced under their name. Returns false for an infinite value: the arithmetic overflowed.
bool Inspect(TLong& v, const char* name, int i, int j = -1) {
    const bool nan = std::isnan(v);
    const bool inf = std::isinf(v);
    if ((nan || inf) && TraceEnabled()) {
        const std::string indices =
            j < 0 ? FormatText("%d]", i) : FormatText(name[0] == 'C' ? "%d,%d)" : "%d,%d]", i, j);
        TraceLine(FormatText("%s%s = %s", name, indices.c_str(), nan ? "NAN" : "INF"));
    }
    if (nan) v = 0.0L;
    return !inf;
}

} // namespace

TVektor TCupLoadCase::Load() const {
    TVektor f(Acceleration.X, Acceleration.Y, Acceleration.Z + cGravity);
    f.Scale(Mass);
    WorkpieceBasis.ToLocal(f);
    return f;
}

TVektor TCupLoadCase::LoadMoment() const {
    TVektor m;
    m.CrossProduct(MassCenter, Load());
    return m;
}

void BuildStiffnessMatrix(std::span<const TVektor> positions, double k0, TMatrix& c) {
    // The blocks of all cups summed: n·I, [P]× with P = Σp, and Σ(|p|²·I − p·pᵀ), which
    // is −Σ[p]×[p]×.
    TLong px = 0, py = 0, pz = 0;
    TLong xx = 0, yy = 0, zz = 0, xy = 0, xz = 0, yz = 0;
    TLong distance = 0;
    for (const TVektor& p : positions) {
        px += p.X;
        py += p.Y;
        pz += p.Z;
        xx += TLong(p.X) * p.X;
        yy += TLong(p.Y) * p.Y;
        zz += TLong(p.Z) * p.Z;
        xy += TLong(p.X) * p.Y;
        xz += TLong(p.X) * p.Z;
        yz += TLong(p.Y) * p.Z;
        distance += p.Length();
    }
    const auto n = static_cast<TLong>(positions.size());
    TLong mean = n > 0 ? distance / n : 0.0L;
    if (mean == 0.0L) mean = 0.1L;
    const TLong kt = k0;
    const TLong kr = k0 * mean * mean;
    const TLong m[6][6] = {
        {n + kt, 0, 0, 0, pz, -py},           {0, n + kt, 0, -pz, 0, px},
        {0, 0, n + kt, py, -px, 0},           {0, -pz, py, yy + zz + kr, -xy, -xz},
        {pz, 0, -px, -xy, xx + zz + kr, -yz}, {-py, px, 0, -xz, -yz, xx + yy + kr},
    };
    c.BeginUpdate();
    c.SetLines(6);
    c.SetColumns(6);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) c.SetElement(i, j, m[i][j]);
    c.EndUpdate();
}

bool SolveCholesky(const TMatrix& c, const std::array<TLong, 6>& b, std::array<TLong, 6>& u) {
    if (c.Lines() != 6 || c.Columns() != 6) return false;
    TLong r[6][6] = {};
    for (int i = 0; i < 6; ++i) {
        const TLong* line = c.Line(i);
        TLong sum = line[i];
        for (int k = 0; k < i; ++k) sum -= r[k][i] * r[k][i];
        if (!Inspect(sum, "C.Summe(", i, i)) return false;
        // √ of a negative value is invalid, and a zero diagonal would be divided by.
        if (!(sum > 0.0L)) return false;
        r[i][i] = std::sqrt(sum);
        if (!Inspect(r[i][i], "R[", i, i)) return false;
        for (int j = i + 1; j < 6; ++j) {
            TLong s = line[j];
            for (int k = 0; k < i; ++k) s -= r[k][i] * r[k][j];
            if (!Inspect(s, "C.Summe(", i, j)) return false;
            r[i][j] = s / r[i][i];
            if (!Inspect(r[i][j], "R[", i, j)) return false;
        }
    }
    std::array<TLong, 6> z{};
    for (int i = 0; i < 6; ++i) {
        TLong s = b[i];
        for (int k = 0; k < i; ++k) s -= r[k][i] * z[k];
        z[i] = s / r[i][i];
        if (!Inspect(z[i], "z[", i)) return false;
    }
    for (int i = 5; i >= 0; --i) {
        TLong s = z[i];
        for (int k = i + 1; k < 6; ++k) s -= r[i][k] * u[k];
        u[i] = s / r[i][i];
        if (!Inspect(u[i], "delta[", i)) return false;
    }
    return true;
}

bool EvaluateCupForce(const TVektor& delta, const TVektor& omega, const TVektor& p,
                      const TBasis& basis, double fs, double friction, TCupForce& out) {
    TVektor f;
    f.CrossProduct(omega, p);
    f.Add(delta);
    TVektor local;
    basis.ToLocal(f, local);
    TCupForce r;
    r.Force = f;
    r.Fn = local.Z;
    r.Fq = std::sqrt(local.X * local.X + local.Y * local.Y);
    if (fs > 0.0) {
        r.NormalRatio = r.Fn / fs;
        const double grip = (fs - r.Fn) * friction;
        if (grip > 0.0) r.TransverseRatio = r.Fq / grip;
    }
    if (!std::isfinite(r.Force.X) || !std::isfinite(r.Force.Y) || !std::isfinite(r.Force.Z) ||
        !std::isfinite(r.Fn) || !std::isfinite(r.Fq) || !std::isfinite(r.NormalRatio) ||
        !std::isfinite(r.TransverseRatio))
        return false;
    out = r;
    return true;
}

TCupLoadBand LoadBand(double ratio) {
    if (ratio < 0.0) return clbNegative;
    if (ratio < 0.6) return clbOptimal;
    if (ratio <= 0.75) return clbHigh;
    return clbTooHigh;
}

void MotionLoad(const TMotionSample& sample, bool rotary, const TVektor& direction, double lever,
                TVektor& acceleration, TBasis& basis) {
    if (!rotary) {
        acceleration = direction;
        acceleration.Scale(sample.Acceleration);
        basis.Reset();
        return;
    }
    constexpr double pi = std::numbers::pi;
    const double phi = sample.Angle;
    const double centripetal = sample.AngularSpeed * sample.AngularSpeed * lever;
    const double tangential = sample.AngularAcceleration * lever;
    acceleration.SetXYZ(centripetal * std::cos(phi - pi) + tangential * std::cos(phi - pi / 2),
                        centripetal * std::sin(phi - pi) + tangential * std::sin(phi - pi / 2),
                        0.0);
    basis.Rotate(VektorPlusZ, phi);
}
