// Checks on leaving a page that read the project document: their order, the message and
// the control each one focuses, and which fields count for a shape or a motion type.

#include "core/document/my_project.h"
#include "core/workflow/page_validation.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct TPageValidationTest : ::testing::Test {
    TMyProject Doc;

    TPageValidationTest() {
        Doc.Project().New();
        SetBar(0.3, 0.2, 0.01);
        Doc.Friction = 0.5;
    }

    void SetBar(double x, double y, double z) {
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = x;
        Doc.Workpiece.LengthY = y;
        Doc.Workpiece.LengthZ = z;
    }

    void SetPipeZ(double height, double outer, double inner) {
        Doc.Workpiece.Shape = cwsPipeZ;
        Doc.Workpiece.LengthX = 0.0;
        Doc.Workpiece.LengthY = 0.0;
        Doc.Workpiece.LengthZ = height;
        Doc.Workpiece.OuterDiameter = outer;
        Doc.Workpiece.InnerDiameter = inner;
    }
};

TPageCheckFailure F(const char* message, const char* control) {
    return {message, control};
}

TEST_F(TPageValidationTest, ValidBarPasses) {
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), std::nullopt);
}

TEST_F(TPageValidationTest, BarSizesAreCheckedInOrder) {
    SetBar(0.0, 0.0, 0.0);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Length(X)", "SpinEditLaenge"));
    Doc.Workpiece.LengthX = 0.3;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Width(Y)", "SpinEditBreite"));
    Doc.Workpiece.LengthY = 0.2;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Height(Z)", "SpinEditHoehe"));
}

TEST_F(TPageValidationTest, FirstFailureWinsOverLaterOnes) {
    Doc.Workpiece.LengthZ = 0.0;
    Doc.Friction = 0.0;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Height(Z)", "SpinEditHoehe"));
}

TEST_F(TPageValidationTest, NegativeSizeIsNotPositive) {
    Doc.Workpiece.LengthY = -0.1;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Width(Y)", "SpinEditBreite"));
}

TEST_F(TPageValidationTest, HiddenFieldsAreNotChecked) {
    // A cylinder along Z shows its height and diameter only.
    Doc.Workpiece.Shape = cwsCylinderZ;
    Doc.Workpiece.LengthX = 0.0;
    Doc.Workpiece.LengthY = 0.0;
    Doc.Workpiece.LengthZ = 0.1;
    Doc.Workpiece.OuterDiameter = 0.05;
    Doc.Workpiece.InnerDiameter = 0.0;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), std::nullopt);
    Doc.Workpiece.OuterDiameter = 0.0;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Diameter", "SpinEditDAussen"));
    // The bar hides the diameters.
    SetBar(0.3, 0.2, 0.01);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), std::nullopt);
}

TEST_F(TPageValidationTest, CylinderAlongXChecksLengthNotWidth) {
    Doc.Workpiece.Shape = cwsCylinderX;
    Doc.Workpiece.LengthX = 0.0;
    Doc.Workpiece.LengthY = 0.0;
    Doc.Workpiece.OuterDiameter = 0.05;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Length(X)", "SpinEditLaenge"));
    Doc.Workpiece.LengthX = 0.4;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), std::nullopt);
}

TEST_F(TPageValidationTest, PipeInnerDiameter) {
    SetPipeZ(0.1, 0.05, 0.0);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~InsideDiameter", "SpinEditDInnen"));
    SetPipeZ(0.1, 0.05, 0.05);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~InsideDiameter", "SpinEditDInnen"));
    SetPipeZ(0.1, 0.05, 0.06);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~InsideDiameter", "SpinEditDInnen"));
    SetPipeZ(0.1, 0.05, 0.04);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), std::nullopt);
    // The outer diameter comes first.
    SetPipeZ(0.1, 0.0, 0.0);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~Diameter", "SpinEditDAussen"));
}

TEST_F(TPageValidationTest, Friction) {
    Doc.Friction = 0.0;
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~FrictionCoefficient", "SpinEditFriction"));
    Doc.Friction = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~FrictionCoefficient", "SpinEditFriction"));
}

