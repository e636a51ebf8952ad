#include "../quantities/project_test_support.h"
#include "core/document/project_view.h"
#include "core/workflow/mass_dialog_model.h"
#include "core/workflow/workpiece_model.h"
#include "workflow_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

class WorkpieceModelTest : public ::testing::Test, public TWorkflowFixture {
protected:
    TWorkpieceModel Model{Doc, DensityQuery};
    TMyProject::TWorkpiece& W = Doc.Workpiece;
    std::vector<std::string> Events;
    std::vector<TConnection> Follow;

    void SetUp() override {
        Follow.push_back(Model.OnSizeChange.Connect([this](TWorkpieceModel&) { Events.push_back("size"); }));
        Follow.push_back(Model.OnMassChange.Connect([this](TWorkpieceModel&) { Events.push_back("mass"); }));
        Follow.push_back(Model.OnMomentOfInertiaChange.Connect([this](TWorkpieceModel&) { Events.push_back("inertia"); }));
        Follow.push_back(Model.OnChange.Connect([this](TWorkpieceModel&) { Events.push_back("change"); }));
    }

    // Bar 0.3 × 0.1 × 0.02 m of the default density 7800 kg/m³: V = 6e-4 m³, m = 4.68 kg.
    void MakeBar() {
        ASSERT_TRUE(Model.SetShape(cwsBar));
        ASSERT_TRUE(Model.SetLengthX(0.3));
        ASSERT_TRUE(Model.SetLengthY(0.1));
        ASSERT_TRUE(Model.SetLengthZ(0.02));
    }

    int Count(const std::string& event) const {
        return static_cast<int>(std::count(Events.begin(), Events.end(), event));
    }
};

TEST_F(WorkpieceModelTest, SphereOfSteelRunsTheWholeChain) {
    ASSERT_TRUE(Model.SetShape(cwsGlobe));
    ASSERT_TRUE(Model.SetOuterDiameter(0.1));
    // V = 4π·0.05³/3 = 5.235988e-4 m³, m = 7800·V = 4.084070 kg,
    // J = 2/5·m·0.05² = 4.084070e-3 kg m².
    EXPECT_NEAR(W.Volume, 5.235988e-4, 1e-10);
    EXPECT_NEAR(W.Mass, 4.084070, 1e-6);
    EXPECT_NEAR(W.MomentOfInertiaX, 4.084070e-3, 1e-9);
    EXPECT_NEAR(W.MomentOfInertiaY, 4.084070e-3, 1e-9);
    EXPECT_NEAR(W.MomentOfInertiaZ, 4.084070e-3, 1e-9);
    EXPECT_DOUBLE_EQ(Model.GripSize(), 0.1);
}

TEST_F(WorkpieceModelTest, BarAndItsGripSize) {
    MakeBar();
    EXPECT_NEAR(W.Volume, 6e-4, 1e-18);
    EXPECT_NEAR(W.Mass, 4.68, 1e-12);
    // Jz = 4.68·(0.3² + 0.1²)/12 = 0.039 kg m².
    EXPECT_NEAR(W.MomentOfInertiaZ, 0.039, 1e-12);
    EXPECT_DOUBLE_EQ(Model.GripSize(), 0.1);
    // Changing the density recomputes the mass: 1000·6e-4 = 0.6 kg.
    ASSERT_TRUE(Model.SetDensity(1000.0));
    EXPECT_NEAR(W.Mass, 0.6, 1e-12);
    EXPECT_NEAR(W.MomentOfInertiaZ, 0.6 * 0.1 / 12.0, 1e-12);
}

