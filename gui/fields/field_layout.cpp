#include "gui/fields/field_layout.h"

#include "gui/fields/fmu2_custom.h"

#include <algorithm>

#include <QEvent>
#include <QLabel>
#include <QToolButton>
#include <QWidget>

TUnitButtonAligner::TUnitButtonAligner(QWidget* form) : QObject(form) {
    setObjectName(QStringLiteral("unitButtonAligner"));
}

QWidget* TUnitButtonAligner::Form() const {
    return static_cast<QWidget*>(parent());
}

QList<TFMU2Custom*> TUnitButtonAligner::Fields() const {
    QList<TFMU2Custom*> list;
    for (const QPointer<TFMU2Custom>& field : fields_)
        if (field) list.append(field.data());
    return list;
}

bool TUnitButtonAligner::Belongs(const TFMU2Custom* field) const {
    const QWidget* form = Form();
    for (const QWidget* w = field->parentWidget(); w && w != form; w = w->parentWidget()) {
        if (w->isWindow()) return false;
        if (w->findChild<TUnitButtonAligner*>(QString(), Qt::FindDirectChildrenOnly)) return false;
    }
    return true;
}

void TUnitButtonAligner::Collect() {
    QWidget* form = Form();
    for (TFMU2Custom* field : form->findChildren<TFMU2Custom*>()) {
        if (!Belongs(field)) continue;
        const bool known = std::any_of(fields_.begin(), fields_.end(),
                                       [field](const QPointer<TFMU2Custom>& f) { return f == field; });
        if (known) continue;
        fields_.append(field);
        connect(field, &TFMU2Custom::unitButtonNeedChanged, this, &TUnitButtonAligner::Apply,
                Qt::UniqueConnection);
        connect(field, &QObject::destroyed, this, &TUnitButtonAligner::Apply, Qt::QueuedConnection);
        // Showing or hiding the field, or a group around it, changes which fields count.
        for (QWidget* w = field; w && w != form; w = w->parentWidget()) {
            if (watched_.contains(w)) continue;
            watched_.insert(w);
            w->installEventFilter(this);
            connect(w, &QObject::destroyed, this, [this, w] { watched_.remove(w); });
        }
    }
}

void TUnitButtonAligner::Align() {
    Collect();
    Apply();
}

void TUnitButtonAligner::Apply() {
    fields_.removeAll(nullptr);
    const QWidget* form = Form();
    int width = 0;
    for (const QPointer<TFMU2Custom>& field : fields_)
        if (field->isVisibleTo(form) && !field->UnitButton()->isHidden())
            width = std::max(width, field->UnitButtonNeed());
    width_ = width;
    for (const QPointer<TFMU2Custom>& field : fields_) field->SetUnitButtonFormWidth(width);
}

bool TUnitButtonAligner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) Apply();
    return QObject::eventFilter(watched, event);
}

TUnitButtonAligner* AlignUnitButtons(QWidget* form) {
    auto* aligner = form->findChild<TUnitButtonAligner*>(QString(), Qt::FindDirectChildrenOnly);
    if (!aligner) aligner = new TUnitButtonAligner(form);
    aligner->Align();
    return aligner;
}

QLabel* FieldLabel(const QString& text, TFMU2Custom* field) {
    auto* label = new QLabel(text, field->parentWidget());
    label->setBuddy(field);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

int TextLineCentre(const TFMU2Custom* field, const QWidget* widget) {
    return field->mapTo(widget, field->TextRect().center()).y();
}
