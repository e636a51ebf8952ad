#pragma once

#include <functional>
#include <memory>

//! A repeating timer of the UI thread.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
    //! Called on every tick.
    std::function<void()> OnTimer;
};

//! Makes the timers of the windows (the start-up window, the animations), so that tests can
//! tick them by hand instead of waiting.
class ITimerFactory {
public:
    virtual ~ITimerFactory() = default;
    virtual std::unique_ptr<ITimer> CreateTimer() = 0;
};

//! Timers of the Qt event loop.
class TQtTimerFactory : public ITimerFactory {
public:
    std::unique_ptr<ITimer> CreateTimer() override;
};
