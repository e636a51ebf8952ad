#include "gui/fields/fmu2_panel.h"

#include <algorithm>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

namespace {

// What a line edit leaves between its frame and its text, left and right, and above and
// below.
constexpr int cEditTextMarginX = 2;
constexpr int cEditTextMarginY = 1;

// The panel's box: drawn as a read-only edit is, the style's edit panel in the button face
// colour, so that a panel looks like the read-only entry fields beside it. The style draws
// that frame closed on every side at any device pixel ratio, which a plain frame of a label
// is not (at 1.5 its top and left lines fall between device pixels). The box is as wide as
// an edit with its spin buttons and as high as an edit, whatever number it shows.
class TPanelBox : public QLabel {
public:
    explicit TPanelBox(QWidget* parent) : QLabel(parent) {
        setFrameStyle(QFrame::NoFrame);
        UpdateMargins();
    }

    void InitFrameOption(QStyleOptionFrame* option) const {
        option->initFrom(this);
        option->rect = rect();
        option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
        option->midLineWidth = 0;
        option->state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
        option->features = QStyleOptionFrame::None;
        option->palette.setColor(QPalette::Base, option->palette.color(QPalette::Button));
    }

    // The size a line edit in this font and style asks for around a text of `text`.
    QSize EditSize(const QSize& text) const {
        QStyleOptionFrame option;
        InitFrameOption(&option);
        return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
    }

    QSize sizeHint() const override {
        ensurePolished();
        // As a line edit measures itself: seventeen x wide, the font's line (at least 14)
        // high, with the margins around the text; then the spin buttons' room.
        const QFontMetrics metrics = fontMetrics();
        const QSize text(metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * cEditTextMarginX,
                         std::max(metrics.height(), 14) + 2 * cEditTextMarginY);
        return WithNumber(EditSize(text) + QSize(TFMU2Custom::cSpinButtonWidth, 0));
    }

    QSize minimumSizeHint() const override {
        ensurePolished();
        // A line edit's smallest: room for its widest character.
        const QFontMetrics metrics = fontMetrics();
        const QSize text(metrics.maxWidth() + 2 * cEditTextMarginX,
                         metrics.height() + std::max(2 * cEditTextMarginY, metrics.leading()));
        return WithNumber(EditSize(text) + QSize(TFMU2Custom::cSpinButtonWidth, 0));
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            QStyleOptionFrame option;
            InitFrameOption(&option);
            style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
        }
        // The text (and a selection) over it, within the margins.
        QLabel::paintEvent(event);
    }

    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
            UpdateMargins();
    }

private:
    // `size`, widened where the number shown would not fit: a cut number would show its
    // last digits as if they were all.
    QSize WithNumber(QSize size) const {
        const QMargins margins = contentsMargins();
        const int need = fontMetrics().horizontalAdvance(text()) + margins.left() + margins.right();
        size.setWidth(std::max(size.width(), need));
        return size;
    }

    // The text stands where a line edit puts its own: inside the frame the style draws,
    // with the edit's margins.
    void UpdateMargins() {
        QStyleOptionFrame option;
        InitFrameOption(&option);
        option.rect = QRect(0, 0, 200, 100);
        const QRect text = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        const QMargins margins(text.left() + cEditTextMarginX, text.top() + cEditTextMarginY,
                               option.rect.right() - text.right() + cEditTextMarginX,
                               option.rect.bottom() - text.bottom() + cEditTextMarginY);
        if (contentsMargins() != margins) setContentsMargins(margins);
    }
};

} // namespace

TFMU2Panel::TFMU2Panel(QWidget* parent) : TFMU2Custom(parent) {
    panel_ = new TPanelBox(this);
    panel_->setObjectName(QStringLiteral("panel"));
    panel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The box takes the room an entry field gives its edit and spin buttons.
    panel_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Row()->addWidget(panel_, 1);
    Row()->addWidget(UnitButton());
    // Nothing is typed here; the model refuses edits all the same.
    Model().SetReadOnly(true);
    ShowModel();
}

QString TFMU2Panel::DisplayText() const {
    return panel_->text();
}

QRect TFMU2Panel::TextRect() const {
    return panel_->geometry();
}

int TFMU2Panel::LineHeight() const {
    if (!panel_) return 0;
    // The height of a line edit in the panel's font and style.
    return panel_->sizeHint().height();
}

void TFMU2Panel::FitRow(int height) {
    TFMU2Custom::FitRow(height);
    if (panel_) panel_->setFixedHeight(height);
}

void TFMU2Panel::ShowText(const std::string& text) {
    if (panel_) panel_->setText(QString::fromStdString(text));
}

void TFMU2Panel::HintChanged() {
    panel_->setToolTip(Hint());
}
