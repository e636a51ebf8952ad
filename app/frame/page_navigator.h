#pragma once

#include <QFrame>
#include <QList>

class QPushButton;
class QToolButton;
class TPageWorkflow;

//! The side-bar page navigator: one entry per listed page (its caption a "~" key), the
//! current page checked, and the previous and next buttons below. It draws what the page
//! workflow says (which pages may be selected, which is current) and reports clicks; it
//! decides nothing itself.
class TPageNavigator : public QFrame {
    Q_OBJECT

public:
    explicit TPageNavigator(QWidget* parent = nullptr);

    //! Redraws from the workflow: an entry is enabled while its page may be selected (the
    //! current one stays checked), a step button while there is a page in its direction.
    void Refresh(const TPageWorkflow& flow);

    QPushButton* Entry(int page) const { return entries_.value(page); }
    int EntryCount() const { return static_cast<int>(entries_.size()); }
    QToolButton* PreviousButton() const { return previous_; }
    QToolButton* NextButton() const { return next_; }

signals:
    void PageClicked(int page);
    void PreviousClicked();
    void NextClicked();

private:
    QList<QPushButton*> entries_;
    QToolButton* previous_;
    QToolButton* next_;
};
