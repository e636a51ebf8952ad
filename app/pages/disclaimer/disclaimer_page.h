#pragma once

#include "app/frame/page.h"

#include <QWidget>

class QPushButton;
class QTextBrowser;

//! The page every run begins with: the disclaimer text and the buttons "~Accept" and
//! "~Decline", which go to the page workflow.
class TDisclaimerPage : public QWidget, public TPage {
    Q_OBJECT

public:
    explicit TDisclaimerPage(TPageContext& context);

    int Index() const override { return cmpDisclaimer; }
    QWidget* Widget() override { return this; }
    void Refresh(TAspects aspects) override;

    QPushButton* AcceptButton() const { return accept_; }
    QPushButton* DeclineButton() const { return decline_; }

private:
    TPageContext& context_;
    QPushButton* accept_;
    QPushButton* decline_;
};
