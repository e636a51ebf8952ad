#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/string_query.h"
#include "core/quantities/units.h"
#include "core/util/signal.h"

//! The data behaviour of a drop-down list of the distinct values of one column, used as a
//! filter of a query: its entries, the entry chosen, whether it can be used, and the filter
//! a choice sets. The list widget shows `Items()` translated and forwards the user's choice.
class TStrTableCoBoxModel : public TQueryFacetControl {
public:
    using TNotifyEvent = std::function<void(TStrTableCoBoxModel& sender)>;

    TStrTableCoBoxModel();
    ~TStrTableCoBoxModel() override;

    // --- properties ---
    TCustomTable* Table() const { return table_; }
    //! Binds the list to a table or query (nullptr unbinds) and refreshes it.
    void SetTable(TCustomTable* table);
    const std::string& FieldName() const { return fieldName_; }
    //! Refreshes with flags 1.
    void SetFieldName(std::string_view name);
    TTermTyp FieldTyp() const { return fieldTyp_; }
    //! Only cTTNum and cTTAlpha are taken; false (nothing changes) for the others.
    bool SetFieldTyp(TTermTyp typ);
    TStrSort Sort() const { return sort_; }
    void SetSort(TStrSort sort);
    //! Entry 0, which means no filter: its text, tag and (numeric lists) number, replaced in
    //! place.
    const std::string& Unselected() const { return unselected_; }
    void SetUnselected(std::string_view text);
    int UnselectedIndex() const { return unselectedIndex_; }
    void SetUnselectedIndex(int tag);
    double UnselectedFloat() const { return unselectedFloat_; }
    void SetUnselectedFloat(double value);
    //! Numeric lists: entries are converted from the data unit to the scale unit and
    //! labelled with its symbol; a change re-labels them and keeps the choice.
    TNUMessurement DataUnit() const { return dataUnit_; }
    TNUMessurement ScaleUnit() const { return scaleUnit_; }
    void SetDataUnit(TNUMessurement unit);
    void SetScaleUnit(TNUMessurement unit);
    //! Number format of the entries (the float text rule); a change refreshes with flags 2.
    int Precision() const { return precision_; }
    int Decimals() const { return decimals_; }
    void SetPrecision(int precision);
    void SetDecimals(int decimals);
    //! With one value left, show it chosen and disable the list.
    bool NoChoiseDisabled() const { return noChoiseDisabled_; }
    void SetNoChoiseDisabled(bool value);
    TComparator Comparator() const { return comparator_; }
    void SetComparator(TComparator comparator) { comparator_ = comparator; }

    TTavCustomIndexEvent OnCustomIndex;
    //! A choice was made (before the filter is set). The one handler of the list's owner.
    TNotifyEvent OnChange;
    //! Everyone else who follows the choices: called right after OnChange, in the order
    //! of connection.
    TSignal<TStrTableCoBoxModel&> Changed;
    //! Entries, choice or enabled state changed: the widget redraws.
    TNotifyEvent OnUpdate;

    // --- state ---
    //! Entry texts, entry 0 first (untranslated: "~" texts are language keys).
    const std::vector<std::string>& Items() const { return items_; }
    //! Tag of each entry: UnselectedIndex for entry 0, the distinct list's tag otherwise.
    const std::vector<int>& Tags() const { return tags_; }
    //! Numeric lists: the unconverted number of each entry (entry 0: UnselectedFloat).
    const std::vector<double>& Numbers() const { return numbers_; }
    int ItemIndex() const { return itemIndex_; }
    bool Enabled() const { return enabled_; }
    //! The only value was chosen by NoChoiseDisabled, not by the user.
    bool AutoSelected() const { return autoSelected_; }

    // --- actions ---
    //! The user chose an entry: then Change runs.
    void Select(int index);
    //! Chooses the entry with that text (entry 0 when absent) and runs Change; used when a
    //! project is loaded.
    void SelectByText(std::string_view text);
    //! Rebuilds the entries with the given change flags (8 chooses entry 0 first).
    void Refresh(unsigned flags);

    // --- TQueryFacetControl ---
    std::string FacetFieldName() const override { return fieldName_; }
    void SourceChanged(TCustomTable& source, unsigned flags) override;
    void SourceDestroyed(TCustomTable& source) override;

private:
    void Change();
    void Rebuild(unsigned flags);
    std::string NumberLabel(double value) const;
    void Relabel();
    void Update();

    TCustomTable* table_ = nullptr;
    std::string fieldName_;
    TTermTyp fieldTyp_ = cTTAlpha;
    TStrSort sort_ = cSortNone;
    std::string unselected_;
    int unselectedIndex_ = -1;
    double unselectedFloat_ = 0.0;
    TNUMessurement dataUnit_ = cUM_Scale;
    TNUMessurement scaleUnit_ = cUM_Scale;
    int precision_ = 9;
    int decimals_ = -3;
    bool noChoiseDisabled_ = false;
    TComparator comparator_ = cCompEqual;

    std::vector<std::string> items_;
    std::vector<int> tags_;
    std::vector<double> numbers_;
    int itemIndex_ = 0;
    bool enabled_ = false;
    bool autoSelected_ = false;
};

//! How a check box filters its yes/no column.
enum TStrTableSelectMode {
    //! Only rows matching the check state (checked: true, unchecked: false).
    csmEqual,
    //! Only while checked: rows reading true; unchecked does not filter.
    csmOption,
};

//! The data behaviour of a check box that filters one yes/no column of a query.
class TStrTableCheckBoxModel : public TQueryFacetControl {
public:
    using TNotifyEvent = std::function<void(TStrTableCheckBoxModel& sender)>;

    TStrTableCheckBoxModel() = default;
    ~TStrTableCheckBoxModel() override;

    TCustomTable* Table() const { return table_; }
    void SetTable(TCustomTable* table);
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(std::string_view name);
    TStrTableSelectMode SelectMode() const { return mode_; }
    void SetSelectMode(TStrTableSelectMode mode);
    TTermTyp FieldTyp() const { return fieldTyp_; }
    bool SetFieldTyp(TTermTyp typ);

    //! Clicked (before the filter is set). The one handler of the box's owner.
    TNotifyEvent OnClick;
    //! Everyone else who follows the clicks: called right after OnClick, in the order of
    //! connection.
    TSignal<TStrTableCheckBoxModel&> Clicked;
    //! Check state or enabled state changed.
    TNotifyEvent OnUpdate;

    bool Checked() const { return checked_; }
    bool Enabled() const { return enabled_; }
    //! Among the rows that pass every other filter: some read true, some false.
    bool SomeTrue() const { return someTrue_; }
    bool SomeFalse() const { return someFalse_; }

    //! The user set the check state: then the filter is set.
    void Click(bool checked);
    void Refresh(unsigned flags);

    //! The value the column is compared with for a check state: 1 or 0 for a numeric box;
    //! "X" or "-", or "~Yes" or "~No" for a column with the translate flag.
    TTerm FilterValue(bool checked) const;

    std::string FacetFieldName() const override { return fieldName_; }
    void SourceChanged(TCustomTable& source, unsigned flags) override;
    void SourceDestroyed(TCustomTable& source) override;

private:
    bool Translated() const;
    void Rebuild(unsigned flags);

    TCustomTable* table_ = nullptr;
    std::string fieldName_;
    TStrTableSelectMode mode_ = csmEqual;
    TTermTyp fieldTyp_ = cTTAlpha;
    bool checked_ = false;
    bool enabled_ = false;
    bool someTrue_ = false;
    bool someFalse_ = false;
};
