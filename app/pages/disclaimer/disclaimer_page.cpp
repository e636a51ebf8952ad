#include "app/pages/disclaimer/disclaimer_page.h"

#include "core/workflow/vacuum_application.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

TDisclaimerPage::TDisclaimerPage(TPageContext& context) : context_(context) {
    setObjectName("PageDisclaimer");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QLabel("~DisclaimerText", this);
    text->setObjectName("DisclaimerText");
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setContentsMargins(8, 8, 8, 8);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(text);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(scroll, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    accept_ = new QPushButton("~Accept", this);
    accept_->setObjectName("ButtonAccept");
    accept_->setDefault(true);
    decline_ = new QPushButton("~Decline", this);
    decline_->setObjectName("ButtonDecline");
    for (QPushButton* b : {accept_, decline_}) {
        b->setMinimumWidth(110);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(accept_, &QPushButton::clicked, this,
            [this] { context_.App.Input([&] { context_.App.Workflow.ButtonAcceptClick(); }); });
    connect(decline_, &QPushButton::clicked, this,
            [this] { context_.App.Input([&] { context_.App.Workflow.ButtonDeclineClick(); }); });
    Refresh(caNavigator);
}

void TDisclaimerPage::Refresh(TAspects aspects) {
    if (!aspects.Has(caNavigator)) return;
    // Once accepted the page stays out of reach; its buttons have nothing more to do.
    const bool pending = context_.App.Workflow.DisclaimerPending();
    accept_->setEnabled(pending);
    decline_->setEnabled(pending);
}
