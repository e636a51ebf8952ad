#include "gui/fields/fmu2_spin_edit.h"

#include "gui/lang/qt_translators.h"

#include <memory>

#include <QContextMenuEvent>
#include <QApplication>
#include <QClipboard>

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

// Auto-repeat of a held spin button: the first repeat after this delay, then at this
// interval, until the button is released.
constexpr int cSpinRepeatDelayMs = 200;
constexpr int cSpinRepeatIntervalMs = 100;

// One notch of a common mouse wheel, in eighths of a degree.
constexpr int cWheelNotch = 120;

// Keys that change the text without typing a character; refused while the editor is off.
bool EditsWithoutCharacter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste) ||
           event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
           event->matches(QKeySequence::Redo) || event->matches(QKeySequence::DeleteEndOfWord) ||
           event->matches(QKeySequence::DeleteStartOfWord) ||
           event->matches(QKeySequence::DeleteEndOfLine) ||
           event->matches(QKeySequence::DeleteCompleteLine);
}

// A key combination for a command (Ctrl+A, Ctrl+C) rather than a typed character. Ctrl
// together with Alt is AltGr on some systems, which types characters; so does Alt alone
// as far as the line edit is concerned.
bool IsShortcut(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::MetaModifier) return true;
    return (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
}

// The spin buttons' hint is a language key.
void RegisterSpinEditTranslator() {
    static const auto translator = std::make_unique<TQtTranslator>(
        [](QObject* o) { return qobject_cast<TFMU2SpinEdit*>(o) != nullptr; },
        std::vector<TQtTranslator::TProperty>{
            {"IncHint", [](QObject* o) { return static_cast<TFMU2SpinEdit*>(o)->IncHint(); },
             [](QObject* o, const QString& t) { static_cast<TFMU2SpinEdit*>(o)->SetIncHint(t); }}});
}

// A spin button half as high as the edit. The tool button would fit its arrow into what
// its margins leave of that; this one draws the button as the style does and the arrow
// over all of it but a pixel's border, as large as the style draws arrows.
class TSpinButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        const Qt::ArrowType arrow = option.arrowType;
        option.arrowType = Qt::NoArrow;
        option.features &= ~QStyleOptionToolButton::Arrow;
        option.text.clear();
        option.icon = QIcon();
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
        QStyleOption glyph;
        glyph.initFrom(this);
        glyph.state = option.state;
        glyph.rect = rect().adjusted(1, 1, -1, -1);
        painter.drawPrimitive(arrow == Qt::UpArrow ? QStyle::PE_IndicatorArrowUp
                                                   : QStyle::PE_IndicatorArrowDown,
                              glyph);
    }
};

} // namespace

// --- TFMU2Edit ----------------------------------------------------------------------------

TFMU2Edit::TFMU2Edit(TFMU2SpinEdit* field) : QLineEdit(field), field_(field) {}

QSize TFMU2Edit::sizeHint() const {
    QSize size = QLineEdit::sizeHint();
    if (field_->spinBox_ && field_->spinBox_->isHidden())
        size.rwidth() += TFMU2Custom::cSpinButtonWidth;
    return size;
}

QSize TFMU2Edit::minimumSizeHint() const {
    QSize size = QLineEdit::minimumSizeHint();
    if (field_->spinBox_ && field_->spinBox_->isHidden())
        size.rwidth() += TFMU2Custom::cSpinButtonWidth;
    return size;
}

QMenu* TFMU2Edit::CreateContextMenu() {
    // The edit commands of the program's Edit menu; those that change the text only while
    // the field's editor is enabled.
    auto* menu = new QMenu(this);
    const bool editable = field_->EditorEnabled() && !isReadOnly();
    const bool selected = hasSelectedText();
    auto add = [&](const char* key, const char* name, auto slot, bool enabled) {
        QAction* action = menu->addAction(field_->Translated(key), this, slot);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
    };
    add("~Undo", "edit-undo", &QLineEdit::undo, editable && isUndoAvailable());
    menu->addSeparator();
    add("~Cut", "edit-cut", &QLineEdit::cut, editable && selected);
    add("~Copy", "edit-copy", &QLineEdit::copy, selected);
    const QClipboard* clipboard = QApplication::clipboard();
    add("~Paste", "edit-paste", &QLineEdit::paste, editable && clipboard && !clipboard->text().isEmpty());
    return menu;
}

