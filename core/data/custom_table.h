#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/quantities/term.h"
#include "core/util/signal.h"

class TCustomTable;
class TStrFieldDB;

//! Error of the table layer ("invalid column name: %s", "no dataset selected").
class EStrQueryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

//! Change flags sent through the dependents chain.
enum TTableChange : unsigned {
    cChangeStructure = 1, //!< columns or source changed
    cChangeContents = 2,  //!< contents or display format changed
    cChangeFilter = 4,    //!< a filter changed
    cChangeReset = 8,     //!< filters were reset
    cChangeLoaded = 3,    //!< freshly loaded or cleared
    cChangeQueryReset = 14,
};

//! A component that observes tables: queries, grids, combo boxes and check boxes.
//! Destroying a dependent removes it from every table it observes.
class TTableDependent {
public:
    TTableDependent() = default;
    TTableDependent(const TTableDependent&) = delete;
    TTableDependent& operator=(const TTableDependent&) = delete;
    virtual ~TTableDependent();

    //! Called by an observed table with its pending change flags.
    virtual void SourceChanged(TCustomTable& source, unsigned flags) = 0;
    //! Called by an observed table that is being destroyed, before it lets go.
    virtual void SourceDestroyed(TCustomTable& source) {}

private:
    friend class TCustomTable;
    std::vector<TCustomTable*> observed_;
};

//! Sort modes of the distinct-value lists.
enum TStrSort { cSortNone, cSortASCII, cSortIndex, cSortCustom };

//! Maps a text to the integer that orders it (cSortCustom).
using TTavCustomIndexEvent = std::function<void(const std::string& s, int& i)>;

//! Target of the distinct-value operation: texts with an integer tag each. A sorted list
//! keeps its entries in ordinal order.
class TDistinctList {
public:
    struct Entry {
        std::string Text;
        int Tag = 0;
    };
    bool Sorted = false;
    std::vector<Entry> Items;

    void Clear() { Items.clear(); }
    size_t Count() const { return Items.size(); }
    int IndexOf(std::string_view text) const;
    const std::string& operator[](size_t i) const { return Items[i].Text; }
};

//! Collects distinct non-empty texts in the order a sort mode asks for, with their tags
//! (1, the count of occurrences, or the sort key) and the number of the first occurrence.
class TDistinctBuilder {
public:
    //! counting: 0 tags 1, 2 counts occurrences, otherwise the tag is the sort key.
    TDistinctBuilder(const TTavCustomIndexEvent& custom, int counting, TStrSort sort);
    //! Offers a cell read `occurrences` times in a row.
    void Add(const TTerm& cell, int occurrences = 1);
    void Finish(TDistinctList& target, std::vector<double>* numbers);

private:
    const TTavCustomIndexEvent& custom_;
    int counting_;
    TStrSort sort_;
    std::vector<size_t> order_;
    std::vector<std::string> texts_;
    std::vector<int> tags_;
    std::vector<double> values_;
    std::unordered_map<std::string, size_t> seen_;
};

//! In-memory table of named columns and numbered rows whose cells read as TTerm; base of
//! stored tables, queries and the parts list. Carries the change propagation to its
//! dependents with progress reports, and the OnChangeField hook.
class TCustomTable : public TTableDependent {
public:
    using TStrqueryProgressBarEvent = std::function<void(TCustomTable& sender, int percent)>;
    using TGetFieldEvent =
        std::function<void(const TCustomTable& sender, int row, int col, TTerm& field)>;

    //! Created in update state, as a component being loaded; call Loaded() when set up.
    TCustomTable();
    ~TCustomTable() override;

    //! Ends the creation update: runs the loaded hook, sets flags 3 and notifies once.
    void Loaded();
    bool Loading() const { return loading_; }

    // --- virtual operations, in slot order ---
    virtual void DoLoaded() {}
    virtual void RebuildStructure();
    virtual std::string ColName(int col) const;
    virtual std::string ColTitle(int col) const;
    virtual int Rows() const { return 0; }
    virtual int ColByName(std::string_view name) const;
    virtual bool HasSource(const TCustomTable* table) const { return false; }
    virtual void ApplyFlags(unsigned flags);
    virtual void NotifyDependents();
    virtual void DeliverFlags(TTableDependent& dependent, unsigned flags);
    virtual int ProgressWeight() const { return 100; }
    virtual const TStrFieldDB* Column(int col) const { return nullptr; }
    virtual const TStrFieldDB* Column(std::string_view name) const;
    virtual void ReadCell(int row, int col, TTerm& term) const;
    virtual void DistinctValues(int col, TDistinctList& target, const TTavCustomIndexEvent& custom,
                                int counting, TStrSort sort, std::vector<double>* numbers) const;
    virtual void BeginUpdate();
    virtual void EndUpdate();

