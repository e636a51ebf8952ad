#pragma once

#include "core/calc/cup_loads.h"
#include "core/calc/holding_verdict.h"
#include "core/calc/motion_source.h"
#include "core/calc/sauger_list.h"
#include "core/data/custom_table.h"
#include "core/quantities/term.h"
#include "core/util/translate_func.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TCustomStrTableDB;
class TMyProject;
class TStringQuery;

//! What the suction cup model asks of the pages that show it.
class TSuctionCupView {
public:
    virtual ~TSuctionCupView() = default;
    //! The pages after the current one must be validated again.
    virtual void InvalidateLaterPages() {}
    //! Cups, their flags or their loads changed: redraw the workpiece views, the load
    //! charts and the panels.
    virtual void ArrangementChanged() {}
};

// --- arrangement (positioning page) -----------------------------------------------------

//! The six inputs of the strategy page.
struct TStrategySettings {
    int Strategy = cSaugerDefaultStrategy;
    int Count1 = 1;
    int Count2 = 1;
    //! Start angle, rad.
    double Angle = 0.0;
    //! Distance from the edge and between the cups, m.
    double EdgeDistance = 0.001;
    double Spacing = 0.001;
};

//! Which strategy fields a strategy shows: the caption key of each count field and of the
//! angle field (empty for a hidden field), and the pages.
struct TStrategyFields {
    std::string_view Count1;
    std::string_view Count2;
    std::string_view Angle;
    bool SpacingVisible = true;
    //! The grid page for manual positioning, the distance page for every other strategy.
    bool GridPageVisible = false;
    bool DistancePageVisible = true;
};

// --- load page --------------------------------------------------------------------------

//! One bar of a load chart: it spans X0..X1, is Height (%) high and coloured by Band.
struct TLoadBar {
    double X0 = 0.0;
    double X1 = 0.0;
    double Height = 0.0;
    TCupLoadBand Band = clbOptimal;
    //! A selected cup gets a circle at the foot of its bar.
    bool Selected = false;
};

//! One value of the maximum-value view, drawn as two bars in one colour.
struct TMaxValueBar {
    //! Largest force per cup, N.
    double Force = 0.0;
    double Ratio = 0.0;
    //! clbOptimal (lime) below 1, clbTooHigh (red) from 1 on.
    TCupLoadBand Band = clbOptimal;
    //! How full each bar is, %.
    double Fill1 = 0.0;
    double Fill2 = 0.0;
    //! "> 200%" from 2 on, else the rounded percentage and "%".
    std::string Text;
};

//! The maximum-value view of the load page.
struct TMaxValues {
    TMaxValueBar Normal;
    TMaxValueBar Transverse;
};

//! The largest load ratios of every cup over a whole motion, and their instants (the first
//! where a ratio repeats): what the holding verdict judges.
using TCupLoadPeaks = TLoadRatioPeaks;

//! The "forces and position" group: data of the first selected cup.
struct TCupForcesAndPosition {
    //! Shown while any cup is selected.
    bool Visible = false;
    //! Index + 1.
    int Number = 0;
    TVektor Pos;
    //! The force along the cup's axial direction and its part perpendicular to it, N.
    double NormalForce = 0.0;
    double TransverseForce = 0.0;
    //! "> 300 %" above 3, else the rounded percentage and " %".
    std::string NormalRatio;
    std::string TransverseRatio;
};

// --- mouse interaction in the workpiece views -------------------------------------------

//! The three workpiece views. Their horizontal and vertical axes are the workpiece axes
//! X and Y, X and Z, Y and Z; positions handed to the model are workpiece coordinates (m)
//! along these axes.
enum TCupViewPlane : uint8_t { cvpXY, cvpXZ, cvpYZ };

//! Keys held during a mouse action.
enum TCupKeys : unsigned { ckNone = 0, ckShift = 1, ckCtrl = 2, ckAlt = 4 };

//! A point of a view, in the workpiece coordinates (m) along its horizontal and vertical axis.
struct TViewPoint {
    double U = 0.0;
    double V = 0.0;
};

