#include "gui/lang/language_dlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// Between the buttons.
constexpr int kSpacing = 6;
// Between the notebook and the button row: what the window's height leaves once the
// radio buttons have the margin inside their frame.
constexpr int kButtonRowGap = 10;
// Space below the notebook: the gap, the button row and the bottom margin.
constexpr int kButtonArea = kButtonRowGap + kButtonHeight + TLanguageDlg::cMargin;

QPixmap FlagPixmap(const TLanguageDialog32Bit& dialog, int row) {
    std::span<const uint8_t> bytes;
    if (!dialog.FlagOf(row, bytes) || bytes.empty()) return {};
    const QImage image = QImage::fromData(QByteArrayView(
        reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

} // namespace

// --- TLanguageFlagDelegate ---

TLanguageFlagDelegate::TLanguageFlagDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TLanguageFlagDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // The background and selection highlight as the style draws them, without its text.
    opt.text.clear();
    opt.icon = QIcon();
    opt.features &= ~QStyleOptionViewItem::HasDecoration;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QRect r = option.rect;
    painter->save();
    const QPixmap flag = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
    if (!flag.isNull())
        painter->drawPixmap(r.left() + 2, r.top() + (r.height() - flag.height()) / 2, flag);
    const int x = r.left() + 2 + flagSlot_ + 4;
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(option.state & QStyle::State_Enabled ? QPalette::Normal
                                                                              : QPalette::Disabled,
                                         selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(x, r.top(), std::max(0, r.right() - x), r.height());
    const QString name = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                       Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, name);
    painter->restore();
}

QSize TLanguageFlagDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    const int text = option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
    return {2 + flagSlot_ + 4 + text + 4, cEntryHeight};
}

// --- TLanguageDlg ---

TLanguageDlg::TLanguageDlg(TLanguageDialog32Bit& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog), model_(dialog), language_(this) {
    setWindowTitle(QStringLiteral("Select your language"));

    notebook_ = new QStackedWidget(this);
    auto* listPage = new QWidget(notebook_);
    list_ = new QComboBox(listPage);
    list_->setFixedHeight(cListHeight);
    delegate_ = new TLanguageFlagDelegate(list_);
    list_->setItemDelegate(delegate_);
    list_->setGeometry(0, 0, 100, cListHeight);
    notebook_->addWidget(listPage);

    radioPanel_ = new QFrame(notebook_);
    static_cast<QFrame*>(radioPanel_)->setFrameShape(QFrame::StyledPanel);
    radioPanel_->installEventFilter(this);
    radioGroup_ = new QButtonGroup(this);
    notebook_->addWidget(radioPanel_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    help_ = new QPushButton(QStringLiteral("Help"), this);
    help_->setAutoDefault(false);
    cancel_->setAutoDefault(false);

    connect(ok_, &QPushButton::clicked, this, &TLanguageDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &TLanguageDlg::reject);
    connect(help_, &QPushButton::clicked, this, [this] { model_.Help(); });
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (!filling_ && list_->isEnabled() && row >= 0) Choose(row);
    });
    connect(radioGroup_, &QButtonGroup::idClicked, this, [this](int row) {
        if (radioPanel_->isEnabled()) Choose(row);
    });

    // The preview switches this window's own database only (group -1). An empty code has
    // nothing to preview: the window stays in the language it shows.
    language_.LanguageDB().SetGroup(-1);
    model_.PreviewLanguage = [this](const std::string& code) {
        if (!code.empty()) language_.LanguageDB().SetLanguage(code);
    };

    language_.Bind(ok_, "Caption", QStringLiteral("~OK"));
    language_.Bind(cancel_, "Caption", QStringLiteral("~Cancel"));
    language_.Bind(help_, "Caption", QStringLiteral("~Help"));

    resize(cFormWidth, TLanguageDlgModel::cBaseHeight);
    language_.Loaded();
}

TLanguageDlg::~TLanguageDlg() = default;

