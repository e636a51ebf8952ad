#include "app/help/help_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"

namespace {

// Headings and table headers in the colours of the program's pages.
constexpr const char* cPageStyle =
    "h1 { color: #1f4e79; }"
    "h2 { color: #1f4e79; }"
    "h3 { color: #1f4e79; }"
    "th { background-color: #dde6f0; }"
    "table { border-collapse: collapse; }";

} // namespace

THelpWindow::THelpWindow(TVacuumApplication& app, QWidget* parent)
    : QWidget(parent), tables_(std::make_unique<THelpTables>(app.Connection)),
      sources_(tables_->Sources()), translate_(app.Translator()) {
    Build();
    languageFollow_ = app.Changed.Connect([this](TAspects aspects) {
        if (aspects.Has(caLanguage)) Retranslate();
    });
}

THelpWindow::THelpWindow(THelpSources sources, TTranslateFunc translate, QWidget* parent)
    : QWidget(parent), sources_(sources), translate_(std::move(translate)) {
    Build();
}

THelpWindow::~THelpWindow() = default;

void THelpWindow::Build() {
    setWindowFlag(Qt::Window);
    setObjectName("helpWindow");
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    contents_ = new QPushButton(this);
    contents_->setObjectName("helpContents");
    index_ = new QPushButton(this);
    index_->setObjectName("helpIndex");
    back_ = new QPushButton(this);
    back_->setObjectName("helpBack");
    forward_ = new QPushButton(this);
    forward_->setObjectName("helpForward");
    stayOnTop_ = new QCheckBox(this);
    stayOnTop_->setObjectName("helpStayOnTop");
    for (QPushButton* b : {contents_, index_, back_, forward_}) {
        b->setAutoDefault(false);
        bar->addWidget(b);
    }
    bar->addStretch(1);
    bar->addWidget(stayOnTop_);
    layout->addLayout(bar);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("helpBrowser");
    browser_->setOpenLinks(false);
    browser_->document()->setDefaultStyleSheet(cPageStyle);
    layout->addWidget(browser_, 1);

    connect(contents_, &QPushButton::clicked, this, [this] { Navigate(cHelpContents); });
    connect(index_, &QPushButton::clicked, this, [this] { Navigate(cHelpIndex); });
    connect(back_, &QPushButton::clicked, this, &THelpWindow::Back);
    connect(forward_, &QPushButton::clicked, this, &THelpWindow::Forward);
    connect(stayOnTop_, &QCheckBox::toggled, this, &THelpWindow::SetStayOnTop);
    connect(browser_, &QTextBrowser::anchorClicked, this, &THelpWindow::LinkClicked);
    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, this, &THelpWindow::Back);
    connect(new QShortcut(QKeySequence::Forward, this), &QShortcut::activated, this, &THelpWindow::Forward);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    resize(760, 600);
    Navigate(cHelpContents);
}

QString THelpWindow::Text(std::string_view key) const {
    return QString::fromStdString(TranslateOrKey(translate_, key));
}

void THelpWindow::ShowTopic(int topic) {
    Navigate(topic);
    show();
    raise();
    activateWindow();
}

int THelpWindow::CurrentTopic() const {
    return position_ >= 0 ? history_[static_cast<size_t>(position_)] : cHelpContents;
}

void THelpWindow::Navigate(int topic) {
    const int page = HelpPageTopic(topic);
    if (position_ < 0 || history_[static_cast<size_t>(position_)] != page) {
        history_.resize(static_cast<size_t>(position_ + 1));
        history_.push_back(page);
        ++position_;
    }
    Render();
}

void THelpWindow::Render() {
    const int topic = CurrentTopic();
    browser_->setHtml(QString::fromStdString(HelpPageHtml(topic, sources_, translate_)));
    setWindowTitle(Text("~Help") + QStringLiteral(" - ") +
                   QString::fromStdString(HelpPageTitle(topic, translate_)));
    contents_->setText(Text("~Contents"));
    index_->setText(Text("~Index"));
    back_->setText(Text("~HelpBack"));
    forward_->setText(Text("~HelpForward"));
    stayOnTop_->setText(Text("~HelpStayOnTop"));
    back_->setEnabled(CanGoBack());
    forward_->setEnabled(CanGoForward());
    emit TopicShown(topic);
}

void THelpWindow::LinkClicked(const QUrl& url) {
    // Pages link only to topics; anything else is ignored.
    if (const auto topic = HelpLinkTopic(url.toString().toStdString())) Navigate(*topic);
}

bool THelpWindow::CanGoBack() const {
    return position_ > 0;
}

bool THelpWindow::CanGoForward() const {
    return position_ + 1 < static_cast<int>(history_.size());
}

void THelpWindow::Back() {
    if (!CanGoBack()) return;
    --position_;
    Render();
}

void THelpWindow::Forward() {
    if (!CanGoForward()) return;
    ++position_;
    Render();
}

void THelpWindow::SetStayOnTop(bool on) {
    if (on != stayOnTop_->isChecked()) {
        const QSignalBlocker block(stayOnTop_);
        stayOnTop_->setChecked(on);
    }
    if (on == StayOnTop()) return;
    // Changing the flags hides a window; show it again where it was.
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) show();
}

bool THelpWindow::StayOnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void THelpWindow::Retranslate() {
    Render();
}
