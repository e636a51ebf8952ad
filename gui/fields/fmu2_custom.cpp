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
#include <QStyleOptionToolButton>
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
             [](QObject* o, const QString& text) { static_cast<TFMU2Custom*>(o)->SetMUHint(text); }}});
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
    // As wide as the units need (or the form gives), as high as the text box.
    unitButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
    FitLine();
}

void TFMU2Custom::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        model_.SetEnabled(isEnabled());
        UpdateButtons();
    } else if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        // The children have the new font or style by now.
        UpdateUnitButton();
        FitLine();
    }
    QWidget::changeEvent(event);
}

bool TFMU2Custom::event(QEvent* event) {
    const bool done = QWidget::event(event);
    // A style sheet or the style's polish may change the text box's height.
    if (event->type() == QEvent::Polish) {
        UpdateUnitButton();
        FitLine();
    }
    return done;
}

void TFMU2Custom::FitRow(int height) {
    unitButton_->setFixedHeight(height);
}

void TFMU2Custom::FitLine() {
    const int height = LineHeight();
    if (height > 0) FitRow(height);
}

void TFMU2Custom::NextUnit() {
    model_.NextUnit();
}

void TFMU2Custom::SetUnitNote(const QString& note) {
    if (note == unitNote_) return;
    unitNote_ = note;
    UpdateUnitButton();
}

void TFMU2Custom::SetMUMinWidth(int width) {
    muMinWidth_ = width;
    UpdateUnitButton();
}

void TFMU2Custom::SetUnitButtonFormWidth(int width) {
    unitFormWidth_ = std::max(0, width);
    ApplyUnitButtonWidth();
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
    const QString caption = QString::fromStdString(model_.UnitCaption());
    // A count has one unit without a symbol, and a plain number (a factor, a price) has no
    // unit: a button would be a blank box offering nothing, so it is hidden and keeps its
    // room, and the field ends where the others of its form do. A note (a price's currency)
    // stands in that room instead, on a button that offers nothing and takes no clicks.
    const bool unitless =
        !model_.UnitButtonVisible() || (caption.isEmpty() && OfferedUnits() <= 1);
    const bool noted = unitless && !unitNote_.isEmpty();
    const bool blank = unitless && !noted;
    QSizePolicy policy = unitButton_->sizePolicy();
    if (policy.retainSizeWhenHidden() != blank) {
        policy.setRetainSizeWhenHidden(blank);
        unitButton_->setSizePolicy(policy);
    }
    unitButton_->setVisible(!blank);
    unitButton_->setAttribute(Qt::WA_TransparentForMouseEvents, noted);
    unitButton_->setText(noted ? unitNote_ : caption);
    QString hint = noted ? QString() : QString::fromStdString(model_.UnitButtonHint());
    hint.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    unitButton_->setToolTip(hint);

    const int need = MeasureUnitButton();
    const bool shown = !unitButton_->isHidden();
    const bool changed = need != unitNeed_ || shown != unitShown_;
    unitNeed_ = need;
    unitShown_ = shown;
    ApplyUnitButtonWidth();
    if (changed) emit unitButtonNeedChanged();
}

int TFMU2Custom::OfferedUnits() const {
    const std::vector<TFMU2MenuItem> menu = model_.UnitMenu();
    int n = 0;
    for (size_t i = TFMU2Model::cUnitMenuFirstUnit; i < menu.size(); ++i) n += menu[i].Visible;
    return n;
}

int TFMU2Custom::MeasureUnitButton() const {
    // Wide enough for every unit the menu offers, so that cycling does not jump the layout:
    // the width the style gives a tool button with the widest of the texts, computed as
    // the tool button computes its own size hint.
    const QFontMetrics metrics = unitButton_->fontMetrics();
    QStyleOptionToolButton option;
    option.initFrom(unitButton_);
    option.subControls = QStyle::SC_ToolButton;
    option.toolButtonStyle = Qt::ToolButtonTextOnly;
    option.font = unitButton_->font();
    int need = muMinWidth_;
    auto measure = [&](const QString& caption) {
        option.text = caption;
        QSize text = metrics.size(Qt::TextShowMnemonic, option.text);
        text.setWidth(text.width() + 2 * metrics.horizontalAdvance(QLatin1Char(' ')));
        option.rect.setSize(text);
        const QSize size =
            unitButton_->style()->sizeFromContents(QStyle::CT_ToolButton, &option, text, unitButton_);
        need = std::max(need, size.width());
    };
    const std::vector<TFMU2MenuItem> menu = model_.UnitMenu();
    for (size_t i = TFMU2Model::cUnitMenuFirstUnit; i < menu.size(); ++i)
        if (menu[i].Visible) measure(Translated(menu[i].Caption));
    if (!unitNote_.isEmpty()) measure(unitNote_);
    return need;
}

void TFMU2Custom::ApplyUnitButtonWidth() {
    const int width = std::max(unitNeed_, unitFormWidth_);
    if (unitButton_->minimumWidth() != width || unitButton_->maximumWidth() != width)
        unitButton_->setFixedWidth(width);
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
