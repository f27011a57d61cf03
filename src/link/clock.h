// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

namespace quorven {

class Clock;

// A one-shot or periodic timer of a clock. Its callback runs on the one thread,
// from inside the clock's pumping. Destroying a timer cancels it.
//
// A callback that waits (it pumps the clock itself) is never entered again by
// its own timer: a tick that comes while the previous one has not returned is
// skipped.
class ClockTimer {
public:
    virtual ~ClockTimer() { *alive_ = false; }

    void setInterval(qint64 ms) { interval_ = ms; }
    qint64 interval() const { return interval_; }
    void setSingleShot(bool singleShot) { singleShot_ = singleShot; }
    bool isSingleShot() const { return singleShot_; }
    void setCallback(std::function<void()> callback) { callback_ = std::move(callback); }

    // (Re)starts the timer with its interval from now.
    virtual void start() = 0;
    void start(qint64 ms) {
        setInterval(ms);
        start();
    }
    // Never throws: destructors that put state back stop timers.
    virtual void stop() noexcept = 0;
    virtual bool isActive() const = 0;

protected:
    void fire() {
        if (!callback_ || running_) {
            return;
        }
        // A copy, so the callback may replace itself; the timer itself may be
        // destroyed by its callback.
        auto callback = callback_;
        const auto alive = alive_;
        running_ = true;
        callback();
        if (*alive) {
            running_ = false;
        }
    }

private:
    qint64 interval_ = 0;
    bool singleShot_ = true;
    bool running_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::function<void()> callback_;
};

// Every wait of the system goes through a clock: timers, and pumping events
// until a condition holds. Nothing else sleeps or processes events.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start.
    virtual qint64 now() const = 0;

    virtual std::unique_ptr<ClockTimer> createTimer() = 0;

    // Processes events until done() holds. Returns false when done() can never
    // become true because nothing is left to happen (virtual time only).
    virtual bool pumpUntil(const std::function<bool()>& done) = 0;

    // Calls callback once after ms milliseconds; the returned timer owns the call.
    std::unique_ptr<ClockTimer> callAfter(qint64 ms, std::function<void()> callback) {
        auto timer = createTimer();
        timer->setSingleShot(true);
        timer->setCallback(std::move(callback));
        timer->start(ms);
        return timer;
    }
};

} // namespace quorven
