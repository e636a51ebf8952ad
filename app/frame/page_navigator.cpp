#include "app/frame/page_navigator.h"

#include "core/workflow/page_workflow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TPageNavigator::TPageNavigator(QWidget* parent) : QFrame(parent) {
    setObjectName("OrsikNavigate1");
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(2);
    for (int page = cmpStartPage; page <= cLastNavigatorPage; ++page) {
        const std::string_view key = MainPageInfo(page).NavigatorCaption;
        auto* entry =
            new QPushButton(QString::fromUtf8(key.data(), static_cast<int>(key.size())), this);
        entry->setObjectName(QString("NavigatorPage%1").arg(page));
        entry->setCheckable(true);
        entry->setFlat(true);
        entry->setFocusPolicy(Qt::TabFocus);
        entry->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        entry->setStyleSheet("QPushButton { text-align: left; padding: 5px 8px; }");
        // The checked state is the workflow's: a click only asks for the page.
        connect(entry, &QPushButton::clicked, this, [this, entry, page] {
            entry->setChecked(!entry->isChecked());
            emit PageClicked(page);
        });
        layout->addWidget(entry);
        entries_.push_back(entry);
    }
    layout->addStretch(1);
    auto* steps = new QHBoxLayout;
    steps->setSpacing(6);
    previous_ = new QToolButton(this);
    previous_->setObjectName("NavigatorPrevious");
    previous_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    previous_->setToolTip(
        QString::fromUtf8(cPreviousPageHint.data(), static_cast<int>(cPreviousPageHint.size())));
    next_ = new QToolButton(this);
    next_->setObjectName("NavigatorNext");
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    next_->setToolTip(
        QString::fromUtf8(cNextPageHint.data(), static_cast<int>(cNextPageHint.size())));
    for (QToolButton* b : {previous_, next_}) {
        b->setAutoRaise(false);
        b->setIconSize(QSize(20, 20));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    steps->addWidget(previous_);
    steps->addWidget(next_);
    layout->addLayout(steps);
    connect(previous_, &QToolButton::clicked, this, &TPageNavigator::PreviousClicked);
    connect(next_, &QToolButton::clicked, this, &TPageNavigator::NextClicked);
}

void TPageNavigator::Refresh(const TPageWorkflow& flow) {
    const int current = flow.CurrentPage();
    for (int page = 0; page < entries_.size(); ++page) {
        QPushButton* entry = entries_[page];
        entry->setChecked(page == current);
        entry->setEnabled(flow.Selectable(page) || (page == current && flow.NavigatorEnabled()));
        QFont font = entry->font();
        font.setBold(page == current);
        entry->setFont(font);
    }
    previous_->setEnabled(flow.PreviousPage() >= 0);
    next_->setEnabled(flow.NextPage() >= 0);
}
