#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "core/algebra/vektor.h"

//! Component-wise comparison of two vectors within `eps`, naming both on failure.
inline ::testing::AssertionResult Near(const TVektor& a, const TVektor& b, double eps = 1e-12) {
    if (std::fabs(a.X - b.X) <= eps && std::fabs(a.Y - b.Y) <= eps && std::fabs(a.Z - b.Z) <= eps)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.X << ", " << a.Y << ", " << a.Z << ") differs from (" << b.X
                                         << ", " << b.Y << ", " << b.Z << ")";
}
