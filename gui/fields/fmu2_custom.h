#pragma once

#include "core/quantities/float_converter.h"
#include "core/util/translate_func.h"

#include <functional>
#include <string>

#include <QRect>
#include <QString>
#include <QWidget>

class QHBoxLayout;
class QMenu;
class QToolButton;

//! Where the unit button stands: at the right edge, or left of the spin buttons.
enum TMUAlign : int {
    aMURight = 0,
    aMULeft = 1,
};

//! Common base of the value-with-unit fields: a widget over a TFMU2Model with the unit
//! button and its menu. The value is kept in base units; what is shown is the model's text
//! in the current unit. Derived fields add the control that shows the text.
//!
//! A field is live from construction: whether or not it was ever shown, SetValue clamps,
//! validates and raises the change event as a user's entry would, and the unit button
//! shows the current unit. Set the range before the value that must lie in it.
//!
//! Every event has two ways out: the std::function member for the one handler of the
//! field's owner (the page that stores the value), and a Qt signal, raised right after it,
//! for any number of other followers (a chart window, a report, a TFieldBinding).
class TFMU2Custom : public QWidget, protected TFMU2View {
    Q_OBJECT

public:
    explicit TFMU2Custom(QWidget* parent = nullptr);
    ~TFMU2Custom() override;

    //! The width of an entry field's spin buttons. A field without them (a panel, a
    //! read-only entry field) gives this room to its text box, so that the fields of a form
    //! are equally wide and their unit buttons stand at one place.
    static constexpr int cSpinButtonWidth = 16;

    //! The field's state and rules; every property below is a shortcut to it.
    TFMU2Model& Model() { return model_; }
    const TFMU2Model& Model() const { return model_; }

    // --- value and range, base units ---------------------------------------------------

    double Value() const { return model_.Value(); }
    //! Program-side setter: clamps with tolerance, takes a value within the range (an
    //! out-of-range value is shown as invalid and not taken) and, with ChangeOnSetValue,
    //! raises OnChange when it was taken.
    void SetValue(double x) { model_.SetValue(x); }
    void SetValueInt(int64_t n) { model_.SetValueInt(n); }
    int64_t ValueRounded() const { return model_.ValueRounded(); }
    double ValueMin() const { return model_.ValueMin(); }
    void SetValueMin(double x) { model_.SetValueMin(x); }
    double ValueMax() const { return model_.ValueMax(); }
    void SetValueMax(double x) { model_.SetValueMax(x); }
    double ValueAbsMin() const { return model_.ValueAbsMin(); }
    void SetValueAbsMin(double x) { model_.SetValueAbsMin(x); }
    double ValueZero() const { return model_.ValueZero(); }
    void SetValueZero(double x) { model_.SetValueZero(x); }

    // --- units -------------------------------------------------------------------------

    TNormUnit NormUnit() const { return model_.NormUnit(); }
    void SetNormUnit(TNormUnit quantity) { model_.SetNormUnit(quantity); }
    bool SIUnits() const { return model_.SIUnits(); }
    void SetSIUnits(bool si) { model_.SetSIUnits(si); }
    TNUMessurement PreferredSIUnit() const { return model_.PreferredSIUnit(); }
    void SetPreferredSIUnit(TNUMessurement unit) { model_.SetPreferredSIUnit(unit); }
    TNUMessurement PreferredUSUnit() const { return model_.PreferredUSUnit(); }
    void SetPreferredUSUnit(TNUMessurement unit) { model_.SetPreferredUSUnit(unit); }
    bool OldUnitsEnabled() const { return model_.OldUnitsEnabled(); }
    void SetOldUnitsEnabled(bool b) { model_.SetOldUnitsEnabled(b); }
    bool OldUnitsVisible() const { return model_.OldUnitsVisible(); }
    void SetOldUnitsVisible(bool b) { model_.SetOldUnitsVisible(b); }
    bool AutoUnitChange() const { return model_.AutoUnitChange(); }
    void SetAutoUnitChange(bool b) { model_.SetAutoUnitChange(b); }
    TNUMessurement CurrentUnit() const { return model_.CurrentUnit(); }
    void SelectUnitIndex(int index) { model_.SelectUnitIndex(index); }
    //! What a click on the unit button does: the next offered unit of the current system.
    virtual void NextUnit();

    // --- display -----------------------------------------------------------------------