//! How a cup looks in a view: its body (the lip, seen at its angle, narrowing along the
//! axial direction to where the holder sits), the holder beyond it, and the lip itself as a
//! closed line of twelve segments. The body and holder are convex outlines; together they
//! stand the cup's height on the face, the body taking cBodyShare of it.
struct TCupFigure {
    static constexpr double cBodyShare = 0.65;
    std::vector<TViewPoint> Body;
    std::vector<TViewPoint> Holder;
    std::vector<TViewPoint> Lip;
    //! The holder points towards the viewer and is drawn over the body; otherwise the body
    //! hides the holder's foot and is drawn last.
    bool HolderInFront = false;
};

//! Mouse cursor over the workpiece views.
enum TCupCursor : uint8_t {
    ccrDefault, //!< no cup under the mouse
    ccrMove,    //!< dragging moves the selected cups
    ccrRotate,  //!< dragging turns the focused cup about its axis (Ctrl)
    ccrTilt,    //!< dragging tilts the focused cup (Alt; workpieces without geometry)
    ccrNoMove,  //!< the cup cannot be moved (a strategy places it, or it cannot tilt)
};

//! The suction cup arrangement as the positioning, suction cup and load pages work it:
//! every handler of these pages, the computed "~ok" column of the cup table and the data
//! the pages draw. Reads and writes the project document; the pages forward input and
//! redraw from here. The API below is sectioned by the page it serves, and so are the
//! sources: suction_cup_model.cpp (set-up and the positioning page), suction_cup_choice.cpp
//! (the suction cup page and "~ok"), suction_cup_load_page.cpp and suction_cup_views.cpp
//! (the mouse in the workpiece views).
class TSuctionCupModel {
public:
    //! Range of the time slider of the load page.
    static constexpr int cSliderMax = 1000;
    //! Slider steps per tick of the player.
    static constexpr int cPlayerStep = 40;

    explicit TSuctionCupModel(TMyProject& doc);
    ~TSuctionCupModel();
    TSuctionCupModel(const TSuctionCupModel&) = delete;
    TSuctionCupModel& operator=(const TSuctionCupModel&) = delete;

    TMyProject& Doc() const { return FDoc; }
    //! The arrangement (the document's "SuctionCups").
    TSaugerList& Cups() const;
    //! The one link to the application (not owned; null for none). TVacuumApplication
    //! sets it and passes what it is told on to any number of views as change notices;
    //! a window follows the application, never sets this.
    void SetView(TSuctionCupView* view) { FView = view; }
    //! Binds the stored cup table, whose "~ok" column becomes the computed suitability,
    //! and the query over it that the cup grid shows (neither owned; null unbinds). The
    //! query must stay alive while bound.
    void SetCupTables(TCustomStrTableDB* table, TStringQuery* query);
    //! The motion curves the load page replays (not owned); null for a motion at rest.
    void SetMotionSource(const TMotionSource* source) { FMotion = source; }
    //! Translates language keys for the record label; handed in by the owner of the language
    //! (unset: the keys as they are).
    TTranslateFunc Translate;

    //! True while the handlers must do nothing: the disclaimer is pending or a project
    //! is being reset or loaded.
    bool Inert() const;

    // --- arrangement: positioning page --------------------------------------------------

    //! Strategy list, count fields, angle and both distances changed: invalidates the
    //! later pages, stores the settings, unlocks the grid for every strategy but manual,
    //! re-reads the chosen cup row, re-lays out the arrangement and recomputes the cups'
    //! inertia and the vacuum volume.
    void StrategieChange(const TStrategySettings& settings);
    //! The settings as the fields show them.
    TStrategySettings StrategySettings() const;
    //! The fields and pages a strategy shows.
    static TStrategyFields StrategyFields(int strategy);
    //! Grid radio buttons and fields changed: stores grid type, length and angle.
    void GridChange(TSaugerGrid type, double length, double angle);
    //! The grid length field shows for cartesian and polar, the angle field for polar.
    bool GridLengthVisible() const { return Cups().GridType() != csgNone; }
    bool GridAngleVisible() const { return Cups().GridType() == csgPolar; }
    //! Re-lays out the arrangement on the workpiece of the document, for the workpiece
    //! page after a change of shape or size.
    void Relayout();
    //! After a project was reset or loaded, and on entering a page of the arrangement:
    //! takes the document's inputs and the data of the cup the document names (when the
    //! cup table has it), checks the cups where they are for collisions and recomputes the
    //! loads, without moving a cup. Runs also while the store is busy.
    void Refresh();
    //! The panel "~EquationsNotSolvable" shows.
    bool EquationsNotSolvable() const { return !Cups().Solvable(); }
    //! The label "~Collision..." shows.
    bool CollisionShown() const { return Cups().AnyMisplaced(); }
    //! Fill colour of cup i in the workpiece views: grey when misplaced, else the band of
    //! the larger of its ratios.
    TCupLoadBand CupBand(int i) const;

