#pragma once

#include "core/workflow/units_dialog_model.h"
#include "gui/lang/language_form.h"

#include <QDialog>

class IHelpViewer;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TTavUserSettings;

//! The measurement-system dialog: SI or US units for every value field of the program
//! that follows the application-wide switch. It opens on the "Measure" user setting; OK
//! stores the choice there and switches the fields, Cancel leaves everything as it was.
class TDlg_Measurement : public QDialog {
    Q_OBJECT

public:
    //! `settings` and `help` (null: no help window) outlive the dialog; `languageCode` is
    //! the language it starts in (it follows every later switch of its group).
    TDlg_Measurement(TTavUserSettings& settings, IHelpViewer* help, const std::string& languageCode,
                     QWidget* parent = nullptr);
    ~TDlg_Measurement() override;

    const TMeasurementDialogModel& Model() const { return model_; }
    TLanguageForm& Language() { return language_; }
    QGroupBox* Group() const { return group_; }
    QRadioButton* SIButton() const { return si_; }
    QRadioButton* USButton() const { return us_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* HelpButton() const { return helpButton_; }

    //! Activation: the pending setting from the user settings, the options checked by it.
    void Activate();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowModel();

    TTavUserSettings& settings_;
    IHelpViewer* help_;
    TMeasurementDialogModel model_;
    TLanguageForm language_;
    QGroupBox* group_ = nullptr;
    QRadioButton* si_ = nullptr;
    QRadioButton* us_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};
