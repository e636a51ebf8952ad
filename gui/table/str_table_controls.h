#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QCheckBox>
#include <QComboBox>

#include "core/data/table_controls.h"
#include "core/util/translate_func.h"

//! A drop-down list of the distinct values of one column of a query, used as a filter.
//! The entries, the choice, the enabled state and the filter a choice sets belong to
//! Model(); the list shows the entries translated and hands the user's choice to it.
//! Owners configure the list through Model() (FieldName, FieldTyp, Sort, Unselected...,
//! DataUnit/ScaleUnit, Precision/Decimals, NoChoiseDisabled, Comparator, OnChange);
//! Model().OnUpdate belongs to the widget. Model().OnChange is the owner's handler; other
//! followers connect to changed(). After every language switch of its window's group the
//! list labels its entries again; the language form binds none of them.
class TStrTableCoBox : public QComboBox {
    Q_OBJECT
public:
    using TTranslateFunc = ::TTranslateFunc;
    using TNotifyEvent = std::function<void(TStrTableCoBox& sender)>;

    explicit TStrTableCoBox(QWidget* parent = nullptr);
    ~TStrTableCoBox() override;

    TStrTableCoBoxModel& Model() { return model_; }
    const TStrTableCoBoxModel& Model() const { return model_; }

    TCustomTable* Table() const { return model_.Table(); }
    void SetTable(TCustomTable* table) { model_.SetTable(table); }
    void SetFieldName(std::string_view name) { model_.SetFieldName(name); }

    //! Chooses the entry with that (untranslated) text, entry 0 when absent, and sets the
    //! filter; used when a project is loaded.
    void SelectByText(std::string_view text) { model_.SelectByText(text); }

    //! Translation of the entry texts, handed in by the owner of the language (unset: the
    //! texts as they are). Setting it re-labels the entries.
    void SetTranslate(TTranslateFunc translate);
    //! The language changed: the entries are labelled again.
    void Retranslate() { ShowModel(true); }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

signals:
    //! Right after Model().OnChange: a choice was made, the filter is set next.
    void changed();
    //! Right after OnMouseEnter and OnMouseLeave.
    void mouseEntered();
    void mouseLeft();

public:
    //! How often the shown entries were rebuilt (not counting refreshes that left them as
    //! they were).
    int ItemRebuilds() const { return rebuilds_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Chosen(int index);
    void ShowModel(bool relabel);

    TStrTableCoBoxModel model_;
    TConnection changed_;
    TTranslateFunc translate_;
    std::vector<std::string> shown_;
    bool showing_ = false;
    int rebuilds_ = 0;
};

//! A check box that filters one yes/no column of a query. Check state and enabled state
//! come from Model(); a click is handed to it, which sets the filter. Owners configure it
//! through Model() (FieldName, SelectMode, FieldTyp, OnClick); Model().OnUpdate belongs to
//! the widget. Model().OnClick is the owner's handler; other followers connect to
//! filterClicked().
class TStrTableCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TStrTableCheckBox(QWidget* parent = nullptr);
    explicit TStrTableCheckBox(const QString& text, QWidget* parent = nullptr);
    ~TStrTableCheckBox() override;

    TStrTableCheckBoxModel& Model() { return model_; }
    const TStrTableCheckBoxModel& Model() const { return model_; }

    TCustomTable* Table() const { return model_.Table(); }
    void SetTable(TCustomTable* table) { model_.SetTable(table); }
    void SetFieldName(std::string_view name) { model_.SetFieldName(name); }

signals:
    //! Right after Model().OnClick: the user set the check state, the filter is set next.
    void filterClicked(bool checked);

private:
    void Init();
    void Clicked(bool checked);
    void ShowModel();

    TStrTableCheckBoxModel model_;
    TConnection clicked_;
    bool showing_ = false;
};
