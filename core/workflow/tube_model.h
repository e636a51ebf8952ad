#pragma once

#include "core/calc/tube.h"
#include "core/data/custom_table.h"
#include "core/quantities/term.h"
#include "core/util/translate_func.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class TCustomStrTableDB;
class TMyProject;
class TStringQuery;

//! What the tube model asks of the page.
class TTubeView {
public:
    virtual ~TTubeView() = default;
    //! The pages after the current one must be validated again.
    virtual void InvalidateLaterPages() {}
    //! Tube volume or the total vacuum volume changed.
    virtual void VolumeChanged() {}
};

//! The tube page: its handlers, the computed "~ok" column of the tube table (cached per
//! cup connector), the lengths and the tube volume.
class TTubeModel {
public:
    explicit TTubeModel(TMyProject& doc);
    ~TTubeModel();
    TTubeModel(const TTubeModel&) = delete;
    TTubeModel& operator=(const TTubeModel&) = delete;

    TMyProject& Doc() const { return FDoc; }
    //! The one link to the application (not owned; null for none). TVacuumApplication
    //! sets it and passes what it is told on to any number of views as change notices;
    //! a window follows the application, never sets this.
    void SetView(TTubeView* view) { FView = view; }
    //! Binds the tube table, whose "~ok" becomes computed, the query the grid shows and
    //! the 'Connector' table (none owned; null unbinds).
    void SetTubeTables(TCustomStrTableDB* table, TStringQuery* query,
                       const TCustomTable* connectors);
    //! Translates language keys for the record label; handed in by the owner of the language
    //! (unset: the keys as they are).
    TTranslateFunc Translate;

    bool Inert() const;

    // --- computed column ---------------------------------------------------------------
    void TableTubeChangeField(const TCustomTable& sender, int row, int col, TTerm& field);
    //! Whether the tube of table row `row` fits the chosen cup's connector.
    bool RowFits(int row);
    //! Tells the tube table's dependents that "~ok" changed, when the cup connector did.
    void RefreshFits();

    // --- selection ---------------------------------------------------------------------
    //! Takes over row `row` of the query; rows outside it are ignored.
    void SelectTube(int row);
    //! Volume of the chosen tube over the total length, stored in the document; m³.
    double TubeVolume();
    //! Inner diameter of the chosen tube, m.
    double TubeDiameter() const { return FDiameter; }
    //! Largest nozzle diameter a generator may have with this tube, m.
    double NozzleLimit() const { return FDiameter / 3.0; }
    bool SelectedValid() const { return FSelectedValid; }
    int SelectedRow() const { return FSelectedRow; }
    //! Order code of the chosen tube.
    const std::string& LabelSelectedTube() const;

    // --- lengths -----------------------------------------------------------------------
    //! Length per cup and in total as the fields show them, m. In per-cup mode the single
    //! length entered last stands, so a new number of cups changes the total.
    TTubeLengths Lengths() const;
    //! After a project was reset or loaded: the single length is the stored total shared
    //! among the document's cups, and stands until a length is entered again.
    void ProjectLoaded();
    //! Either length field changed (`fromField`: by the user, which resets reach).
    void VakuumVolumenChange(double single, double total, bool fromField);
    //! Length mode chosen: true for the total.
    void TubeLenClick(bool totalMode);
    bool SingleLengthReadOnly() const;
    bool TotalLengthReadOnly() const { return !SingleLengthReadOnly(); }

    // --- page --------------------------------------------------------------------------
    void TubeSelect(int row);
    void StrQueryTubeChange();
    //! Entering the page: chooses the current row again, recomputes the lengths from the
    //! number of cups and refreshes the record label.
    void EnterTubePage(int currentRow);
    //! "~LabelRecords" + " - %d " + "~FittingToSuctionCup", filled in.
    const std::string& LabelTubeCount() const { return FLabel; }
    void RefreshLabel();
    //! Leaving the page forward is allowed: the chosen tube fits the cup.
    bool TubeChangeValid() const { return FSelectedValid; }

private:
    class TTableWatch : public TTableDependent {
    public:
        explicit TTableWatch(TTubeModel& model) : FModel(model) {}
        void SourceChanged(TCustomTable& source, unsigned flags) override;
        void SourceDestroyed(TCustomTable& source) override;

    private:
        TTubeModel& FModel;
    };

    void EnsureFits();
    void VolumeChanged();

    TMyProject& FDoc;
    TTubeView* FView = nullptr;
    TCustomStrTableDB* FTable = nullptr;
    TStringQuery* FQuery = nullptr;
    const TCustomTable* FConnectors = nullptr;
    TTableWatch FWatch{*this};

    bool FFitsValid = false;
    std::string FFitsConnector;
    std::vector<uint8_t> FFits;
    int FOkCol = -1;
    bool FNotifyingTable = false;

    // Single length last entered; below 0 while derived from the stored total.
    double FSingle = -1.0;
    int FSelectedRow = -1;
    double FDiameter = 0.0;
    bool FSelectedValid = false;
    std::string FLabel;
};
