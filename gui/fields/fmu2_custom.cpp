#include "gui/fields/fmu2_custom.h"

#include "gui/lang/qt_translators.h"

#include <algorithm>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

QString TFMU2Custom::Translated(const std::string& caption) const {
    if (!caption.empty() && caption.front() == '~')
        return QString::fromStdString(TranslateOrKey(translate_, caption));
    return QString::fromStdString(caption);
}

namespace {

// The unit button's hint is a language key; the unit part before it is the field's own.
void RegisterFieldTranslator() {
    static const auto translator = std::make_unique<TQtTranslator>(
        [](QObject* o) { return qobject_cast<TFMU2Custom*>(o) != nullptr; },
        std::vector<TQtTranslator::TProperty>{
            {"MUHint", [](QObject* o) { return static_cast<TFMU2Custom*>(o)->MUHint(); },
             [](QObject* o, const QString& t) { static_cast<TFMU2Custom*>(o)->SetMUHint(t); }}});
}

} // namespace

TFMU2Custom::TFMU2Custom(QWidget* parent) : QWidget(parent), model_(this) {
    RegisterFieldTranslator();
    // No loading state: the field is live from here on.
    model_.SetEnabled(isEnabled());
    model_.OnChange = [this] {
        if (OnChange) OnChange(this);
        emit changed();
    };
    model_.OnUnitChange = [this](bool si) {
        if (OnUnitChange) OnUnitChange(this, si);
        emit unitChanged(si);
    };
    model_.OnChangeValid = [this] {
        if (OnChangeValid) OnChangeValid(this);
        emit validChanged();
    };

    // One line high, as wide as the layout gives.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(0);

    unitButton_ = new QToolButton(this);
    unitButton_->setObjectName(QStringLiteral("unitButton"));
    unitButton_->setFocusPolicy(Qt::NoFocus);
    unitButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    // A click cycles through the units; the menu of every unit opens as the button's
    // context menu.
    unitButton_->setContextMenuPolicy(Qt::CustomContextMenu);
    unitMenu_ = new QMenu(this);
    unitMenu_->setToolTipsVisible(true);
    // Their texts are composed from the field's properties, which the translators bind.
    SetLanguageInner(unitButton_);
    SetLanguageInner(unitMenu_);
    connect(unitButton_, &QToolButton::clicked, this, [this] { NextUnit(); });
    connect(unitButton_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateUnitMenu();
        unitMenu_->popup(unitButton_->mapToGlobal(pos));
    });
    connect(unitMenu_, &QMenu::triggered, this, &TFMU2Custom::UnitMenuTriggered);
}

TFMU2Custom::~TFMU2Custom() {
    // The model must not call back into a half-destroyed widget.
    model_.SetView(nullptr);
    model_.OnChange = nullptr;
    model_.OnUnitChange = nullptr;
    model_.OnChangeValid = nullptr;
}

void TFMU2Custom::ShowModel() {
    model_.ShowText();
    ShowUnits();
    UpdateButtons();
}

void TFMU2Custom::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        model_.SetEnabled(isEnabled());
        UpdateButtons();
    } else if (event->type() == QEvent::FontChange) {
        UpdateUnitButton();
    }
    QWidget::changeEvent(event);
}

void TFMU2Custom::NextUnit() {
    model_.NextUnit();
}

void TFMU2Custom::SetMUMinWidth(int width) {
    muMinWidth_ = width;
    UpdateUnitButton();
}

void TFMU2Custom::SetHint(const QString& hint) {
    hint_ = hint;
    HintChanged();
}

QMenu* TFMU2Custom::UnitMenu() {
    UpdateUnitMenu();
    return unitMenu_;
}

void TFMU2Custom::UpdateButtons() {
    unitButton_->setEnabled(model_.UnitButtonEnabled());
}

void TFMU2Custom::ShowUnits() {
    UpdateUnitButton();
    UpdateUnitMenu();
}

void TFMU2Custom::Beep() {
    if (OnBeep)
        OnBeep(this);
    else
        QApplication::beep();
    emit beeped();
}

void TFMU2Custom::UpdateUnitButton() {
    unitButton_->setVisible(model_.UnitButtonVisible());
    unitButton_->setText(QString::fromStdString(model_.UnitCaption()));
    QString hint = QString::fromStdString(model_.UnitButtonHint());
    hint.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    unitButton_->setToolTip(hint);

    // Wide enough for every unit the menu offers, so that cycling does not jump the layout.
    const QFontMetrics metrics = unitButton_->fontMetrics();
    int widest = 0;
    const std::vector<TFMU2MenuItem> menu = model_.UnitMenu();
    for (size_t i = TFMU2Model::cUnitMenuFirstUnit; i < menu.size(); ++i)
        if (menu[i].Visible)
            widest = std::max(widest, metrics.horizontalAdvance(Translated(menu[i].Caption)));
    const int frame = 2 * unitButton_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    unitButton_->setFixedWidth(std::max(muMinWidth_, widest + 4 + frame));
}

void TFMU2Custom::UpdateUnitMenu() {
    const std::vector<TFMU2MenuItem> items = model_.UnitMenu();
    QList<QAction*> actions = unitMenu_->actions();
    if (actions.size() != static_cast<qsizetype>(items.size())) {
        // Another quantity. The old entries may belong to the click being handled, so they
        // go only once control is back in the event loop.
        for (QAction* action : actions) {
            unitMenu_->removeAction(action);
            action->deleteLater();
        }
        actions.clear();
        for (size_t i = 0; i < items.size(); ++i) {
            QAction* action = new QAction(unitMenu_);
            action->setData(static_cast<int>(i));
            unitMenu_->addAction(action);
            actions.append(action);
        }
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const TFMU2MenuItem& item = items[i];
        QAction* action = actions[static_cast<qsizetype>(i)];
        const bool separator = item.Caption == "-";
        action->setSeparator(separator);
        if (!separator) {
            action->setText(Translated(item.Caption));
            action->setToolTip(QString::fromStdString(item.Hint));
            action->setStatusTip(QString::fromStdString(item.Hint));
            action->setCheckable(true);
            action->setChecked(item.Checked);
        }
        action->setVisible(item.Visible);
    }
}

void TFMU2Custom::UnitMenuTriggered(QAction* action) {
    bool ok = false;
    const int entry = action->data().toInt(&ok);
    if (ok) model_.UnitMenuClick(entry);
    // The toolkit toggled the entry; the model decides what is checked.
    UpdateUnitMenu();
}

void SetSIUnitsAll(QWidget* root, bool si) {
    if (!root) return;
    if (auto* field = qobject_cast<TFMU2Custom*>(root)) field->Model().ApplySIUnitsAll(si);
    // Fields nested in panels and group boxes are reached as well, in creation order.
    const QList<TFMU2Custom*> fields = root->findChildren<TFMU2Custom*>();
    for (TFMU2Custom* field : fields) field->Model().ApplySIUnitsAll(si);
}

void SetSIUnitsAll(bool si) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        // A window with a parent window is reached through that parent.
        if (window->parentWidget()) continue;
        SetSIUnitsAll(window, si);
    }
}
