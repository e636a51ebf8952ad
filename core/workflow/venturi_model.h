#pragma once

#include "core/calc/evacuation.h"
#include "core/calc/site_evacuation.h"
#include "core/calc/venturi.h"
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
class TTubeModel;

//! What the vacuum generator model asks of the page and the chart window.
class TVenturiView {
public:
    virtual ~TVenturiView() = default;
    //! The pages after the current one must be validated again.
    virtual void InvalidateLaterPages() {}
    //! The computed columns changed: redraw the grid.
    virtual void GridChanged() {}
    //! The operating values changed: redraw the chart window and its panels.
    virtual void OperatingValuesChanged() {}
    //! "~Diagram": show the chart window with `caption`.
    virtual void ShowChartWindow(const std::string& caption) {}
};

//! Highlighted labels of the output-switch and ejector-pulse help.
struct TVenturiSwitchHelp {
    bool U = false;
    bool I = false;
    bool PNP = false;
    bool NPN = false;
};

//! The vacuum generator page: its handlers, the computed "~ok", "Time" and "Vacuum"
//! columns of the generator table (cached per input state) and the operating values of
//! the chosen generator.
class TVenturiModel {
public:
    explicit TVenturiModel(TMyProject& doc);
    ~TVenturiModel();
    TVenturiModel(const TVenturiModel&) = delete;
    TVenturiModel& operator=(const TVenturiModel&) = delete;

    TMyProject& Doc() const { return FDoc; }
    //! The one link to the application (not owned; null for none). TVacuumApplication
    //! sets it and passes what it is told on to any number of views as change notices;
    //! a window follows the application, never sets this.
    void SetView(TVenturiView* view) { FView = view; }
    //! Binds the generator table, whose "~ok", "Time" and "Vacuum" become computed, and the
    //! query the grid shows (neither owned; null unbinds).
    void SetVenturiTables(TCustomStrTableDB* table, TStringQuery* query);
    //! The four curve families (not owned).
    void SetCurves(const TVenturiCurves& curves);
    //! The evacuation-time table and the buffer-size table (not owned; the size table is
    //! read once here, and may be null to keep the current sizes).
    void SetEvacuationTables(const TCustomTable* times, const TCustomTable* bufferSize);
    //! The 'VenturiSwitch' table of the output-switch help (not owned).
    void SetSwitchTable(const TCustomTable* table) { FSwitchTable = table; }
    //! The tube model whose inner diameter limits the nozzles (not owned).
    void SetTubeModel(const TTubeModel* tube);
    //! Translates language keys; handed in by the owner of the language (unset: the keys
    //! as they are).
    TTranslateFunc Translate;

    //! True while the handlers must do nothing (disclaimer pending or store busy).
    bool Inert() const;

    // --- calculation -------------------------------------------------------------------
    bool LoadEvacuationCurve(std::string_view name) {
        return FEvacuation.LoadEvacuationCurve(name);
    }
    //! The curve covers the operating pressure.
    bool PressureInCurveRange(std::string_view name);
    //! Evacuation time (s) of a generator for the current conditions; −1 when unreachable.
    double EvacuationTime(std::string_view curve, std::string_view vacuumCurve);
    //! Reachable vacuum of a curve at p (Pa), Pa.
    double VacuumAt(std::string_view vacuumCurve, double p) const;
    //! The inputs of "Time": count, pressure, required vacuum and the volume of the cups
    //! and the tube.
    TVenturiConditions Conditions() const;
    const TEvacuationTable& Evacuation() const { return FEvacuation; }

    // --- computed columns --------------------------------------------------------------
    //! OnChangeField handler of the generator table.
    void TableVenturiChangeField(const TCustomTable& sender, int row, int col, TTerm& field);
    //! Values of table row `row`: the nozzle fits the tube, the time (s, −1 unreachable)
    //! and the reachable vacuum (bar).
    bool RowFits(int row);
    double RowTime(int row);
    double RowVacuum(int row);
    //! Why time curves of the table could not be used (missing, or not fitting the
    //! buffers), one message per curve, from the last computation of the columns.
    const std::vector<std::string>& CurveDiagnostics() {
        EnsureComputed();
        return FDiagnostics;
    }
    //! Vacuum (Pa, gauge, ≤ 0) the generator of table row `row` reaches at the site with
    //! the workpiece's leak.
    double RowReachableVacuum(int row);
    //! How many times "Time" was computed (not read from the cache), for tests.
    int64_t TimeComputations() const { return FComputations; }