TEST_F(WorkpieceModelTest, MaterialSetsTheUpperDensityAndUserDefinedUnlocksIt) {
    MakeBar();
    ASSERT_TRUE(Model.SelectMaterial("Aluminium"));
    EXPECT_TRUE(Model.MaterialSelected());
    EXPECT_EQ(W.Density, 2800.0);
    EXPECT_EQ(W.Material, "Aluminium");
    // 2800·6e-4 = 1.68 kg.
    EXPECT_NEAR(W.Mass, 1.68, 1e-12);
    EXPECT_TRUE(Model.FieldState().DensityReadOnly);
    EXPECT_FALSE(Model.SetDensity(1000.0));
    EXPECT_EQ(W.Density, 2800.0);

    ASSERT_TRUE(Model.SelectMaterial(""));
    EXPECT_FALSE(Model.MaterialSelected());
    EXPECT_EQ(W.Material, "");
    EXPECT_FALSE(Model.FieldState().DensityReadOnly);
    // The density shown stays as the entered value.
    EXPECT_EQ(W.Density, 2800.0);
    EXPECT_TRUE(Model.SetDensity(1000.0));
    EXPECT_NEAR(W.Mass, 0.6, 1e-12);
}

TEST_F(WorkpieceModelTest, UnknownMaterialKeyIsRefusedAndChangesNothing) {
    MakeBar();
    ASSERT_TRUE(Model.SelectMaterial("Steel"));
    EXPECT_FALSE(Model.SelectMaterial("Unobtainium"));
    EXPECT_EQ(W.Material, "Steel");
    EXPECT_EQ(W.Density, 7870.0);
}

TEST_F(WorkpieceModelTest, FilterSetByAnotherControlRunsTheDensityChain) {
    // What the material list does when the user picks an entry.
    MakeBar();
    TTerm glass;
    TermFromText(glass, "~Glass");
    DensityQuery.FilterCategory(TWorkpieceModel::cMaterialColumn, glass, cCompEqual);
    DensityQuery.Changed(cChangeFilter);
    EXPECT_EQ(W.Material, "Glass");
    EXPECT_EQ(W.Density, 2600.0);
    // 2600·6e-4 = 1.56 kg.
    EXPECT_NEAR(W.Mass, 1.56, 1e-12);
}

TEST_F(WorkpieceModelTest, KnownMassDerivesTheDensityAndZeroVolumeGivesZero) {
    MakeBar();
    ASSERT_TRUE(Model.SetMassKnown(true));
    EXPECT_TRUE(W.MassKnown);
    EXPECT_TRUE(Model.FieldState().DensityReadOnly);
    EXPECT_FALSE(Model.FieldState().MassReadOnly);
    EXPECT_FALSE(Model.FieldState().MaterialVisible);
    ASSERT_TRUE(Model.SetMass(3.0));
    // 3 kg / 6e-4 m³ = 5000 kg/m³.
    EXPECT_NEAR(W.Density, 5000.0, 1e-9);
    // A known mass wins over a material: the key is cleared.
    ASSERT_TRUE(Model.SelectMaterial("Steel"));
    EXPECT_NEAR(W.Density, 5000.0, 1e-9);
    EXPECT_EQ(W.Material, "");
    ASSERT_TRUE(Model.SetLengthZ(0.0));
    EXPECT_EQ(W.Volume, 0.0);
    EXPECT_EQ(W.Density, 0.0);
    EXPECT_EQ(W.Mass, 3.0);
    // Back to the computed mass: ρ·V with the density field's value.
    ASSERT_TRUE(Model.SelectMaterial(""));
    ASSERT_TRUE(Model.SetMassKnown(false));
    EXPECT_EQ(W.Mass, 0.0);
    EXPECT_FALSE(Model.SetMass(1.0));
}

TEST_F(WorkpieceModelTest, OptionsFollowTheShape) {
    ASSERT_TRUE(Model.SetShape(cwsMassKnown));
    EXPECT_TRUE(W.MassKnown);
    EXPECT_FALSE(Model.FieldState().CalculateValueEnabled);
    EXPECT_FALSE(Model.SetMassKnown(false));
    ASSERT_TRUE(Model.SetShape(cwsVolumeKnown));
    EXPECT_FALSE(W.MassKnown);
    EXPECT_FALSE(Model.FieldState().KnownValueEnabled);
    EXPECT_FALSE(Model.SetMassKnown(true));
    // The other shapes keep the choice.
    ASSERT_TRUE(Model.SetShape(cwsCylinderZ));
    EXPECT_FALSE(W.MassKnown);
    ASSERT_TRUE(Model.SetMassKnown(true));
    ASSERT_TRUE(Model.SetShape(cwsGlobe));
    EXPECT_TRUE(W.MassKnown);
}

