#pragma once

#include "core/calc/workpiece.h"
#include "core/data/custom_table.h"
#include "core/util/signal.h"

#include <array>
#include <functional>
#include <string_view>

class TMyProject;
class TStringQuery;

//! Which workpiece inputs a view shows and which it locks; a label follows its field.
struct TWorkpieceFieldState {
    bool LengthXVisible = false;
    bool LengthYVisible = false;
    bool LengthZVisible = false;
    bool OuterDiameterVisible = false;
    bool InnerDiameterVisible = false;
    bool VolumeVisible = false;
    bool VolumeReadOnly = true;
    bool DensityVisible = false;
    bool DensityReadOnly = false;
    //! The material list and its label.
    bool MaterialVisible = false;
    bool MassReadOnly = true;
    //! The button that opens the centre-of-gravity and moment-of-inertia dialog.
    bool MassDialogVisible = false;
    //! The options "~CalculateValue" (mass from the density) and "~KnownValue" (mass
    //! entered), and which of them is checked.
    bool CalculateValueEnabled = true;
    bool KnownValueEnabled = true;
    bool KnownValueChecked = false;

    bool operator==(const TWorkpieceFieldState&) const = default;
};

//! The field state for a shape, the "mass known" choice and whether a material is
//! selected in the density list.
TWorkpieceFieldState WorkpieceFieldState(TWorkpieceShape shape, bool massKnown,
                                         bool materialSelected);

//! The workpiece page without widgets: its inputs, the recalculation chain shape →
//! dimensions → volume → mass or density → moments of inertia, the field state a view
//! shows, and the geometry of the workpiece views. Works on the project document; the
//! density list is a filter of the density query, whose changes it follows as a dependent.
//! Every handler does nothing while the disclaimer is pending or a project is loading.
class TWorkpieceModel : public TTableDependent {
public:
    //! Any number of followers; the application connects its recalculation chain first.
    using TNotifyEvent = TSignal<TWorkpieceModel&>;

    //! Column of the density table that the material list shows and filters.
    static constexpr std::string_view cMaterialColumn = "~Material";

    TWorkpieceModel(TMyProject& document, TStringQuery& densityQuery);
    ~TWorkpieceModel() override;

    TMyProject& Document() const { return FDocument; }
    //! Null once the query has gone.
    TStringQuery* DensityQuery() const { return FDensityQuery; }

    // --- inputs: a value outside its field's limits, not finite or for a field that is
    // --- locked is refused (false, nothing changes); an equal value changes nothing ---
    bool SetShape(TWorkpieceShape shape);
    bool SetLengthX(double value);
    bool SetLengthY(double value);
    bool SetLengthZ(double value);
    bool SetOuterDiameter(double value);
    bool SetInnerDiameter(double value);
    //! Editable for the shape "volume known" only.
    bool SetVolume(double value);
    //! Editable while no material is selected and the mass is not known.
    bool SetDensity(double value);
    //! Editable while the mass is known.
    bool SetMass(double value);
    bool SetFriction(double value);
    //! The "~KnownValue" (true) or "~CalculateValue" (false) option; refused when that
    //! option is disabled for the shape.
    bool SetMassKnown(bool massKnown);
    //! Filters the density list to the material with this "ProjectKey", or removes the
    //! filter ("~UserDefined") for an empty key; false for a key that is not in the table.
    bool SelectMaterial(std::string_view projectKey);

    // --- handlers: recompute from the document's values ---
    //! Shape changed: the options follow the shape, then the dimensions chain runs.
    void WerkStkFormChange();
    //! Dimensions changed: OnSizeChange (views and arrangement), then the volume chain.
    void WerkStkSizeChange();
    //! Volume, then the mass chain.
    void WerkStkVolumenChange();
    //! Mass; with the mass known the density chain follows, else the moments of inertia
    //! and the centre of gravity is reset.
    void WerkStkMasseChange();
    //! Density; without a known mass the mass chain follows, else the moments of inertia
    //! and the centre of gravity is reset.
    void WerkStkDichteChange();
    //! "~CalculateValue": the mass follows from the density.
    void RadioButtonDensityKnown_Click();
    //! "~KnownValue": the density follows from the mass.
    void RadioButtonMassKnown_Click();
    //! The friction coefficient was stored.
    void SpinEditFrictionChange();
    //! The workpiece mass shown on the motion page changed: resets the centre of gravity,
    //! recomputes the moments of inertia, then OnMassChange.
    void PanelMasseWerkstkChange();

    //! After a project was reset or loaded: selects the stored material (or none when its
    //! key is not in the table) and recomputes volume, density, mass and moments of
    //! inertia. The loaded centre of gravity stays. Runs also while the store is busy.
    void ShowDocument();
    //! Entering the page: OnChange, so that the view redraws.
    void Refresh();
    //! Stores what the centre-of-gravity dialog confirmed; with the worst case on, the
    //! moments are recomputed afterwards.
    void StoreMassProperties(bool worstCase, const TVektor& massCenter,
                             const std::array<double, 3>& momentsOfInertia);

    // --- what the views show ---
    TWorkpieceFieldState FieldState() const;
    //! The density query holds exactly one row.
    bool MaterialSelected() const;
    //! Dimensions as stored in the document.
    TWorkpieceSize Size() const;
    //! Largest suction cup diameter the workpiece admits, m.
    double GripSize() const;
    //! Moment of inertia about axis 0, 1 or 2 by the shape's rule (0 for other axes).
    double WorkpieceMomentOfInertia(int axis) const;
    //! The three workpiece views for a group box of the given size in pixels, with the
    //! height of the chosen suction cup type for the margins.
    TWorkpieceViews Views(double groupWidth, double groupHeight) const;

    //! The dimensions changed: the positioning page rescales its views and lays the
    //! suction cups out again.
    TNotifyEvent OnSizeChange;
    //! The workpiece mass changed: the motion page recomputes the moving mass.
    TNotifyEvent OnMassChange;
    //! A moment of inertia changed.
    TNotifyEvent OnMomentOfInertiaChange;
    //! A handler has finished: the view redraws the page from the model.
    TNotifyEvent OnChange;

    //! The density query changed its result: WerkStkDichteChange.
    void SourceChanged(TCustomTable& source, unsigned flags) override;
    void SourceDestroyed(TCustomTable& source) override;

private:
    // Counts nested handlers; the outermost one reports the mass and OnChange.
    class THandlerScope;

    bool Inert() const;
    bool SetLength(double& field, double value);
    void FilterMaterial(int sourceRow);
    void CalcVolume();
    void CalcDensity();
    void CalcMass();
    std::array<double, 3> Moments() const;
    void ApplyMomentRule();
    void CalcMomentsOfInertia();
    void ResetMassCenter();
    void Finish();

    TMyProject& FDocument;
    TStringQuery* FDensityQuery;
    // The mass the motion page was last told about.
    double FShownMass = 0.0;
    int FDepth = 0;
    bool FMassMayHaveChanged = false;
    bool FFiltering = false;
};