    // --- selection and page ------------------------------------------------------------
    //! Takes over row `row` of the query; rows outside it are ignored.
    void SelectVacuumGenerator(int row);
    //! Recomputes the operating values of the chosen generator.
    void UpdateOperatingValues();
    //! Recomputes the record label.
    void RefreshGeneratorPage();
    const TOperatingValues& OperatingPoint() const { return FOperating; }
    //! The chosen generator at the site with the leak: the time to the required vacuum
    //! (−1: not reached) and the vacuum it reaches; recomputed with the operating values.
    const TSiteEvacuation& SiteResult() const { return FSite; }
    //! Suction flow (standard m³/s) of all chosen generators at the site's vacuum `v` (Pa
    //! below ambient, ≥ 0): n·k·q(v/k) with k = ambient / 101325 and q the flow of one
    //! generator from its time table. Known while the workpiece leaks (the only case that
    //! needs it); 0 otherwise or when the table gives no flow.
    double SiteSuctionFlow(double v) const;
    //! "~LabelRecords" + " - %d " + "~FittingToTube", filled with the rows of the query,
    //! of the table and the fitting rows of the query.
    const std::string& LabelVenturiCount() const { return FLabel; }
    //! Order code of the chosen generator.
    const std::string& LabelSelectedVenturiNozzle() const;
    int SelectedRow() const { return FSelectedRow; }
    bool SelectedValid() const { return FSelectedValid; }
    const TVenturiCurveNames& SelectedCurves() const { return FCurveNames; }
    double DLavall() const { return FDLavall; }
    //! Upper chart limits of the chosen generator.
    double MaxLV() const { return FMaxLV; }
    double MaxSL() const { return FMaxSL; }
    double MaxSD() const { return FMaxSD; }

    // --- handlers ----------------------------------------------------------------------
    void SpinEditAnzahlVenturiChange(double count);
    void SpinEditBetriebsdruckChange(double pressure);
    void SpinEditVakuumSollChange(double vacuum);
    //! The longest evacuation time the user allows, s: a finite value of at least 0 is
    //! stored, anything else is ignored.
    void SpinEditZeitMaxChange(double seconds);
    void PanelVakVolGesChange();
    //! The site's altitude (m) or its ambient pressure (Pa), either giving the other by the
    //! standard atmosphere; the altitude is stored. Values that are not finite are ignored.
    void SpinEditAltitudeChange(double altitude);
    void SpinEditAmbientPressureChange(double pressure);
    //! How the workpiece leaks (an ordinal of cLeakKindNames; others are ignored), and the
    //! orifice diameter (m), the measured flow (standard m³/s) and its vacuum (Pa, gauge).
    void ComboBoxLeakKindChange(int kind);
    void SpinEditLeakDiameterChange(double diameter);
    void SpinEditLeakFlowChange(double flow);
    void SpinEditLeakVacuumChange(double vacuum);
    void VenturiSelectionChange();
    void StrQueryVenturiChange();
    void VenturiSelect(int row);
    //! Entering the page chooses the grid's current row again.
    void EnterVenturiPage(int currentRow);
    void BitBtn2Click();
    //! Leaving the page forward is allowed: the chosen generator fits the tube and a
    //! vacuum below ambient is required.
    bool VenturiChangeValid() const;
    //! The entry the filter list of VenturiFilters()[index] shows for the stored
    //! selections, given the entry it shows now (untranslated, "" for no preference): the
    //! stored choice, "" for none. A set ejector-pulse option stands for every kind of
    //! pulse, which no single entry shows: the shown entry is kept when it is a kind of
    //! pulse, else the kind of the stored generator, else the first kind of the table, so
    //! that the stored generator stays among the rows.
    std::string StoredFilterEntry(size_t index, std::string_view shown) const;
    //! Help labels for the "Switch" filter text.
    TVenturiSwitchHelp SwitchHelp(std::string_view switchText) const;
    //! Help labels "~Electrical" / "~Mechanical" for the "~EjectorPulse" filter text.
    static bool EjectorPulseHighlighted(std::string_view filterText, std::string_view label) {
        return filterText == label;
    }

private:
    class TTableWatch : public TTableDependent {
    public:
        explicit TTableWatch(TVenturiModel& model) : FModel(model) {}
        void SourceChanged(TCustomTable& source, unsigned flags) override;
        void SourceDestroyed(TCustomTable& source) override;

    private:
        TVenturiModel& FModel;
    };

    double TubeDiameter() const;
    void EnsureRows();
    void EnsureComputed();
    void ConditionsChanged();
    void Notify(bool grid);

    TMyProject& FDoc;
    TVenturiView* FView = nullptr;
    TCustomStrTableDB* FTable = nullptr;
    TStringQuery* FQuery = nullptr;
    const TTubeModel* FTube = nullptr;
    const TCustomTable* FSwitchTable = nullptr;
    TVenturiCurves FCurves;
    TEvacuationTable FEvacuation;
    TTableWatch FWatch{*this};

    // Per table row: curve names and nozzle, read once per table load.
    bool FRowsValid = false;
    std::vector<std::string> FTimeCurve, FVacuumCurve;
    std::vector<double> FNozzle;
    int FOkCol = -1, FTimeCol = -1, FVacuumCol = -1;

    // Computed values for the inputs they were computed with.
    bool FComputedValid = false;
    TVenturiConditions FComputedFor;
    double FComputedDiameter = 0.0;
    std::vector<double> FTime, FVacuum, FReachable;
    std::vector<uint8_t> FFits;
    std::vector<std::string> FDiagnostics;
    int64_t FComputations = 0;
    bool FNotifyingTable = false;

    int FSelectedRow = -1;
    bool FSelectedValid = false;
    TVenturiCurveNames FCurveNames;
    double FDLavall = 0.0, FMaxLV = 0.0, FMaxSL = 0.0, FMaxSD = 0.0;
    TOperatingValues FOperating;
    std::string FSelectedTimeCurve;
    TSiteEvacuation FSite;
    //! The chosen generator's suction flow, built with FSite while the workpiece leaks.
    TSuctionCurve FSuction;
    bool FSuctionBuilt = false;
    std::string FLabel;
};