TEST_F(WorkpieceModelTest, VolumeKnownTakesTheEnteredVolume) {
    ASSERT_TRUE(Model.SetShape(cwsVolumeKnown));
    ASSERT_TRUE(Model.SetLengthX(0.5));
    ASSERT_TRUE(Model.SetVolume(0.002));
    // Not the envelope: 7800·0.002 = 15.6 kg; worst case Jz = 15.6·0.5² = 3.9 kg m².
    EXPECT_EQ(W.Volume, 0.002);
    EXPECT_NEAR(W.Mass, 15.6, 1e-12);
    EXPECT_NEAR(W.MomentOfInertiaZ, 3.9, 1e-12);
    // Other shapes compute the volume and lock the field.
    ASSERT_TRUE(Model.SetShape(cwsBar));
    EXPECT_EQ(W.Volume, 0.0);
    EXPECT_FALSE(Model.SetVolume(0.002));
}

TEST_F(WorkpieceModelTest, EnteredMomentsStandWithoutWorstCaseUntilTheShapeHasGeometry) {
    ASSERT_TRUE(Model.SetShape(cwsMassKnown));
    ASSERT_TRUE(Model.SetLengthX(0.4));
    ASSERT_TRUE(Model.SetLengthY(0.3));
    ASSERT_TRUE(Model.SetLengthZ(0.2));
    ASSERT_TRUE(Model.SetMass(2.0));
    // Worst case: Jz = 2·(0.4² + 0.3²) = 0.5.
    EXPECT_NEAR(W.MomentOfInertiaZ, 0.5, 1e-12);

    TMassDialogModel dialog(Model);
    dialog.ChkBoxTrMoWorstCaseClick(false);
    ASSERT_TRUE(dialog.SetMomentOfInertia(0, 0.01));
    ASSERT_TRUE(dialog.SetMomentOfInertia(1, 0.02));
    ASSERT_TRUE(dialog.SetMomentOfInertia(2, 0.03));
    dialog.Ok();
    EXPECT_FALSE(W.WorstCase);
    EXPECT_EQ(W.MomentOfInertiaZ, 0.03);
    // A new mass keeps them too.
    ASSERT_TRUE(Model.SetMass(4.0));
    EXPECT_EQ(W.MomentOfInertiaX, 0.01);
    EXPECT_EQ(W.MomentOfInertiaY, 0.02);
    EXPECT_EQ(W.MomentOfInertiaZ, 0.03);
    // The bar computes them: 4·(0.16 + 0.09)/12.
    ASSERT_TRUE(Model.SetShape(cwsBar));
    ASSERT_TRUE(Model.SetMassKnown(true));
    ASSERT_TRUE(Model.SetMass(4.0));
    EXPECT_NEAR(W.MomentOfInertiaZ, 4.0 * 0.25 / 12.0, 1e-12);
}

TEST_F(WorkpieceModelTest, MassOrDensityChangesResetTheCentreOfGravity) {
    ASSERT_TRUE(Model.SetShape(cwsVolumeKnown));
    ASSERT_TRUE(Model.SetVolume(0.001));
    auto placeCentre = [&] {
        TMassDialogModel dialog(Model);
        dialog.ChkBoxTrMoWorstCaseClick(false);
        ASSERT_TRUE(dialog.SetMassCenter(0, 0.05));
        ASSERT_TRUE(dialog.SetMassCenter(2, -0.01));
        dialog.Ok();
        ASSERT_EQ(W.MassCenter, TVektor(0.05, 0, -0.01));
    };
    placeCentre();
    ASSERT_TRUE(Model.SetDensity(2000.0));
    EXPECT_EQ(W.MassCenter, VektorZero);

    placeCentre();
    ASSERT_TRUE(Model.SelectMaterial("Glass"));
    EXPECT_EQ(W.MassCenter, VektorZero);
    ASSERT_TRUE(Model.SelectMaterial(""));

    placeCentre();
    ASSERT_TRUE(Model.SetVolume(0.002));
    EXPECT_EQ(W.MassCenter, VektorZero);

    // A density change that leaves the mass as it is (volume 0) resets it too.
    ASSERT_TRUE(Model.SetVolume(0.0));
    placeCentre();
    ASSERT_TRUE(Model.SetDensity(3000.0));
    EXPECT_EQ(W.MassCenter, VektorZero);

    // With a known mass the envelope runs the density step, which resets it as well.
    ASSERT_TRUE(Model.SetShape(cwsMassKnown));
    placeCentre();
    ASSERT_TRUE(Model.SetLengthX(0.2));
    EXPECT_EQ(W.MassCenter, VektorZero);

    // The friction has nothing to do with it.
    placeCentre();
    ASSERT_TRUE(Model.SetFriction(0.8));
    EXPECT_EQ(W.MassCenter, TVektor(0.05, 0, -0.01));
    EXPECT_EQ(Doc.Friction, 0.8);
}

