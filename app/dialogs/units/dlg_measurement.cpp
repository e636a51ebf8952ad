#include "app/dialogs/units/dlg_measurement.h"

#include "app/platform/help_viewer.h"
#include "core/shell/user_settings.h"
#include "gui/fields/fmu2_custom.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

TDlg_Measurement::TDlg_Measurement(TTavUserSettings& settings, IHelpViewer* help,
                                   const std::string& languageCode, QWidget* parent)
    : QDialog(parent), settings_(settings), help_(help), language_(this) {
    setObjectName("Dlg_Measurement");
    setWindowTitle("~UnitSelection");

    auto* layout = new QVBoxLayout(this);
    // The dialog takes the size its texts need, in every language.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    group_ = new QGroupBox("~Select...MeasurementSystem", this);
    group_->setObjectName("GroupBoxMeasurement");
    auto* options = new QVBoxLayout(group_);
    si_ = new QRadioButton("~SI-Units", group_);
    si_->setObjectName("RadioButton_SI");
    us_ = new QRadioButton("~US-Units", group_);
    us_->setObjectName("RadioButton_US");
    options->addWidget(si_);
    options->addWidget(us_);
    layout->addWidget(group_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("~OK", QDialogButtonBox::AcceptRole);
    ok_->setObjectName("ButtonOk");
    ok_->setDefault(true);
    cancel_ = buttons->addButton("~Cancel", QDialogButtonBox::RejectRole);
    cancel_->setObjectName("ButtonCancel");
    helpButton_ = buttons->addButton("~Help", QDialogButtonBox::HelpRole);
    helpButton_->setObjectName("ButtonHelp");
    layout->addWidget(buttons);

    connect(si_, &QRadioButton::clicked, this, [this] {
        model_.RadioButton_SIClick();
        ShowModel();
    });
    connect(us_, &QRadioButton::clicked, this, [this] {
        model_.RadioButton_USClick();
        ShowModel();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TDlg_Measurement::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDlg_Measurement::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        if (help_) help_->ShowTopic(cUnitsDialogHelpTopic);
    });

    language_.Loaded();
    if (!languageCode.empty() && language_.LanguageDB().Language() != languageCode)
        language_.LanguageDB().SetLanguage(languageCode);
    Activate();
}

TDlg_Measurement::~TDlg_Measurement() = default;

void TDlg_Measurement::Activate() {
    model_.Activate(settings_.Measure());
    ShowModel();
}

void TDlg_Measurement::ShowModel() {
    // Radio buttons of one group cannot both be cleared while they exclude each other.
    for (QRadioButton* b : {si_, us_}) b->setAutoExclusive(false);
    si_->setChecked(model_.SIChecked());
    us_->setChecked(model_.USChecked());
    for (QRadioButton* b : {si_, us_}) b->setAutoExclusive(true);
}

void TDlg_Measurement::showEvent(QShowEvent* event) {
    // Every showing is an activation; a spontaneous show (the window system restoring
    // the dialog) is not.
    if (!event->spontaneous()) Activate();
    QDialog::showEvent(event);
}

void TDlg_Measurement::accept() {
    const std::optional<bool> si = model_.Ok(settings_);
    QDialog::accept();
    // Every window of the program, this dialog's parent window included.
    if (si) SetSIUnitsAll(*si);
}