    // --- product choice: suction cup page -----------------------------------------------

    //! Entering the page: takes the workpiece, refreshes the "~ok" column and chooses the
    //! grid's current row.
    void EnterSuctionCupPage(int currentRow);
    //! Choosing row `row` of the cup query: copies order code, holder size and thread,
    //! loads the cup data, re-lays out the arrangement and notes whether the row suits.
    //! Rows outside the query are ignored.
    void SaugerSelect(int row);
    //! A filter list of the page changed: invalidates the later pages. The page then
    //! highlights the help labels HighlightedHelpLabels() names.
    void SaugerSelectionChange();
    //! The help labels of the page that belong to the stored filter values: for each filter
    //! with a value, the text its list shows for it ("~bellows 1.5", "female"), and for each
    //! option that is set, its column ("~Filter"). In the order of SuctionCupFilters().
    std::vector<std::string> HighlightedHelpLabels() const;
    //! Largest cup diameter shown on the page: the smaller of what the strategy admits and
    //! what the workpiece admits, m.
    double MaxCupDiameter() const;
    //! "~LabelRecords" + " - %d " + "~SuitableForWorkpiece", translated, filled with the
    //! rows of the query, the rows of the table and the suitable rows of the query.
    std::string LabelSaugerCount() const;
    //! Order code of the chosen cup.
    const std::string& LabelSelectedSuctionCup() const { return FSelectedOrderCode; }
    //! Query row last chosen; −1 for none.
    int SelectedRow() const { return FSelectedRow; }
    //! "HolderSize" and "Thread" of the chosen row.
    const std::string& SelectedHolderSize() const { return FHolderSize; }
    const std::string& SelectedThread() const { return FThread; }
    //! Whether the chosen row's "~ok" read "~Yes".
    bool SelectedSuitable() const { return FSelectedSuitable; }
    //! Internal volume of all cups, m³.
    double TotalCupVolume() const { return Cups().TotalVolume(); }

    // --- "~ok": the computed suitability column of the cup table ------------------------

    //! OnChangeField handler of the cup table: the "~ok" cell reads "~Yes" or "~No".
    void TableSuctionCupsChangeField(const TCustomTable& sender, int row, int col,
                                     TTerm& field) const;
    //! Tells the cup table's dependents that "~ok" changed, when its inputs did.
    void RefreshSuitability();
    //! Whether the cup of table row `row` suits the arrangement.
    bool RowSuitable(int row) const;

    // --- load page ----------------------------------------------------------------------

