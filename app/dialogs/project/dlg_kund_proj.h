#pragma once

#include "core/util/signal.h"
#include "core/workflow/project_dialog_model.h"
#include "gui/lang/language_form.h"

#include <array>
#include <vector>

#include <QDialog>

class IHelpViewer;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TVacuumApplication;

//! The project/customer dialog: the descriptive texts of the project (author, name and
//! number of the project, the customer's number, phone, fax and address, remarks) on three
//! tabs. It opens on a tab with the document's texts; the caption is the text of the tab
//! shown. OK writes the texts back (the project counts as changed only when one differs),
//! Cancel drops the edits.
class TDlg_Kund_Proj : public QDialog {
    Q_OBJECT

public:
    //! `app` and `help` (null: no help window) outlive the dialog; `languageCode` is the
    //! language it starts in (it follows every later switch of its group).
    TDlg_Kund_Proj(TVacuumApplication& app, IHelpViewer* help, const std::string& languageCode,
                   QWidget* parent = nullptr);
    ~TDlg_Kund_Proj() override;

    const TProjectDialogModel& Model() const { return model_; }
    TLanguageForm& Language() { return language_; }
    QTabWidget* Tabs() const { return tabs_; }
    QLineEdit* Edit(int edit) const { return edits_[static_cast<size_t>(edit)]; }
    QPlainTextEdit* Memo(int memo) const { return memos_[static_cast<size_t>(memo)]; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* HelpButton() const { return helpButton_; }

    //! Fills every field from the document and selects tab `tab` (0 … 2); the caller
    //! then shows the dialog.
    void Open(int tab);
    void accept() override;

private:
    QWidget* MakePage(int tab);
    void ShowModel();
    void ShowTab();
    QWidget* FirstField(int tab) const;
    void AlignLabels();

    TVacuumApplication& app_;
    IHelpViewer* help_;
    TProjectDialogModel model_;
    TLanguageForm language_;
    QTabWidget* tabs_ = nullptr;
    std::array<QLineEdit*, cProjectDialogEditCount> edits_{};
    std::array<QPlainTextEdit*, cProjectDialogMemoCount> memos_{};
    std::vector<QLabel*> labels_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    bool showing_ = false;
    TConnection languageChange_;
};