    //! Where a cell's value lives when no OnChangeField handler can alter it on the way:
    //! the column object and its row. False when the cell must be read through GetField.
    virtual bool DirectCell(int row, int col, const TStrFieldDB*& field, int& fieldRow) const {
        return false;
    }
    //! Turns row numbers of this table into rows of the column objects (see Column), so
    //! that cells can be read from the columns directly. False when an OnChangeField
    //! handler on the way may alter cells; `rows` is then unspecified.
    virtual bool DirectRows(std::vector<int32_t>& rows) const { return false; }

    //! A dependent table passes changes on down the chain.
    void SourceChanged(TCustomTable& source, unsigned flags) override { Changed(flags); }

    //! Adds pending flags and notifies dependents unless updates are pending or the table
    //! is busy notifying (then the call is dropped).
    void Changed(unsigned flags);

    // --- cell access; all reads go through GetField ---
    void GetField(int row, int col, TTerm& term) const;
    TTerm Field(int row, int col) const {
        TTerm t;
        GetField(row, col, t);
        return t;
    }
    int32_t AsInteger(int row, int col) const { return Field(row, col).Tag; }
    //! Number rounded to nearest (ties to even); std::range_error when it does not fit 32 bits.
    int32_t AsRoundInt(int row, int col) const;
    double AsFloat(int row, int col) const { return Field(row, col).Value; }
    std::string AsText(int row, int col) const { return Field(row, col).Text; }
    bool AsBoolean(int row, int col) const;
    int32_t AsInteger(int row, std::string_view col) const { return AsInteger(row, ColByName(col)); }
    int32_t AsRoundInt(int row, std::string_view col) const { return AsRoundInt(row, ColByName(col)); }
    double AsFloat(int row, std::string_view col) const { return AsFloat(row, ColByName(col)); }
    std::string AsText(int row, std::string_view col) const { return AsText(row, ColByName(col)); }
    bool AsBoolean(int row, std::string_view col) const { return AsBoolean(row, ColByName(col)); }

    //! First row whose text in the named column equals `text`; -1 if none.
    int FindRow(std::string_view colName, std::string_view text) const;
    //! Number of rows whose text in the column equals `text`.
    int Count(int col, std::string_view text) const;
    int Count(std::string_view colName, std::string_view text) const {
        return Count(ColByName(colName), text);
    }

    int Cols() const { return cols_; }
    //! Column names joined by "|".
    std::string ColNames() const;
    //! Splits at "|" into the name list and sends flags 1; equal text does nothing.
    virtual void SetColNames(std::string_view names);

    void AddDependent(TTableDependent* dependent);
    void RemoveDependent(TTableDependent* dependent);
    const std::vector<TTableDependent*>& Dependents() const { return dependents_; }

    bool Busy() const { return busy_; }
    int NotifyIndex() const { return notifyIndex_; }
    unsigned PendingFlags() const { return pending_; }
    int UpdateCount() const { return updateCount_; }

    //! Raised after the dependents have been told of a change; any number may follow.
    TSignal<TCustomTable&> OnChange;
    TStrqueryProgressBarEvent OnUpdateProgressBar;
    TGetFieldEvent OnChangeField;

protected:
    //! The general distinct-value routine over GetField.
    void DistinctValuesByRows(int col, TDistinctList& target, const TTavCustomIndexEvent& custom,
                              int counting, TStrSort sort, std::vector<double>* numbers) const;
    //! Progress report with the table as sender.
    void ReportProgress(int percent);

    std::vector<std::string> names_;
    int cols_ = 0;
    bool destroying_ = false;

private:
    unsigned pending_ = 0;
    bool busy_ = false;
    int notifyIndex_ = -1;
    int updateCount_ = 1;
    bool loading_ = true;
    std::vector<TTableDependent*> dependents_;
};