TEST_F(WorkpieceModelTest, EqualValueRunsNothingAndRefusedValueChangesNothing) {
    MakeBar();
    Events.clear();
    EXPECT_TRUE(Model.SetLengthX(0.3));
    EXPECT_TRUE(Model.SetShape(cwsBar));
    EXPECT_TRUE(Events.empty());

    const double mass = W.Mass;
    for (double bad : {-0.001, 10.001, nan, inf}) {
        SCOPED_TRACE(testing::Message() << "value " << bad);
        EXPECT_FALSE(Model.SetLengthX(bad));
        EXPECT_FALSE(Model.SetOuterDiameter(bad));
        EXPECT_FALSE(Model.SetDensity(bad * 3000.0));
        EXPECT_FALSE(Model.SetFriction(bad / 5.0));
    }
    EXPECT_FALSE(Model.SetDensity(30000.5));
    EXPECT_FALSE(Model.SetFriction(2.01));
    EXPECT_FALSE(Model.SetShape(TWorkpieceShape(10)));
    EXPECT_EQ(W.LengthX, 0.3);
    EXPECT_EQ(W.Mass, mass);
    EXPECT_EQ(W.Shape, cwsBar);
    EXPECT_TRUE(Events.empty());
    // The limits themselves are allowed.
    EXPECT_TRUE(Model.SetLengthX(10.0));
    EXPECT_TRUE(Model.SetFriction(2.0));
    EXPECT_TRUE(Model.SetDensity(30000.0));
}

TEST_F(WorkpieceModelTest, NothingHappensWhileTheDisclaimerIsPending) {
    MakeBar();
    Doc.DisclaimerPending = true;
    Events.clear();
    EXPECT_FALSE(Model.SetLengthX(0.5));
    EXPECT_FALSE(Model.SelectMaterial("Steel"));
    Model.WerkStkFormChange();
    Model.WerkStkDichteChange();
    Model.PanelMasseWerkstkChange();
    W.Density = 1000.0; // as if a field had changed it
    Model.WerkStkMasseChange();
    EXPECT_EQ(W.LengthX, 0.3);
    EXPECT_NEAR(W.Mass, 4.68, 1e-12);
    EXPECT_TRUE(Events.empty());
    Doc.DisclaimerPending = false;
    Model.WerkStkMasseChange();
    EXPECT_NEAR(W.Mass, 0.6, 1e-12);
}

TEST_F(WorkpieceModelTest, EventsOfADimensionChange) {
    MakeBar();
    Events.clear();
    ASSERT_TRUE(Model.SetLengthX(0.6));
    // The views and the arrangement first, the mass doubles (motion page), the moments
    // follow, and the view redraws once at the end.
    ASSERT_FALSE(Events.empty());
    EXPECT_EQ(Events.front(), "size");
    EXPECT_EQ(Events.back(), "change");
    EXPECT_EQ(Count("size"), 1);
    EXPECT_EQ(Count("mass"), 1);
    EXPECT_GE(Count("inertia"), 1);
    EXPECT_EQ(Count("change"), 1);
    EXPECT_NEAR(W.Mass, 9.36, 1e-12);

    // A change that keeps the mass: no mass event.
    Events.clear();
    ASSERT_TRUE(Model.SetOuterDiameter(0.05));
    EXPECT_EQ(Count("size"), 1);
    EXPECT_EQ(Count("mass"), 0);
    EXPECT_EQ(Count("change"), 1);
}

