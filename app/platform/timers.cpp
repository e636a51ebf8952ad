#include "app/platform/timers.h"

#include <QTimer>

namespace {

class TQtTimer : public ITimer {
public:
    TQtTimer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTimer) OnTimer();
        });
    }
    void Start(int intervalMs) override { timer_.start(intervalMs); }
    void Stop() override { timer_.stop(); }
    bool Active() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<ITimer> TQtTimerFactory::CreateTimer() {
    return std::make_unique<TQtTimer>();
}
