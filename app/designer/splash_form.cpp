#include "app/designer/splash_form.h"

#include "app/pages/start/start_page.h"
#include "app/platform/help_viewer.h"
#include "app/platform/timers.h"
#include "core/workflow/main_window_rules.h"
#include "core/lang/application_strings.h"
#include "gui/lang/language_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSplashForm::TSplashForm(ITimerFactory& timers, IHelpViewer* help, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), help_(help),
      timer_(timers.CreateTimer()) {
    setObjectName("SplashForm");
    language_ = std::make_unique<TLanguageForm>(this);
    // The program's fallback texts for keys the language container may lack.
    language_->LanguageDB().OnGetString = LanguageDB1GetString;
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Box);
    panel->setLineWidth(1);
    frame->addWidget(panel);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    auto* picture = new TStartAnimation(panel);
    for (int i = 0; i < TStartAnimation::cSteps / 2; ++i) picture->Step(); // the plate lifted
    picture->setFixedSize(180, 170);
    picture_ = picture;
    layout->addWidget(picture_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    auto* title = new QLabel("~Sorvane", panel);
    title->setObjectName("SplashTitle");
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    title->setFont(font);
    version_ = new QLabel(panel);
    version_->setObjectName("LabelVersion");
    auto* department = new QLabel("~DepartmentSoftwareService", panel);
    department->setObjectName("LabelDepartment");
    auto* rights = new QLabel("~AllRightsReserved", panel);
    rights->setObjectName("LabelRights");
    for (QLabel* l : {title, version_, department, rights}) {
        l->installEventFilter(this);
        texts->addWidget(l);
    }
    texts->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    close_ = new QPushButton("~Close", panel);
    close_->setObjectName("ButtonClose");
    buttons->addWidget(close_);
    texts->addLayout(buttons);
    layout->addLayout(texts, 1);
    picture_->installEventFilter(this);
    connect(close_, &QPushButton::clicked, this, &TSplashForm::RequestClose);
    timer_->OnTimer = [this] { Tick(); };
    setFixedSize(560, 220);
}

TSplashForm::~TSplashForm() {
    timer_->Stop();
    language_.reset();
}

void TSplashForm::SetVersion(const std::string& version) {
    versionText_ = version;
    UpdateVersionLabel();
}

void TSplashForm::UpdateVersionLabel() {
    version_->setText(
        QString::fromStdString(VersionLabelText(language_->Translate("~Version%s"), versionText_)));
}

void TSplashForm::ShowAtStart() {
    about_ = false;
    show();
    repaint();
    timer_->Start(TSplashTimer::cIntervalMs);
}

void TSplashForm::ShowAbout() {
    if (isVisible()) return;
    about_ = true;
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    show();
    activateWindow();
}

void TSplashForm::RequestClose() {
    close();
}

void TSplashForm::CloseNow() {
    force_ = true;
    timer_->Stop();
    close();
    force_ = false;
}

void TSplashForm::Tick() {
    if (!ticks_.Tick()) return;
    timer_->Stop();
    CloseNow();
}

void TSplashForm::closeEvent(QCloseEvent* event) {
    if (!about_ && !force_ && !ticks_.CloseQuery()) {
        event->ignore();
        return;
    }
    // Once the start is over, the timer has nothing more to close.
    timer_->Stop();
    event->accept();
    emit Closed();
}

void TSplashForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (help_) help_->ShowTopic(cHelpAbout);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        RequestClose();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched != close_) {
        RequestClose();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
