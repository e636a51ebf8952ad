#pragma once

#include "app/frame/page.h"

#include <memory>

#include <QWidget>

class ITimer;

//! A picture of a vacuum gripper that lifts a plate, sets it down and lifts it again; one
//! step per tick.
class TStartAnimation : public QWidget {
    Q_OBJECT

public:
    static constexpr int cSteps = 80;

    explicit TStartAnimation(QWidget* parent = nullptr);
    void Step() {
        phase_ = (phase_ + 1) % cSteps;
        update();
    }
    int Phase() const { return phase_; }
    QSize sizeHint() const override { return {260, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int phase_ = 0;
};

//! The start page: the program's name, what the pages ahead will ask for, and the
//! animation, which runs only while the page is current.
class TStartPage : public QWidget, public TPage {
    Q_OBJECT

public:
    static constexpr int cAnimationIntervalMs = 50;

    explicit TStartPage(TPageContext& context);
    ~TStartPage() override;

    int Index() const override { return cmpStartPage; }
    QWidget* Widget() override { return this; }
    void Refresh(TAspects aspects) override;

    TStartAnimation* Animation() const { return animation_; }
    bool AnimationRuns() const;

private:
    TPageContext& context_;
    TStartAnimation* animation_;
    std::unique_ptr<ITimer> timer_;
};