TEST_F(WorkpieceModelTest, FieldStatePerShape) {
    struct TRow {
        TWorkpieceShape Shape;
        const char* Visible; // X Y Z D Di V ρ
    };
    const TRow rows[] = {
        {cwsMassKnown, "XYZ----"}, {cwsVolumeKnown, "XYZ--Vr"}, {cwsBar, "XYZ--Vr"},
        {cwsCylinderX, "X--D-Vr"}, {cwsCylinderY, "-Y-D-Vr"},   {cwsCylinderZ, "--ZD-Vr"},
        {cwsGlobe, "---D-Vr"},     {cwsPipeX, "X--DiVr"},       {cwsPipeY, "-Y-DiVr"},
        {cwsPipeZ, "--ZDiVr"},
    };
    for (const TRow& r : rows) {
        const TWorkpieceFieldState s = WorkpieceFieldState(r.Shape, false, false);
        const std::string v = r.Visible;
        SCOPED_TRACE(int(r.Shape));
        EXPECT_EQ(s.LengthXVisible, v[0] != '-');
        EXPECT_EQ(s.LengthYVisible, v[1] != '-');
        EXPECT_EQ(s.LengthZVisible, v[2] != '-');
        EXPECT_EQ(s.OuterDiameterVisible, v[3] != '-');
        EXPECT_EQ(s.InnerDiameterVisible, v[4] != '-');
        EXPECT_EQ(s.VolumeVisible, v[5] != '-');
        EXPECT_EQ(s.DensityVisible, v[6] != '-');
        EXPECT_EQ(s.VolumeReadOnly, r.Shape != cwsVolumeKnown);
        EXPECT_EQ(s.MassDialogVisible, r.Shape <= cwsVolumeKnown);
        EXPECT_EQ(s.CalculateValueEnabled, r.Shape != cwsMassKnown);
        EXPECT_EQ(s.KnownValueEnabled, r.Shape != cwsVolumeKnown);
    }
    // The material list and the mass field go with the mass choice; the density field is
    // locked by a known mass or a selected material.
    const TWorkpieceFieldState computed = WorkpieceFieldState(cwsBar, false, false);
    EXPECT_TRUE(computed.MaterialVisible);
    EXPECT_TRUE(computed.MassReadOnly);
    EXPECT_FALSE(computed.DensityReadOnly);
    EXPECT_FALSE(computed.KnownValueChecked);
    EXPECT_TRUE(WorkpieceFieldState(cwsBar, false, true).DensityReadOnly);
    const TWorkpieceFieldState known = WorkpieceFieldState(cwsBar, true, false);
    EXPECT_FALSE(known.MaterialVisible);
    EXPECT_FALSE(known.MassReadOnly);
    EXPECT_TRUE(known.DensityReadOnly);
    EXPECT_TRUE(known.KnownValueChecked);
}

TEST_F(WorkpieceModelTest, ShowDocumentLooksTheMaterialUpAndKeepsTheCentreOfGravity) {
    // As a loaded file leaves the document.
    W.Shape = cwsVolumeKnown;
    W.Volume = 0.001;
    W.Material = "Aluminium";
    W.Density = 1234.0;
    W.MassCenter = TVektor(0.1, 0.2, 0.3);
    W.WorstCase = false;
    W.MomentOfInertiaZ = 0.7;
    W.LengthX = 0.2;
    Model.ShowDocument();
    EXPECT_TRUE(Model.MaterialSelected());
    EXPECT_EQ(W.Material, "Aluminium");
    EXPECT_EQ(W.Density, 2800.0);
    EXPECT_NEAR(W.Mass, 2.8, 1e-12);
    EXPECT_EQ(W.MassCenter, TVektor(0.1, 0.2, 0.3));
    EXPECT_EQ(W.MomentOfInertiaZ, 0.7);
    EXPECT_EQ(Count("change"), 1);

    // A key the table does not hold: no material, the stored density stands.
    W.Material = "Gone";
    W.Density = 1500.0;
    Model.ShowDocument();
    EXPECT_FALSE(Model.MaterialSelected());
    EXPECT_EQ(W.Material, "");
    EXPECT_EQ(W.Density, 1500.0);
    EXPECT_NEAR(W.Mass, 1.5, 1e-12);
    EXPECT_EQ(W.MassCenter, TVektor(0.1, 0.2, 0.3));
}

