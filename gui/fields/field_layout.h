#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QLabel;
class QWidget;
class TFMU2Custom;

//! Gives the unit buttons of the value fields of one form (a page, a dialog, a tab) one
//! width, that of the widest unit of the fields shown, so that the edits end at one line.
//! The aligner is a child of the form and keeps the width right by itself: when a field's
//! need changes (another quantity or range, old units shown, a font), when a field or a widget
//! between it and the form is shown or hidden, and when a field goes. Fields made after
//! the form was built join at the next Align().
//!
//!     TWorkpiecePage::TWorkpiecePage(QWidget* parent) : QWidget(parent) {
//!         ... the fields ...
//!         AlignUnitButtons(this);
//!     }
//!
//! Fields inside another window, or inside a widget that has an aligner of its own, are
//! left to that window or widget. A field whose unit button is hidden (no unit) counts for
//! nothing.
class TUnitButtonAligner : public QObject {
    Q_OBJECT

public:
    explicit TUnitButtonAligner(QWidget* form);

    QWidget* Form() const;
    //! Takes in the form's fields as they are now and gives them one width.
    void Align();
    //! The width last given: the widest need of the fields shown (0 when none is shown).
    int Width() const { return width_; }
    //! The fields the aligner looks after.
    QList<TFMU2Custom*> Fields() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Collect();
    void Apply();
    bool Belongs(const TFMU2Custom* field) const;

    QList<QPointer<TFMU2Custom>> fields_;
    QSet<QObject*> watched_;
    int width_ = 0;
};

//! The form's aligner, made on the first call; aligns the unit buttons now.
TUnitButtonAligner* AlignUnitButtons(QWidget* form);

//! A label for a field, to stand in the field's row of a form layout or grid: its buddy is
//! the field (a mnemonic puts the focus into the edit) and its text is centred on the
//! height of the row. The field being one line high, the label's text sits on the edit's
//! line. Created as a child of the field's parent.
QLabel* FieldLabel(const QString& text, TFMU2Custom* field);
//! The vertical centre of the field's text box in `widget`'s coordinates; a form that
//! places a label by hand centres it there.
int TextLineCentre(const TFMU2Custom* field, const QWidget* widget);
