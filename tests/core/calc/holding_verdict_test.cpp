// The verdict whether a design holds: the smallest safety of any cup over the motion.

#include "core/calc/holding_verdict.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TLoadRatioPeaks Peaks(std::vector<double> normal, std::vector<double> transverse) {
    TLoadRatioPeaks p;
    p.Normal = std::move(normal);
    p.Transverse = std::move(transverse);
    for (size_t i = 0; i < p.Normal.size(); ++i) {
        p.NormalTime.push_back(0.1 * static_cast<double>(i + 1));
        p.TransverseTime.push_back(1.0 + 0.1 * static_cast<double>(i + 1));
    }
    return p;
}

TEST(HoldingVerdictTest, SafetyIsTheInverseOfTheLoadRatio) {
    EXPECT_DOUBLE_EQ(SafetyOfRatio(0.5), 2.0);
    EXPECT_DOUBLE_EQ(SafetyOfRatio(0.25), 4.0);
    EXPECT_DOUBLE_EQ(SafetyOfRatio(5.0), 0.2);
    EXPECT_TRUE(std::isinf(SafetyOfRatio(0.0)));
    EXPECT_TRUE(std::isinf(SafetyOfRatio(-0.3)));
    EXPECT_TRUE(std::isnan(SafetyOfRatio(std::nan(""))));
}

TEST(HoldingVerdictTest, TheWeakestCupAndItsInstantLimit) {
    // Cup 2's transverse ratio 0.4 (safety 2.5) is the largest of all ratios.
    const THoldingVerdict v = JudgeHolding(Peaks({0.3, 0.2, 0.1}, {0.1, 0.4, 0.35}), 2.0);
    ASSERT_TRUE(v.Judged);
    EXPECT_DOUBLE_EQ(v.Safety, 2.5);
    EXPECT_EQ(v.Cup, 1);
    EXPECT_TRUE(v.Transverse);
    EXPECT_DOUBLE_EQ(v.Time, 1.2);
    EXPECT_TRUE(v.Holds());
    // Raising the required factor above 2.5 fails the same design.
    EXPECT_FALSE(JudgeHolding(Peaks({0.3, 0.2, 0.1}, {0.1, 0.4, 0.35}), 3.0).Holds());
    // A normal ratio of 0.6 limits: safety 1/0.6 < 2.
    const THoldingVerdict n = JudgeHolding(Peaks({0.6, 0.2}, {0.1, 0.1}), 2.0);
    EXPECT_EQ(n.Cup, 0);
    EXPECT_FALSE(n.Transverse);
    EXPECT_DOUBLE_EQ(n.Time, 0.1);
    EXPECT_NEAR(n.Safety, 1.0 / 0.6, 1e-12);
    EXPECT_FALSE(n.Holds());
}

TEST(HoldingVerdictTest, ExactlyTheRequiredSafetyHolds) {
    EXPECT_TRUE(JudgeHolding(Peaks({0.5}, {0.5}), 2.0).Holds());
    // Equal safeties: the first cup, normal before transverse.
    const THoldingVerdict v = JudgeHolding(Peaks({0.5, 0.5}, {0.5, 0.5}), 2.0);
    EXPECT_EQ(v.Cup, 0);
    EXPECT_FALSE(v.Transverse);
}

TEST(HoldingVerdictTest, NothingPullingHoldsAndUnsolvedOrEmptyDoesNot) {
    const THoldingVerdict pressed = JudgeHolding(Peaks({-0.2, 0.0}, {0.0, -1.0}), 2.0);
    EXPECT_TRUE(pressed.Judged);
    EXPECT_TRUE(std::isinf(pressed.Safety));
    EXPECT_EQ(pressed.Cup, -1);
    EXPECT_TRUE(pressed.Holds());

    TLoadRatioPeaks unsolved = Peaks({0.1}, {0.1});
    unsolved.Solvable = false;
    EXPECT_FALSE(JudgeHolding(unsolved, 2.0).Judged);
    EXPECT_FALSE(JudgeHolding(unsolved, 2.0).Holds());
    EXPECT_FALSE(JudgeHolding(Peaks({}, {}), 2.0).Holds());
    EXPECT_FALSE(JudgeHolding(Peaks({std::nan("")}, {0.1}), 2.0).Holds());
}

} // namespace