// Shows the workpiece section as the main window does: through the model.
class TShowingView : public TProjectView {
public:
    explicit TShowingView(TWorkpieceModel& model) : FModel(model) {}
    bool BusyWhenShown = false;

    void ShowProjectName(TMyProject&, const std::string&) override {}
    void ShowSection(TMyProject& d, const std::string& section) override {
        if (section != "Workpiece") return;
        BusyWhenShown = d.Project().Busy();
        FModel.ShowDocument();
    }
    void ShowDerivedInertia(TMyProject&) override {}
    void ShowProgress(TMyProject&, int) override {}

private:
    TWorkpieceModel& FModel;
};

TEST_F(WorkpieceModelTest, LoadingAFileSelectsItsMaterialAndKeepsItsCentreOfGravity) {
    MakeBar();
    W.Material = "Steel";
    W.MassCenter = TVektor(0, 0, 0.01);
    W.Density = 1234.0;
    TTempDir dir;
    const std::string file = dir.File("steel.vac");
    ASSERT_TRUE(Doc.Project().SaveToFile(file).Ok());

    TShowingView view(Model);
    Doc.SetView(&view);
    Doc.Project().New();
    EXPECT_EQ(W.Material, "");
    ASSERT_TRUE(Doc.Project().LoadFromFile(file).Ok());
    EXPECT_TRUE(view.BusyWhenShown);
    EXPECT_TRUE(Model.MaterialSelected());
    EXPECT_EQ(W.Material, "Steel");
    EXPECT_EQ(W.Density, 7870.0);
    // 7870·6e-4 = 4.722 kg.
    EXPECT_NEAR(W.Mass, 4.722, 1e-12);
    EXPECT_EQ(W.MassCenter, TVektor(0, 0, 0.01));
    Doc.SetView(nullptr);
}

TEST_F(WorkpieceModelTest, ShowDocumentMakesTheMassChoiceFitTheShape) {
    W.Shape = cwsMassKnown;
    W.MassKnown = false;
    W.Mass = 2.0;
    Model.ShowDocument();
    EXPECT_TRUE(W.MassKnown);
    EXPECT_EQ(W.Mass, 2.0);
    EXPECT_FALSE(Model.FieldState().MassReadOnly);
}

TEST_F(WorkpieceModelTest, ViewsUseTheCupHeightAndTheCentreOfGravity) {
    MakeBar();
    Doc.SuctionCups.CupType.Height = 0.02;
    W.MassCenter = TVektor(0.01, 0, 0);
    const TWorkpieceViews v = Model.Views(600, 400);
    // Margin max(0.03, 0.01) + 1.2·0.02 = 0.054.
    EXPECT_NEAR(v.MarginH, 0.054, 1e-15);
    EXPECT_DOUBLE_EQ(v.XY.Outline.CenterH, 0.01);
    EXPECT_DOUBLE_EQ(v.XY.Outline.Width, 0.3);
}

TEST_F(WorkpieceModelTest, ForgetsTheQueryWhenItGoesFirst) {
    auto query = std::make_unique<TStringQuery>();
    query->Loaded();
    query->SetTable(&Densities);
    TWorkpieceModel model(Doc, *query);
    query.reset();
    EXPECT_EQ(model.DensityQuery(), nullptr);
    EXPECT_FALSE(model.MaterialSelected());
    EXPECT_FALSE(model.SelectMaterial("Steel"));
    EXPECT_TRUE(model.SetShape(cwsGlobe));
    EXPECT_TRUE(model.SetOuterDiameter(0.1));
    EXPECT_NEAR(W.Mass, 4.084070, 1e-6);
    model.ShowDocument();
}

} // namespace
