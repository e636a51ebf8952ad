#include "core/workflow/mass_dialog_model.h"
#include "core/workflow/workpiece_model.h"
#include "workflow_test_support.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class MassDialogTest : public ::testing::Test, public TWorkflowFixture {
protected:
    TWorkpieceModel Model{Doc, DensityQuery};
    TMyProject::TWorkpiece& W = Doc.Workpiece;
    int InertiaEvents = 0;
    TConnection Follow;

    // Mass known, envelope 0.4 × 0.3 × 0.2 m, 2 kg: worst case Jx = 0.26, Jy = 0.4,
    // Jz = 0.5 kg m².
    void SetUp() override {
        ASSERT_TRUE(Model.SetShape(cwsMassKnown));
        ASSERT_TRUE(Model.SetLengthX(0.4));
        ASSERT_TRUE(Model.SetLengthY(0.3));
        ASSERT_TRUE(Model.SetLengthZ(0.2));
        ASSERT_TRUE(Model.SetMass(2.0));
        Follow = Model.OnMomentOfInertiaChange.Connect([this](TWorkpieceModel&) { ++InertiaEvents; });
    }
};

TEST_F(MassDialogTest, OpensOnTheDocumentsValuesLockedByTheWorstCase) {
    W.MassCenter = TVektor(0.01, 0.02, 0.03);
    TMassDialogModel d(Model);
    EXPECT_TRUE(d.WorstCaseVisible());
    EXPECT_TRUE(d.WorstCase());
    EXPECT_TRUE(d.ReadOnly());
    EXPECT_EQ(d.MassCenter(), TVektor(0.01, 0.02, 0.03));
    EXPECT_NEAR(d.MomentOfInertia(2), 0.5, 1e-12);
    EXPECT_FALSE(TMassDialogModel::MomentOfInertiaVisible(0));
    EXPECT_FALSE(TMassDialogModel::MomentOfInertiaVisible(1));
    EXPECT_TRUE(TMassDialogModel::MomentOfInertiaVisible(2));
    // Locked fields take nothing.
    EXPECT_FALSE(d.SetMassCenter(0, 0.1));
    EXPECT_FALSE(d.SetMomentOfInertia(2, 1.0));
    EXPECT_EQ(d.MassCenter().X, 0.01);
}

TEST_F(MassDialogTest, UncheckedBoxIsShownUncheckedAndUnlocksTheFields) {
    W.WorstCase = false;
    TMassDialogModel d(Model);
    EXPECT_FALSE(d.WorstCase());
    EXPECT_FALSE(d.ReadOnly());
    EXPECT_TRUE(d.SetMassCenter(1, -5.0));
    EXPECT_TRUE(d.SetMassCenter(2, 5.0));
    EXPECT_FALSE(d.SetMassCenter(0, 5.001));
    EXPECT_FALSE(d.SetMassCenter(3, 0.1));
    EXPECT_FALSE(d.SetMassCenter(0, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(d.SetMomentOfInertia(0, -0.1));
    EXPECT_FALSE(d.SetMomentOfInertia(-1, 0.1));
    EXPECT_FALSE(d.SetMomentOfInertia(1, std::numeric_limits<double>::infinity()));
    EXPECT_EQ(d.MassCenter(), TVektor(0, -5.0, 5.0));
}

TEST_F(MassDialogTest, CheckingRecomputesTheWorstCaseAndOkStoresIt) {
    W.WorstCase = false;
    W.MomentOfInertiaX = W.MomentOfInertiaY = W.MomentOfInertiaZ = 0.0;
    TMassDialogModel d(Model);
    ASSERT_TRUE(d.SetMassCenter(0, 0.05));
    d.ChkBoxTrMoWorstCaseClick(true);
    EXPECT_TRUE(d.ReadOnly());
    EXPECT_NEAR(d.MomentOfInertia(0), 0.26, 1e-12);
    EXPECT_NEAR(d.MomentOfInertia(1), 0.40, 1e-12);
    EXPECT_NEAR(d.MomentOfInertia(2), 0.50, 1e-12);
    // Nothing is stored before OK.
    EXPECT_EQ(W.MomentOfInertiaZ, 0.0);
    EXPECT_FALSE(W.WorstCase);
    d.Ok();
    EXPECT_TRUE(W.WorstCase);
    EXPECT_NEAR(W.MomentOfInertiaZ, 0.5, 1e-12);
    EXPECT_EQ(W.MassCenter, TVektor(0.05, 0, 0));
    EXPECT_EQ(InertiaEvents, 1);
}

TEST_F(MassDialogTest, OkWithWorstCaseRecomputesWhatTheFieldsHeld) {
    // The document's moments are stale (as after a mass change without worst case); OK
    // with the box checked computes them again from the current mass.
    W.MomentOfInertiaZ = 123.0;
    TMassDialogModel d(Model);
    d.Ok();
    EXPECT_NEAR(W.MomentOfInertiaZ, 0.5, 1e-12);
    EXPECT_EQ(InertiaEvents, 1);
}

TEST_F(MassDialogTest, EnteredValuesAreStoredAsTheyStand) {
    TMassDialogModel d(Model);
    d.ChkBoxTrMoWorstCaseClick(false);
    // Unchecking keeps the values shown.
    EXPECT_NEAR(d.MomentOfInertia(2), 0.5, 1e-12);
    ASSERT_TRUE(d.SetMomentOfInertia(0, 0.1));
    ASSERT_TRUE(d.SetMomentOfInertia(1, 0.2));
    ASSERT_TRUE(d.SetMomentOfInertia(2, 0.3));
    d.Ok();
    EXPECT_FALSE(W.WorstCase);
    EXPECT_EQ(W.MomentOfInertiaX, 0.1);
    EXPECT_EQ(W.MomentOfInertiaY, 0.2);
    EXPECT_EQ(W.MomentOfInertiaZ, 0.3);
}

TEST_F(MassDialogTest, CancelIsDroppingTheDialog) {
    {
        TMassDialogModel d(Model);
        d.ChkBoxTrMoWorstCaseClick(false);
        ASSERT_TRUE(d.SetMassCenter(0, 1.0));
        ASSERT_TRUE(d.SetMomentOfInertia(2, 9.0));
    }
    EXPECT_TRUE(W.WorstCase);
    EXPECT_EQ(W.MassCenter, VektorZero);
    EXPECT_NEAR(W.MomentOfInertiaZ, 0.5, 1e-12);
    EXPECT_EQ(InertiaEvents, 0);
}

TEST_F(MassDialogTest, ShapesWithGeometryHideTheBoxAndLockTheFields) {
    ASSERT_TRUE(Model.SetShape(cwsBar));
    TMassDialogModel d(Model);
    EXPECT_FALSE(d.WorstCaseVisible());
    EXPECT_FALSE(d.WorstCase());
    EXPECT_TRUE(d.ReadOnly());
    EXPECT_FALSE(d.SetMassCenter(0, 0.1));
}

} // namespace
