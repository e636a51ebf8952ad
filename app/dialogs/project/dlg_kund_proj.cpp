#include "app/dialogs/project/dlg_kund_proj.h"

#include "app/platform/help_viewer.h"
#include "core/workflow/vacuum_application.h"
#include "gui/lang/qt_translators.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

// Lines of text a memo shows without scrolling.
constexpr int kAddressLines = 5;
constexpr int kRemarksLines = 12;

} // namespace

TDlg_Kund_Proj::TDlg_Kund_Proj(TVacuumApplication& app, IHelpViewer* help,
                               const std::string& languageCode, QWidget* parent)
    : QDialog(parent), app_(app), help_(help), model_(app.Document), language_(this) {
    setObjectName("Dlg_Kund_Proj");
    setWindowTitle("~ProjectDescription");

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("TabControl");
    for (int tab = 0; tab < cProjectDialogTabCount; ++tab)
        tabs_->addTab(MakePage(tab), Qs(ProjectDialogTabKey(tab)));
    layout->addWidget(tabs_, 1);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("~OK", QDialogButtonBox::AcceptRole);
    ok_->setObjectName("ButtonOk");
    ok_->setDefault(true);
    cancel_ = buttons->addButton("~Cancel", QDialogButtonBox::RejectRole);
    cancel_->setObjectName("ButtonCancel");
    helpButton_ = buttons->addButton("~Help", QDialogButtonBox::HelpRole);
    helpButton_->setObjectName("ButtonHelp");
    layout->addWidget(buttons);

    for (int e = 0; e < cProjectDialogEditCount; ++e)
        connect(edits_[static_cast<size_t>(e)], &QLineEdit::textEdited, this,
                [this, e](const QString& text) { model_.SetText(e, Utf8(text)); });
    for (int m = 0; m < cProjectDialogMemoCount; ++m) {
        QPlainTextEdit* memo = memos_[static_cast<size_t>(m)];
        connect(memo, &QPlainTextEdit::textChanged, this, [this, m, memo] {
            if (!showing_) model_.SetMemoText(m, Utf8(memo->toPlainText()));
        });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (showing_) return;
        model_.SelectTab(tab);
        ShowTab();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TDlg_Kund_Proj::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDlg_Kund_Proj::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        if (help_) help_->ShowTopic(cProjectDialogHelpTopic);
    });

    languageChange_ =
        language_.LanguageDB().OnChange.Connect([this](TCustomLanguageDB&) { AlignLabels(); });
    language_.Loaded();
    if (!languageCode.empty() && language_.LanguageDB().Language() != languageCode)
        language_.LanguageDB().SetLanguage(languageCode);
    AlignLabels();
}

TDlg_Kund_Proj::~TDlg_Kund_Proj() = default;

QWidget* TDlg_Kund_Proj::MakePage(int tab) {
    auto* page = new QWidget;
    page->setObjectName(QString("Page%1").arg(tab));
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const QFontMetrics metrics(font());
    for (int e = 0; e < cProjectDialogEditCount; ++e) {
        const TProjectDialogField& field = ProjectDialogEditField(e);
        if (field.Tab != tab) continue;
        auto* edit = new QLineEdit(page);
        edit->setObjectName(Qs(field.Control));
        edit->setMinimumWidth(metrics.averageCharWidth() * 40);
        edits_[static_cast<size_t>(e)] = edit;
        if (field.Label.empty()) {
            form->addRow(QString(), edit);
        } else {
            auto* label = new QLabel(Qs(field.Label), page);
            label->setBuddy(edit);
            labels_.push_back(label);
            form->addRow(label, edit);
        }
    }
    for (int m = 0; m < cProjectDialogMemoCount; ++m) {
        const TProjectDialogField& field = ProjectDialogMemoField(m);
        if (field.Tab != tab) continue;
        auto* memo = new QPlainTextEdit(page);
        memo->setObjectName(Qs(field.Control));
        // The memo holds the user's text: a line that begins with "~" is no language key.
        SetLanguageInner(memo);
        memo->setTabChangesFocus(true);
        const int lines = m == cpmAddress ? kAddressLines : kRemarksLines;
        memo->setMinimumHeight(metrics.lineSpacing() * lines + 2 * memo->frameWidth() +
                               static_cast<int>(2 * memo->document()->documentMargin()));
        memo->setMinimumWidth(metrics.averageCharWidth() * 40);
        memos_[static_cast<size_t>(m)] = memo;
        auto* label = new QLabel(Qs(field.Label), page);
        label->setBuddy(memo);
        labels_.push_back(label);
        form->addRow(label, memo);
    }
    return page;
}

void TDlg_Kund_Proj::AlignLabels() {
    // The label columns of the three pages are as wide as the widest label of any, so that
    // the fields start at one place whichever tab is shown.
    int widest = 0;
    for (QLabel* label : labels_) {
        label->setMinimumWidth(0);
        widest = std::max(widest, label->sizeHint().width());
    }
    for (QLabel* label : labels_) label->setMinimumWidth(widest);
}

void TDlg_Kund_Proj::Open(int tab) {
    model_.Open(tab);
    ShowModel();
}

void TDlg_Kund_Proj::ShowModel() {
    showing_ = true;
    for (int e = 0; e < cProjectDialogEditCount; ++e) {
        QLineEdit* edit = edits_[static_cast<size_t>(e)];
        edit->setText(Qs(model_.Text(e)));
        edit->setCursorPosition(0);
    }
    for (int m = 0; m < cProjectDialogMemoCount; ++m)
        memos_[static_cast<size_t>(m)]->setPlainText(Qs(MemoText(model_.Lines(m))));
    tabs_->setCurrentIndex(model_.Tab());
    showing_ = false;
    ShowTab();
    // Typing starts in the first field of the tab opened.
    if (QWidget* first = FirstField(model_.Tab())) first->setFocus(Qt::OtherFocusReason);
}

void TDlg_Kund_Proj::ShowTab() {
    // The caption is bound to the tab's key, so that it follows a language switch.
    language_.Bind(this, "Caption", Qs(model_.CaptionKey()));
}

QWidget* TDlg_Kund_Proj::FirstField(int tab) const {
    for (int e = 0; e < cProjectDialogEditCount; ++e)
        if (ProjectDialogEditField(e).Tab == tab) return edits_[static_cast<size_t>(e)];
    for (int m = 0; m < cProjectDialogMemoCount; ++m)
        if (ProjectDialogMemoField(m).Tab == tab) return memos_[static_cast<size_t>(m)];
    return nullptr;
}

void TDlg_Kund_Proj::accept() {
    app_.Input([&] {
        if (model_.Ok()) app_.Mark(caDocument);
    });
    QDialog::accept();
}