    int Decimals() const { return model_.Decimals(); }
    void SetDecimals(int decimals) { model_.SetDecimals(decimals); }
    bool Divisor() const { return model_.Divisor(); }
    void SetDivisor(bool divisor) { model_.SetDivisor(divisor); }
    bool ChangeOnSetValue() const { return model_.ChangeOnSetValue(); }
    void SetChangeOnSetValue(bool b) { model_.SetChangeOnSetValue(b); }
    //! Hint of the unit button, after the unit's definition.
    QString MUHint() const { return QString::fromStdString(model_.MUHint()); }
    void SetMUHint(const QString& hint) { model_.SetMUHint(hint.toStdString()); }
    //! A fixed text for the unit room of a field without a unit, such as a price's
    //! currency: shown on the unit button, which then offers nothing and takes no clicks.
    //! Empty (the default): a field without a unit leaves the room blank.
    QString UnitNote() const { return unitNote_; }
    void SetUnitNote(const QString& note);
    //! Smallest width of the unit button.
    int MUMinWidth() const { return muMinWidth_; }
    void SetMUMinWidth(int width);
    //! The width the unit button needs: that of a tool button showing the widest unit the
    //! menu offers, at least MUMinWidth. It follows the quantity, the range, the old-units
    //! switch, the font and the style.
    int UnitButtonNeed() const { return unitNeed_; }
    //! The width a form gives the unit buttons of all its fields (TUnitButtonAligner);
    //! the button is as wide as the larger of this and its own need. 0: its own need.
    int UnitButtonFormWidth() const { return unitFormWidth_; }
    void SetUnitButtonFormWidth(int width);
    //! Hint of the text part (edit or panel).
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);

    //! The text the edit or panel shows now.
    virtual QString DisplayText() const = 0;
    //! The field's line: where its text box (edit or panel) lies, in the field's
    //! coordinates. The field is one line high: spin buttons and unit button share the
    //! text box's height, so a label centred on the field's row sits on the text.
    virtual QRect TextRect() const = 0;

    //! Translation of the "~" captions of the menus, handed in by the owner of the language
    //! (unset: the captions as they are).
    void SetTranslate(TTranslateFunc translate) { translate_ = std::move(translate); }
    //! A "~" key through the field's translation, any other text as it is.
    QString Translated(const std::string& caption) const;

    //! The unit button and its popup menu (the menu's entries follow Model().UnitMenu()).
    QToolButton* UnitButton() const { return unitButton_; }
    QMenu* UnitMenu();

    //! Raised when the user changed the value (and on SetValue with ChangeOnSetValue).
    //! The owner's handler; others follow changed().
    std::function<void(TFMU2Custom* sender)> OnChange;
    //! Raised when the unit system was switched; `si` is the new SIUnits. Others follow
    //! unitChanged().
    std::function<void(TFMU2Custom* sender, bool si)> OnUnitChange;
    //! Raised when the field turns valid or invalid. Others follow validChanged().
    std::function<void(TFMU2Custom* sender)> OnChangeValid;
    //! Replaces the system beep for refused keys and spins of a read-only field. Others
    //! follow beeped().
    std::function<void(TFMU2Custom* sender)> OnBeep;

signals:
    //! Right after OnChange. While the followers run, the field ignores SetValue and its
    //! range setters, as it does during OnChange.
    void changed();
    //! Right after OnUnitChange.
    void unitChanged(bool si);
    //! Right after OnChangeValid.
    void validChanged();
    //! A refused key or a spin of a read-only field, after OnBeep or the system beep.
    void beeped();
    //! UnitButtonNeed() changed, or the unit button was shown or hidden: a form that gives
    //! its unit buttons one width measures again (TUnitButtonAligner).
    void unitButtonNeedChanged();

protected:
    //! Shows the model's state in the finished widget; the derived field's constructor
    //! calls it once its text control is there.
    void ShowModel();

    // TFMU2View
    void UpdateButtons() override;
    void ShowUnits() override;
    void Beep() override;

    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

    //! The row the derived field fills: the text control, spin buttons and unit button.
    QHBoxLayout* Row() const { return row_; }
    //! The text control got a new hint.
    virtual void HintChanged() {}
    //! Gives every part of the row the height of the text box; the derived field sizes its
    //! own parts and calls this for the unit button. Runs when the field is made and after
    //! every font or style change.
    virtual void FitRow(int height);
    //! The height of the field's one line, from the text box the derived field shows;
    //! 0 while there is none yet.
    virtual int LineHeight() const { return 0; }
    //! Sizes the row again (FitRow with LineHeight()).
    void FitLine();

private:
    void UpdateUnitButton();
    int MeasureUnitButton() const;
    //! Units the unit menu offers now.
    int OfferedUnits() const;
    void ApplyUnitButtonWidth();
    void UpdateUnitMenu();
    void UnitMenuTriggered(QAction* action);

    TFMU2Model model_;
    QHBoxLayout* row_ = nullptr;
    QToolButton* unitButton_ = nullptr;
    QMenu* unitMenu_ = nullptr;
    int muMinWidth_ = 35;
    int unitNeed_ = 0;
    QString unitNote_;
    int unitFormWidth_ = 0;
    bool unitShown_ = true;
    QString hint_;
    TTranslateFunc translate_;
};

//! The application-wide SI/US switch: every value-with-unit field within `root` (the root
//! included) whose AutoUnitChange is set switches to the SI (`si`) or US units.
void SetSIUnitsAll(QWidget* root, bool si);
//! The same for every window of the application.
void SetSIUnitsAll(bool si);
