#include "app/dialogs/mass/form_mass.h"

#include "core/shell/user_settings.h"

#include "gui/fields/field_layout.h"
#include "app/frame/page.h"
#include "app/platform/program_starter.h"
#include "core/calc/workpiece.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"

#include <limits>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

TFormMass::TFormMass(TPageContext& context, QWidget* parent)
    : QDialog(parent), context_(context), model_(context.App.Workpiece), language_(this) {
    setObjectName("FormMass");
    setWindowTitle("~CenterOfGravityAnd...");
    TVacuumApplication& app = context_.App;

    auto* layout = new QVBoxLayout(this);
    worstCase_ = new QCheckBox("~WorstCase", this);
    worstCase_->setObjectName("ChkBoxTrMoWorstCase");
    layout->addWidget(worstCase_);

    auto makeField = [&](QWidget* box, std::string_view name) {
        auto* field = new TFMU2SpinEdit(box);
        field->setObjectName(Qs(name));
        field->SetAutoUnitChange(true);
        field->SetTranslate(app.Translator());
        return field;
    };

    auto* centerBox = new QGroupBox("~CenterOfGravity", this);
    auto* centerForm = new QFormLayout(centerBox);
    const std::string_view centerNames[] = {cpcMassCenterX, cpcMassCenterY, cpcMassCenterZ};
    for (int axis = 0; axis < 3; ++axis) {
        TFMU2SpinEdit* field = makeField(centerBox, centerNames[axis]);
        field->SetNormUnit(cNU_length);
        field->SetPreferredSIUnit(cUM_mm);
        field->SetPreferredUSUnit(cUM_in);
        field->SetValueMin(-cWorkpieceMassCenterLimit);
        field->SetValueMax(cWorkpieceMassCenterLimit);
        center_[static_cast<size_t>(axis)] = field;
        centerForm->addRow(new QLabel(QString(QChar('X' + axis)), centerBox), field);
    }
    layout->addWidget(centerBox);

    auto* momentBox = new QGroupBox("~MomentOfInertia", this);
    momentForm_ = new QFormLayout(momentBox);
    const std::string_view momentNames[] = {"SpinEditTrMomentX", "SpinEditTrMomentY",
                                            cpcMomentOfInertiaZ};
    for (int axis = 0; axis < 3; ++axis) {
        TFMU2SpinEdit* field = makeField(momentBox, momentNames[axis]);
        field->SetNormUnit(cNU_moment_of_inertia);
        field->SetPreferredSIUnit(cUM_kgcm2);
        field->SetPreferredUSUnit(cUM_lbin2);
        field->SetValueMin(0.0);
        field->SetValueMax(std::numeric_limits<double>::infinity());
        moments_[static_cast<size_t>(axis)] = field;
        momentForm_->addRow(new QLabel(QString("J%1").arg(QChar('x' + axis)), momentBox), field);
        momentForm_->setRowVisible(field, TMassDialogModel::MomentOfInertiaVisible(axis));
    }
    inertiaProgram_ = new QPushButton("~InertiaProgram", momentBox);
    inertiaProgram_->setObjectName("ButtonInertiaProgram");
    momentForm_->addRow(QString(), inertiaProgram_);
    layout->addWidget(momentBox);
    layout->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("~OK", QDialogButtonBox::AcceptRole);
    ok_->setObjectName("ButtonOk");
    ok_->setDefault(true);
    cancel_ = buttons->addButton("~Cancel", QDialogButtonBox::RejectRole);
    cancel_->setObjectName("ButtonCancel");
    layout->addWidget(buttons);

    ShowModel();
    // The handlers come after the fields show their first values.
    for (int axis = 0; axis < 3; ++axis) {
        center_[static_cast<size_t>(axis)]->OnChange = [this, axis](TFMU2Custom* field) {
            if (!showing_) model_.SetMassCenter(axis, field->Value());
        };
        moments_[static_cast<size_t>(axis)]->OnChange = [this, axis](TFMU2Custom* field) {
            if (!showing_) model_.SetMomentOfInertia(axis, field->Value());
        };
    }
    connect(worstCase_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.ChkBoxTrMoWorstCaseClick(checked);
        ShowModel();
    });
    connect(inertiaProgram_, &QPushButton::clicked, this, [this] {
        if (context_.Programs) context_.Programs->StartProgram(cInertiaProgramSection);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormMass::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormMass::reject);

    language_.Loaded();
    const std::string& code = context_.Language.LanguageDB().Language();
    if (!code.empty() && language_.LanguageDB().Language() != code)
        language_.LanguageDB().SetLanguage(code);
    // Made anew on every opening: its fields take the measurement system the user chose.
    if (context_.Settings && context_.Settings->Measure() == "1") SetSIUnitsAll(this, false);
    // The unit buttons of the page's fields end at one line.
    AlignUnitButtons(this);
}

TFormMass::~TFormMass() = default;

void TFormMass::ShowModel() {
    showing_ = true;
    worstCase_->setVisible(model_.WorstCaseVisible());
    worstCase_->setChecked(model_.WorstCase());
    const bool locked = model_.ReadOnly();
    const TVektor& c = model_.MassCenter();
    const double center[] = {c.X, c.Y, c.Z};
    for (size_t axis = 0; axis < 3; ++axis) {
        center_[axis]->SetValue(center[axis]);
        center_[axis]->SetReadOnly(locked);
        moments_[axis]->SetValue(model_.MomentOfInertia(static_cast<int>(axis)));
        moments_[axis]->SetReadOnly(locked);
    }
    showing_ = false;
}

void TFormMass::accept() {
    TVacuumApplication& app = context_.App;
    app.Input([&] { model_.Ok(); });
    QDialog::accept();
}