TEST_F(TPageValidationTest, WorkpieceTooSmallForAnySuctionCupHasNoFocus) {
    // The grip size of a bar is the middle of its three lengths.
    SetBar(0.3, 0.0012, 0.001);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~SuctionCupDiameter[mm]", ""));
    SetBar(0.3, 0.0013, 0.001);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), std::nullopt);
    // A round shape grips by its outer diameter.
    SetPipeZ(0.5, 0.001, 0.0005);
    EXPECT_EQ(TPageValidation::CheckWorkpiece(Doc), F("~SuctionCupDiameter[mm]", ""));
}

TEST_F(TPageValidationTest, RequiredVacuumMustBeBelowAmbient) {
    Doc.Venturi.Vacuum = 0.0;
    EXPECT_EQ(TPageValidation::CheckRequiredVacuum(Doc), F("~Vacuum", "SpinEditVakuumSoll"));
    Doc.Venturi.Vacuum = 20000.0;
    EXPECT_EQ(TPageValidation::CheckRequiredVacuum(Doc), F("~Vacuum", "SpinEditVakuumSoll"));
    Doc.Venturi.Vacuum = -60000.0;
    EXPECT_EQ(TPageValidation::CheckRequiredVacuum(Doc), std::nullopt);
}

TEST_F(TPageValidationTest, LinearMotionChecksTravelOnly) {
    for (TDriveType type : {cdtPneumaticLinear, cdtNCLinear}) {
        SCOPED_TRACE(testing::Message() << "drive type " << type);
        Doc.Drive.Type = type;
        Doc.Moving.CircularAngle = 0.0;
        Doc.Moving.CircularLever = 0.0;
        Doc.Moving.LinearTravel = 0.0;
        EXPECT_EQ(TPageValidation::CheckMotion(Doc), F("~Travel", "SpinEditLinWeg"));
        Doc.Moving.LinearTravel = 0.2;
        EXPECT_EQ(TPageValidation::CheckMotion(Doc), std::nullopt);
    }
}

TEST_F(TPageValidationTest, RotaryMotionChecksAngleThenLever) {
    for (TDriveType type : {cdtPneumaticCircular, cdtNCCircular}) {
        SCOPED_TRACE(testing::Message() << "drive type " << type);
        Doc.Drive.Type = type;
        Doc.Moving.LinearTravel = 0.0;
        Doc.Moving.CircularAngle = 0.0;
        Doc.Moving.CircularLever = 0.0;
        EXPECT_EQ(TPageValidation::CheckMotion(Doc), F("~RotationAngle", "SpinEditDrehwinkel"));
        Doc.Moving.CircularAngle = 1.5;
        EXPECT_EQ(TPageValidation::CheckMotion(Doc), F("~Lever", "SpinEditHebelarmWerkStk"));
        Doc.Moving.CircularLever = 0.25;
        EXPECT_EQ(TPageValidation::CheckMotion(Doc), std::nullopt);
    }
}

TEST_F(TPageValidationTest, AbsorberLeverOnlyForRotaryPneumaticWithAbsorbers) {
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Drive.PneumaticCircular.UseQdr = true;
    EXPECT_EQ(TPageValidation::CheckDrive(Doc, 0.0), F("~ShockAbsorberLever", "SpinEditQdrRadius"));
    EXPECT_EQ(TPageValidation::CheckDrive(Doc, 0.05), std::nullopt);
    Doc.Drive.PneumaticCircular.UseQdr = false;
    EXPECT_EQ(TPageValidation::CheckDrive(Doc, 0.0), std::nullopt);
    // The linear absorber choice does not count for the swivel drive's lever.
    Doc.Drive.Type = cdtPneumaticLinear;
    Doc.Drive.PneumaticLinear.UseQdr = true;
    Doc.Drive.PneumaticCircular.UseQdr = true;
    EXPECT_EQ(TPageValidation::CheckDrive(Doc, 0.0), std::nullopt);
    Doc.Drive.Type = cdtNCCircular;
    EXPECT_EQ(TPageValidation::CheckDrive(Doc, 0.0), std::nullopt);
}

TEST(TPageValidationSelection, FailsWithColumnTitleAndGrid) {
    EXPECT_EQ(TPageValidation::CheckSelection(true, "~OrderCode", cpcTubeGrid), std::nullopt);
    EXPECT_EQ(TPageValidation::CheckSelection(false, "~OrderCode", cpcTubeGrid),
              F("~OrderCode", "StringGridTube"));
}

} // namespace
