#pragma once

#include "gui/fields/fmu2_custom.h"

#include <QColor>
#include <QLineEdit>
#include <QStringList>

class QMenu;
class QToolButton;
class TFMU2SpinEdit;

//! The edit box of a TFMU2SpinEdit: keys go through the field's key filter, the arrow
//! keys and the mouse wheel spin.
class TFMU2Edit : public QLineEdit {
    Q_OBJECT

public:
    explicit TFMU2Edit(TFMU2SpinEdit* field);

    //! The edit's context menu: undo, cut, copy and paste; while the field's editor is
    //! disabled, the entries that would change the text are disabled. The caller owns the
    //! menu.
    QMenu* CreateContextMenu();

    //! A line edit's size, and the spin buttons' room while the field hides them (read
    //! only), so that the field is as wide either way.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TFMU2SpinEdit* field_;
};

//! The entry field: edit box, up/down spin buttons with auto-repeat and the increment
//! menu, unit button. Typed text is read at every change; a readable text within the range
//! becomes the value at once, anything else is shown in ColorInvalid.
class TFMU2SpinEdit : public TFMU2Custom {
    Q_OBJECT

public:
    explicit TFMU2SpinEdit(QWidget* parent = nullptr);

    //! Step of the spin buttons, in the display unit.
    double Increment() const { return Model().Increment(); }
    void SetIncrement(double x) { Model().SetIncrement(x); }
    //! One increment per unit index of the quantity; the current unit's becomes Increment.
    QStringList Increments() const;
    void SetIncrements(const QStringList& increments);
    //! Hint of the spin buttons.
    QString IncHint() const { return incHint_; }
    void SetIncHint(const QString& hint);
    //! Most characters the edit takes; 0 for no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    //! Whether text may be typed; when off the value changes by spinning only.
    bool EditorEnabled() const { return Model().EditorEnabled(); }
    void SetEditorEnabled(bool b) { Model().SetEditorEnabled(b); }
    //! Read-only: the edit takes no text, has the button-face colour, the spin buttons go.
    bool ReadOnly() const { return Model().ReadOnly(); }
    void SetReadOnly(bool b);
    TMUAlign AlignMU() const { return alignMU_; }
    void SetAlignMU(TMUAlign align);
    //! Text colour of an unreadable or out-of-range text.
    QColor ColorInvalid() const { return colorInvalid_; }
    void SetColorInvalid(const QColor& color);

    bool Valid() const { return Model().Valid(); }
    bool OutOfRange() const { return Model().OutOfRange(); }

    //! Whether the edit accepts `ch` now (the field's key filter).
    bool KeyAllowed(char32_t ch) const { return Model().KeyAllowed(ch); }
    void SpinUp() { Model().SpinUp(); }
    void SpinDown() { Model().SpinDown(); }

    QString DisplayText() const override;
    QRect TextRect() const override;

    TFMU2Edit* Edit() const { return edit_; }
    QToolButton* UpButton() const { return upButton_; }
    QToolButton* DownButton() const { return downButton_; }
    //! The popup menu of the spin buttons; entries checked as Model().IncrementMenu() says.
    QMenu* IncrementMenu();

protected:
    // TFMU2View
    void ShowText(const std::string& text) override;
    void UpdateButtons() override;
    void ValidChanged(bool valid) override;

    void HintChanged() override;
    void FitRow(int height) override;
    int LineHeight() const override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class TFMU2Edit;

    //! Spins once per notch; turned forward is up.
    void Wheel(QWheelEvent* event);
    void ApplyColors();
    void Arrange();
    void UpdateIncrementMenu();
    QToolButton* MakeSpinButton(Qt::ArrowType arrow, const char* name);

    TFMU2Edit* edit_ = nullptr;
    QWidget* spinBox_ = nullptr;
    QToolButton* upButton_ = nullptr;
    QToolButton* downButton_ = nullptr;
    QMenu* incrementMenu_ = nullptr;
    QString incHint_;
    int maxLength_ = 0;
    TMUAlign alignMU_ = aMURight;
    QColor colorInvalid_ = QColor(255, 0, 0);
    int wheelDelta_ = 0;
};