    //! X range of the load charts: the number of cups.
    int ChartXRange() const;
    //! Time slider moved to `position` (0..1000): evaluates the motion at that time and
    //! recomputes the loads.
    void RxSliderVCRChange(int position);
    int SliderPosition() const { return FSliderPosition; }
    //! Time of the slider position, s.
    double SliderTime() const;
    //! Player buttons and the player's timer tick. Rewind and forward stop the player and
    //! move the slider to its start or end.
    void PlayerPlay();
    void PlayerPause();
    void PlayerStop();
    void PlayerRewind();
    void PlayerForward();
    void PlayerTick();
    //! The player's timer runs.
    bool Playing() const { return FPlaying; }
    //! Play can be pressed: the player stands and the slider is below its end.
    bool PlayEnabled() const { return !FPlaying && FSliderPosition < cSliderMax; }
    bool SliderEnabled() const { return FSliderEnabled; }
    //! The tab "~TimeCurve" can be chosen when the larger of the achieved and the target
    //! vacuum is not 0.
    static bool TimeCurveTabEnabled(double achievedVacuum, double targetVacuum);
    //! Bars of the normal force chart (transverse = false) or the transverse force chart.
    std::vector<TLoadBar> LoadBars(bool transverse) const;
    //! Largest normal and transverse ratio of every cup over the motion: the loads at every
    //! slider step and at the times `extraTimes` (s; those outside the motion are left
    //! out), after which the slider's own instant is computed again.
    TCupLoadPeaks LoadPeaks(const std::vector<double>& extraTimes);
    //! Recomputes the maximum-value view from the largest vertical force fz (N).
    void RefreshMaxValues(double fz);
    const TMaxValues& MaxValues() const { return FMaxValues; }
    //! The "forces and position" group.
    TCupForcesAndPosition ForcesAndPosition() const;

    // --- mouse interaction in the workpiece views ---------------------------------------

    //! Cup i as the view draws it (empty outlines for an index out of range). An oval cup
    //! shows its long radius along radial direction 1.
    TCupFigure CupFigure(TCupViewPlane view, int i) const;
    //! Index of the cup under the point (u, v) of a view, the last one when several are;
    //! −1 for none. A cup covers its lip circle of half the clearance diameter, tilted by
    //! its axial direction and drawn out along it by the cup height.
    int HitTest(TCupViewPlane view, double u, double v) const;
    //! The cursor over the point (u, v) with `keys` held.
    TCupCursor CursorAt(TCupViewPlane view, double u, double v, unsigned keys) const;
    //! Mouse pressed (manual positioning only): focuses and selects the cup under the
    //! mouse (toggles it with Shift), or deselects all beside the cups without Shift.
    void MouseDown(TCupViewPlane view, double u, double v, unsigned keys);
    //! Mouse moved with the button down on a cup: moves the selected cups, turns the
    //! focused cup about its axis (Ctrl) or tilts it (Alt), then recomputes the loads.
    void MouseMove(TCupViewPlane view, double u, double v, unsigned keys);
    void MouseUp() { FDragging = false; }
    bool Dragging() const { return FDragging; }

private:
    class TTableWatch : public TTableDependent {
    public:
        explicit TTableWatch(TSuctionCupModel& model) : FModel(model) {}
        void SourceChanged(TCustomTable& source, unsigned flags) override;
        void SourceDestroyed(TCustomTable& source) override;

    private:
        TSuctionCupModel& FModel;
    };

    void SyncInputs();
    TCupWorkpiece DocumentWorkpiece() const;
    void ApplyCupRow(int row);
    void Notify();
    TCupSuitability CurrentSuitability() const;
    void EnsureSuitability() const;
    void EvaluateTime();
    void EvaluateAt(double t);
    double MouseAngle(TCupViewPlane view, double u, double v, int cup) const;

    TMyProject& FDoc;
    TSuctionCupView* FView = nullptr;
    const TMotionSource* FMotion = nullptr;
    TCustomStrTableDB* FTable = nullptr;
    TStringQuery* FQuery = nullptr;
    TTableWatch FWatch{*this};

    // Product choice.
    int FSelectedRow = -1;
    std::string FSelectedOrderCode;
    std::string FHolderSize;
    std::string FThread;
    bool FSelectedSuitable = false;

    // "~ok" of every table row for the inputs in FOkInput.
    mutable std::vector<uint8_t> FOk;
    mutable TCupSuitability FOkInput;
    mutable bool FOkValid = false;
    int FOkCol = -1;
    bool FNotifyingTable = false;

    // Load page.
    int FSliderPosition = 0;
    bool FPlaying = false;
    bool FSliderEnabled = true;
    TMaxValues FMaxValues;

    // Mouse interaction.
    bool FDragging = false;
    TCupViewPlane FDragView = cvpXY;
    double FLastAngle = 0.0;
};
