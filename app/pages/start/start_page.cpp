#include "app/pages/start/start_page.h"

#include "app/platform/timers.h"
#include "core/workflow/vacuum_application.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

TStartAnimation::TStartAnimation(QWidget* parent) : QWidget(parent) {
    setObjectName("StartAnimation");
    setMinimumSize(220, 200);
}

void TStartAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const double w = width(), h = height();
    // Up and down in a smooth swing: 0 at the bottom, 1 at the top.
    const double lift = 0.5 - 0.5 * std::cos(2.0 * M_PI * phase_ / cSteps);
    const double floorY = h - 24.0;
    const double plateH = 10.0, plateW = w * 0.55;
    const double travel = h * 0.35;
    const double plateTop = floorY - plateH - lift * travel;
    const double cx = w / 2.0;

    // The conveyor the plate rests on.
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Mid));
    p.drawRoundedRect(QRectF(w * 0.08, floorY, w * 0.84, 8.0), 3, 3);
    // The plate.
    p.setBrush(QColor(120, 160, 200));
    p.drawRect(QRectF(cx - plateW / 2, plateTop, plateW, plateH));
    // Two suction cups on a holder bar and the arm.
    const double cupH = 14.0, cupW = 26.0;
    const double barY = plateTop - cupH - 10.0;
    p.setBrush(pal.color(QPalette::Dark));
    p.drawRect(QRectF(cx - 5, 0, 10, barY));
    p.drawRect(QRectF(cx - plateW * 0.42, barY, plateW * 0.84, 10.0));
    p.setBrush(QColor(50, 50, 50));
    for (double x : {cx - plateW * 0.3, cx + plateW * 0.3}) {
        QPolygonF cup;
        cup << QPointF(x - 4, barY + 10) << QPointF(x + 4, barY + 10)
            << QPointF(x + cupW / 2, plateTop) << QPointF(x - cupW / 2, plateTop);
        p.drawPolygon(cup);
    }
    // The vacuum holds the plate while it is lifted: air flows up the arm.
    if (lift > 0.02) {
        p.setPen(QPen(QColor(40, 120, 200), 2));
        const double y = std::fmod(phase_ * 3.0, barY > 20 ? barY - 10 : 10.0);
        p.drawLine(QPointF(cx, barY - y), QPointF(cx, barY - y - 8));
    }
}

TStartPage::TStartPage(TPageContext& context)
    : context_(context), timer_(context.Timers.CreateTimer()) {
    setObjectName("PageStart");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);
    auto* texts = new QVBoxLayout;
    auto* title = new QLabel("~Sorvane", this);
    title->setObjectName("StartTitle");
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    auto* intro = new QLabel("~StartPageText", this);
    intro->setObjectName("StartText");
    intro->setWordWrap(true);
    intro->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    title->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    texts->setSpacing(10);
    texts->addWidget(title);
    texts->addWidget(intro);
    texts->addStretch(1);
    layout->addLayout(texts, 3);
    animation_ = new TStartAnimation(this);
    layout->addWidget(animation_, 2, Qt::AlignTop);
    timer_->OnTimer = [this] { animation_->Step(); };
    Refresh(caNavigator);
}

TStartPage::~TStartPage() {
    timer_->Stop();
}

bool TStartPage::AnimationRuns() const {
    return timer_->Active();
}

void TStartPage::Refresh(TAspects aspects) {
    if (!aspects.Has(caNavigator)) return;
    const bool runs = context_.App.Workflow.StartAnimationRuns();
    if (runs && !timer_->Active()) timer_->Start(cAnimationIntervalMs);
    if (!runs && timer_->Active()) timer_->Stop();
}
