#pragma once

#include "core/lang/language_dialog.h"
#include "gui/lang/language_form.h"

#include <QDialog>
#include <QList>
#include <QStyledItemDelegate>

class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;
class QStackedWidget;

//! Draws a language entry: the flag picture (the item's decoration) in a slot of fixed
//! width, then the language's name.
class TLanguageFlagDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int cEntryHeight = 20;

    explicit TLanguageFlagDelegate(QObject* parent = nullptr);

    //! Width kept for the flag, so that the names line up whether a row has a flag or not.
    int FlagSlot() const { return flagSlot_; }
    void SetFlagSlot(int width) { flagSlot_ = width; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int flagSlot_ = 24;
};

//! The language selection window over a TLanguageDialog32Bit. It shows the languages
//! either in a drop-down list with flags (page 0) or as radio buttons (page 1), previews
//! the chosen language on itself through its own language database (group -1, so no other
//! window follows) and copies the choice into the component on OK.
class TLanguageDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int cFormWidth = 300;
    static constexpr int cListHeight = 25;
    //! The margin of the window's contents from its edges, and of the radio buttons from
    //! their frame. Even, so that the frame lies on whole pixels at 1.5 device pixels per
    //! pixel as well.
    static constexpr int cMargin = 4;

    explicit TLanguageDlg(TLanguageDialog32Bit& dialog, QWidget* parent = nullptr);
    ~TLanguageDlg() override;

    //! Takes the component's language, style and events: binds the caption to the
    //! component's title, previews the current code, fills the list or the radio buttons
    //! and sets the enabled states and the height.
    void Initialise();

    TLanguageDlgModel& Model() { return model_; }
    TLanguageForm& LanguageForm() { return language_; }

    QStackedWidget* Notebook() const { return notebook_; }
    QComboBox* List() const { return list_; }
    QWidget* RadioPanel() const { return radioPanel_; }
    const QList<QRadioButton*>& RadioButtons() const { return radios_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* HelpButton() const { return help_; }

    //! OK (only while enabled) takes the choice into the component.
    void accept() override;
    //! Cancel, Escape and closing the window; ignored when cancelling is not allowed.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(int row);
    void UpdateButtons();
    void FillList();
    void CreateRadioButtons();
    void LayoutForm();
    void LayoutRadioButtons();

    TLanguageDialog32Bit& dialog_;
    TLanguageDlgModel model_;
    QStackedWidget* notebook_;
    QComboBox* list_;
    TLanguageFlagDelegate* delegate_;
    QWidget* radioPanel_;
    QButtonGroup* radioGroup_;
    QList<QRadioButton*> radios_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* help_;
    bool filling_ = false;
    TLanguageForm language_; // loaded at the end of the constructor, over the finished widgets
};

//! Runs the language dialog modally for the component; true when it was closed with OK
//! (the component then holds the chosen code).
bool ExecuteLanguageDialog(TLanguageDialog32Bit& dialog, QWidget* parent = nullptr);
