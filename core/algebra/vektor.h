#pragma once

//! Three-dimensional vector of the handling calculations (positions, directions, forces).
//! Operations that change the vector write their result into it; all of them stay correct
//! when an argument is the vector itself.
class TVektor {
public:
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;

    //! The zero vector.
    constexpr TVektor() = default;
    //! The vector (x, y, z).
    constexpr TVektor(double x, double y, double z) : X(x), Y(y), Z(z) {}

    //! Sets all components to 0.
    void Clear() { X = Y = Z = 0.0; }
    //! Sets the vector to (x, y, z).
    void SetXYZ(double x, double y, double z) {
        X = x;
        Y = y;
        Z = z;
    }
    //! Copies the components of u.
    void Assign(const TVektor& u) { *this = u; }
    //! True when all three components are exactly equal.
    bool Equals(const TVektor& u) const { return X == u.X && Y == u.Y && Z == u.Z; }
    bool operator==(const TVektor& u) const { return Equals(u); }

    //! v := v + u.
    void Add(const TVektor& u) {
        X += u.X;
        Y += u.Y;
        Z += u.Z;
    }
    //! v := v + k·u.
    void AddScaled(double k, const TVektor& u) {
        X += k * u.X;
        Y += k * u.Y;
        Z += k * u.Z;
    }
    //! v := v − u.
    void Subtract(const TVektor& u) {
        X -= u.X;
        Y -= u.Y;
        Z -= u.Z;
    }
    //! v := k·v.
    void Scale(double k) {
        X *= k;
        Y *= k;
        Z *= k;
    }

    //! √(x² + y² + z²).
    double Length() const;
    //! Length of the projection onto the XY plane, √(x² + y²).
    double LengthXY() const;
    //! Distance between the points v and u.
    double Distance(const TVektor& u) const;
    //! Dot product v·u.
    double DotProduct(const TVektor& u) const { return X * u.X + Y * u.Y + Z * u.Z; }
    //! Length of the part of v perpendicular to the unit vector u, √(|v|² − (v·u)²);
    //! 0 when rounding makes the radicand negative.
    double TransverseLength(const TVektor& u) const;

    //! v := a × b.
    void CrossProduct(const TVektor& a, const TVektor& b);
    //! Divides by the length; a vector of length 0 stays as it is.
    void Normalize();
    //! Removes the component along the unit vector u: v := v − (v·u)·u.
    void RemoveComponent(const TVektor& u);
    //! Componentwise minimum with u (lower corner of an envelope).
    void MinWith(const TVektor& u);
    //! Componentwise maximum with u (upper corner of an envelope).
    void MaxWith(const TVektor& u);

    //! Sets v from spherical coordinates: elevation a, azimuth b, radius r
    //! (z = r·sin a, x = r·cos a·cos b, y = r·cos a·sin b).
    void SetSpherical(double a, double b, double r);
    //! Adds the vector given by spherical coordinates as in SetSpherical.
    void AddSpherical(double a, double b, double r);

    //! Two vectors perpendicular to this direction d: p := h × d and q := p × d, where the
    //! helper axis h is +Y when |d·X| ≥ |d·Y|, else +X. p and q are not normalised, so they
    //! are unit vectors only when d is a unit vector along a coordinate axis.
    void Perpendiculars(TVektor& p, TVektor& q) const;
    //! Rotates v about `axis` by phi (right-handed). The axis is normalised first; an axis
    //! of length 0 leaves v unchanged. The rotation uses the unnormalised Perpendiculars of
    //! the axis, so it is exact for the coordinate axes; about an oblique axis the part of
    //! v perpendicular to the axis is also scaled by |p|².
    void Rotate(const TVektor& axis, double phi);

    //! Angle of the plane point (a, b) from the positive first axis, in [0, 2π);
    //! 0 for the origin.
    static double PlaneAngle(double a, double b);
};

//! The shared constant vectors: zero and the six unit vectors along the axes.
inline constexpr TVektor VektorZero{0.0, 0.0, 0.0};
inline constexpr TVektor VektorPlusX{1.0, 0.0, 0.0};
inline constexpr TVektor VektorPlusY{0.0, 1.0, 0.0};
inline constexpr TVektor VektorPlusZ{0.0, 0.0, 1.0};
inline constexpr TVektor VektorMinusX{-1.0, 0.0, 0.0};
inline constexpr TVektor VektorMinusY{0.0, -1.0, 0.0};
inline constexpr TVektor VektorMinusZ{0.0, 0.0, -1.0};