void TFMU2Edit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void TFMU2Edit::keyPressEvent(QKeyEvent* event) {
    TFMU2Model& model = field_->Model();
    switch (event->key()) {
    case Qt::Key_Up:
        model.SpinUp();
        event->accept();
        return;
    case Qt::Key_Down:
        model.SpinDown();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Not a character of the number: the line edit passes it on to the form (default
        // button). The text was taken while it was typed.
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }

    if (!model.EditorEnabled() && EditsWithoutCharacter(event)) {
        field_->Beep();
        event->accept();
        return;
    }

    // Every character the key types goes through the field's filter; one refusal drops the
    // key. Keys without a character (cursor movement, delete) are the line edit's.
    if (event->key() == Qt::Key_Backspace) {
        if (!model.FilterKey(U'\b')) {
            event->accept();
            return;
        }
    } else if (event->key() != Qt::Key_Delete && !IsShortcut(event)) {
        const QList<uint> characters = event->text().toUcs4();
        for (uint ch : characters) {
            if (ch == 0x7F) continue;
            if (!model.FilterKey(static_cast<char32_t>(ch))) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TFMU2Edit::wheelEvent(QWheelEvent* event) {
    field_->Wheel(event);
}

// --- TFMU2SpinEdit ------------------------------------------------------------------------

TFMU2SpinEdit::TFMU2SpinEdit(QWidget* parent) : TFMU2Custom(parent) {
    RegisterSpinEditTranslator();
    edit_ = new TFMU2Edit(this);
    edit_->setObjectName(QStringLiteral("edit"));
    edit_->setMaxLength(32767);
    setFocusProxy(edit_);
    connect(edit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { Model().EditChange(text.toStdString()); });

    spinBox_ = new QWidget(this);
    auto* column = new QVBoxLayout(spinBox_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    upButton_ = MakeSpinButton(Qt::UpArrow, "upButton");
    downButton_ = MakeSpinButton(Qt::DownArrow, "downButton");
    column->addWidget(upButton_);
    column->addWidget(downButton_);
    connect(upButton_, &QToolButton::clicked, this, [this] { SpinUp(); });
    connect(downButton_, &QToolButton::clicked, this, [this] { SpinDown(); });

    incrementMenu_ = new QMenu(this);
    for (const TFMU2MenuItem& item : Model().IncrementMenu()) {
        QAction* action = incrementMenu_->addAction(QString::fromStdString(item.Caption));
        action->setData(item.Tag);
        action->setCheckable(true);
    }
    connect(incrementMenu_, &QMenu::triggered, this, [this](QAction* action) {
        Model().IncrementMenuClick(action->data().toInt());
        UpdateIncrementMenu();
    });

    // The spin buttons' hint is IncHint, which the translators bind on the field.
    SetLanguageInner(spinBox_);
    SetLanguageInner(incrementMenu_);

    Arrange();
    ApplyColors();
    ShowModel();
}

QToolButton* TFMU2SpinEdit::MakeSpinButton(Qt::ArrowType arrow, const char* name) {
    auto* button = new TSpinButton(spinBox_);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    // The two buttons share the edit's height, one above the other (FitRow).
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setFixedWidth(cSpinButtonWidth);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(cSpinRepeatDelayMs);
    button->setAutoRepeatInterval(cSpinRepeatIntervalMs);
    // Pressing a spin button puts the focus into the edit, where the arrow keys go on.
    connect(button, &QToolButton::pressed, this, [this] {
        if (edit_->isEnabled() && edit_->isVisible() && edit_->focusPolicy() != Qt::NoFocus)
            edit_->setFocus(Qt::MouseFocusReason);
    });
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QWidget::customContextMenuRequested, this, [this, button](const QPoint& pos) {
        UpdateIncrementMenu();
        incrementMenu_->popup(button->mapToGlobal(pos));
    });
    return button;
}

void TFMU2SpinEdit::Arrange() {
    QHBoxLayout* row = Row();
    while (row->count() > 0) delete row->takeAt(0);
    row->addWidget(edit_, 1);
    if (alignMU_ == aMULeft) {
        row->addWidget(UnitButton());
        row->addWidget(spinBox_);
    } else {
        row->addWidget(spinBox_);
        row->addWidget(UnitButton());
    }
}

QStringList TFMU2SpinEdit::Increments() const {
    QStringList list;
    for (const std::string& s : Model().Increments()) list.append(QString::fromStdString(s));
    return list;
}

void TFMU2SpinEdit::SetIncrements(const QStringList& increments) {
    std::vector<std::string> list;
    list.reserve(static_cast<size_t>(increments.size()));
    for (const QString& s : increments) list.push_back(s.toStdString());
    Model().SetIncrements(std::move(list));
}

void TFMU2SpinEdit::SetIncHint(const QString& hint) {
    incHint_ = hint;
    upButton_->setToolTip(hint);
    downButton_->setToolTip(hint);
}

void TFMU2SpinEdit::SetMaxLength(int length) {
    maxLength_ = length;
    edit_->setMaxLength(length > 0 ? length : 32767);
}

void TFMU2SpinEdit::SetReadOnly(bool b) {
    Model().SetReadOnly(b);
    edit_->setReadOnly(b);
    spinBox_->setVisible(!b);
    // The edit's own width follows the spin buttons' room.
    edit_->updateGeometry();
    ApplyColors();
}

void TFMU2SpinEdit::SetAlignMU(TMUAlign align) {
    if (align == alignMU_) return;
    alignMU_ = align;
    Arrange();
}

void TFMU2SpinEdit::SetColorInvalid(const QColor& color) {
    colorInvalid_ = color;
    ApplyColors();
}

QString TFMU2SpinEdit::DisplayText() const {
    return edit_->text();
}

QRect TFMU2SpinEdit::TextRect() const {
    return edit_->geometry();
}

int TFMU2SpinEdit::LineHeight() const {
    return edit_ ? edit_->sizeHint().height() : 0;
}

void TFMU2SpinEdit::FitRow(int height) {
    TFMU2Custom::FitRow(height);
    if (!spinBox_) return;
    // Up takes the odd pixel, so that the two meet at the edit's middle or just below it.
    edit_->setFixedHeight(height);
    spinBox_->setFixedHeight(height);
    upButton_->setFixedHeight(height - height / 2);
    downButton_->setFixedHeight(height / 2);
}

QMenu* TFMU2SpinEdit::IncrementMenu() {
    UpdateIncrementMenu();
    return incrementMenu_;
}

void TFMU2SpinEdit::UpdateIncrementMenu() {
    const std::vector<TFMU2MenuItem> items = Model().IncrementMenu();
    const QList<QAction*> actions = incrementMenu_->actions();
    for (qsizetype i = 0; i < actions.size() && i < static_cast<qsizetype>(items.size()); ++i)
        actions[i]->setChecked(items[static_cast<size_t>(i)].Checked);
}

void TFMU2SpinEdit::ShowText(const std::string& text) {
    if (!edit_) return;
    const QString shown = QString::fromStdString(text);
    // setText does not raise textEdited, so the model does not read its own text back.
    if (edit_->text() != shown) edit_->setText(shown);
}

void TFMU2SpinEdit::UpdateButtons() {
    TFMU2Custom::UpdateButtons();
    if (!upButton_ || !downButton_) return;
    upButton_->setEnabled(Model().SpinUpEnabled());
    downButton_->setEnabled(Model().SpinDownEnabled());
}

void TFMU2SpinEdit::ValidChanged(bool /*valid*/) {
    ApplyColors();
}

void TFMU2SpinEdit::ApplyColors() {
    if (!edit_) return;
    // Built on the field's own palette, so that a palette given to the field still shows.
    QPalette colors = palette();
    if (!Model().Valid()) colors.setColor(QPalette::Text, colorInvalid_);
    if (Model().ReadOnly()) colors.setColor(QPalette::Base, colors.color(QPalette::Button));
    edit_->setPalette(colors);
}

void TFMU2SpinEdit::HintChanged() {
    edit_->setToolTip(Hint());
}

void TFMU2SpinEdit::changeEvent(QEvent* event) {
    TFMU2Custom::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) ApplyColors();
}

void TFMU2SpinEdit::wheelEvent(QWheelEvent* event) {
    Wheel(event);
}

void TFMU2SpinEdit::Wheel(QWheelEvent* event) {
    // Fine-grained wheels send parts of a notch; they add up to whole spins.
    wheelDelta_ += event->angleDelta().y();
    while (wheelDelta_ >= cWheelNotch) {
        wheelDelta_ -= cWheelNotch;
        SpinUp();
    }
    while (wheelDelta_ <= -cWheelNotch) {
        wheelDelta_ += cWheelNotch;
        SpinDown();
    }
    event->accept();
}