void TLanguageDlg::Initialise() {
    language_.Bind(this, "Caption", QString::fromStdString(dialog_.Title));
    model_.Initialise();

    notebook_->setCurrentIndex(model_.Page());
    list_->setEnabled(model_.ListEnabled());
    radioPanel_->setEnabled(model_.RadioEnabled());
    if (model_.Page() == 0)
        FillList();
    else
        CreateRadioButtons();

    help_->setVisible(model_.HelpVisible());
    cancel_->setEnabled(model_.CancelEnabled());
    UpdateButtons();
    setFixedSize(cFormWidth, model_.FormHeight());
    LayoutForm();
}

void TLanguageDlg::FillList() {
    filling_ = true;
    list_->clear();
    QSize flagSize(0, 0);
    for (int row = 0; row < dialog_.RowCount(); ++row) {
        list_->addItem(QString::fromStdString(dialog_.NameOf(row)));
        const QPixmap flag = FlagPixmap(dialog_, row);
        if (!flag.isNull()) {
            list_->setItemData(row, flag, Qt::DecorationRole);
            flagSize = flagSize.expandedTo(flag.size());
        }
    }
    if (!flagSize.isEmpty()) {
        delegate_->SetFlagSlot(flagSize.width());
        list_->setIconSize(flagSize);
    }
    list_->setCurrentIndex(model_.CurrentRow());
    filling_ = false;
}

void TLanguageDlg::CreateRadioButtons() {
    qDeleteAll(radios_);
    radios_.clear();
    for (int row = 0; row < dialog_.RowCount(); ++row) {
        auto* radio = new QRadioButton(QString::fromStdString(dialog_.NameOf(row)), radioPanel_);
        radioGroup_->addButton(radio, row);
        radio->setChecked(row == model_.CurrentRow());
        radios_.push_back(radio);
    }
    LayoutRadioButtons();
}

void TLanguageDlg::Choose(int row) {
    model_.Choose(row);
    UpdateButtons();
}

void TLanguageDlg::UpdateButtons() {
    ok_->setEnabled(model_.OkEnabled());
}

void TLanguageDlg::accept() {
    if (!model_.OkEnabled()) return;
    model_.Ok();
    QDialog::accept();
}

void TLanguageDlg::reject() {
    if (!model_.CancelEnabled()) return;
    model_.Cancel();
    QDialog::reject();
}

void TLanguageDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutForm();
}

bool TLanguageDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == radioPanel_ && event->type() == QEvent::Resize) LayoutRadioButtons();
    return QDialog::eventFilter(watched, event);
}

void TLanguageDlg::LayoutForm() {
    // One margin all round: the notebook and the button row keep it from the window's
    // edges, the radio buttons from the inside of their frame.
    const int w = width(), h = height();
    notebook_->setGeometry(cMargin, cMargin, std::max(0, w - 2 * cMargin),
                           std::max(0, h - cMargin - kButtonArea));
    // The list spans the notebook, its edges on the radio panel's frame.
    list_->setGeometry(0, 0, notebook_->width(), cListHeight);
    // The buttons right-aligned in the row below, the hidden ones leaving no gap.
    int x = w - cMargin;
    const int y = h - cMargin - kButtonHeight;
    for (QPushButton* b : {help_, cancel_, ok_}) {
        if (b->isHidden()) continue;
        x -= kButtonWidth;
        b->setGeometry(x, y, kButtonWidth, kButtonHeight);
        x -= kSpacing;
    }
}

void TLanguageDlg::LayoutRadioButtons() {
    const QRect inside = radioPanel_->contentsRect().adjusted(cMargin, cMargin, -cMargin, -cMargin);
    for (int i = 0; i < radios_.size(); ++i) {
        const auto r = TLanguageDlgModel::RadioRect(i, inside.width());
        radios_[i]->setGeometry(inside.left() + r.Left, inside.top() + r.Top, r.Width, r.Height);
    }
}

bool ExecuteLanguageDialog(TLanguageDialog32Bit& dialog, QWidget* parent) {
    TLanguageDlg form(dialog, parent);
    form.Initialise();
    return form.exec() == QDialog::Accepted;
}
