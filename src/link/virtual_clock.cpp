// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/virtual_clock.h"

#include <QCoreApplication>

#include <limits>

namespace quorven {

class VirtualTimer final : public ClockTimer {
public:
    explicit VirtualTimer(VirtualClock& clock) : clock_(&clock) {}
    ~VirtualTimer() override { stop(); }

    void start() override {
        stop();
        key_ = clock_->schedule(this, clock_->now() + std::max<qint64>(0, interval()));
        active_ = true;
    }
    void stop() noexcept override {
        if (active_) {
            clock_->cancel(key_);
            active_ = false;
        }
    }
    bool isActive() const override { return active_; }

    // Called by the clock when the timer is due; it has already left the queue.
    void expire() {
        active_ = false;
        if (!isSingleShot()) {
            start();
        }
        fire();
    }

private:
    VirtualClock* clock_;
    VirtualClock::Key key_{};
    bool active_ = false;
};

VirtualClock::VirtualClock() = default;

VirtualClock::~VirtualClock() = default;

std::unique_ptr<ClockTimer> VirtualClock::createTimer() {
    return std::make_unique<VirtualTimer>(*this);
}

VirtualClock::Key VirtualClock::schedule(VirtualTimer* timer, qint64 due) {
    const Key key{due, sequence_++};
    queue_.emplace(key, timer);
    return key;
}

void VirtualClock::cancel(const Key& key) {
    queue_.erase(key);
}

void VirtualClock::deliverPostedEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::sendPostedEvents();
    }
}

bool VirtualClock::fireNext(qint64 limit) {
    if (queue_.empty() || queue_.begin()->first.first > limit) {
        return false;
    }
    const auto it = queue_.begin();
    VirtualTimer* timer = it->second;
    now_ = std::max(now_, it->first.first);
    queue_.erase(it);
    timer->expire();
    return true;
}

bool VirtualClock::pumpUntil(const std::function<bool()>& done) {
    for (;;) {
        deliverPostedEvents();
        if (done()) {
            return true;
        }
        if (!fireNext(std::numeric_limits<qint64>::max())) {
            deliverPostedEvents();
            return done();
        }
    }
}

void VirtualClock::advanceBy(qint64 ms) {
    const qint64 target = now_ + ms;
    deliverPostedEvents();
    while (fireNext(target)) {
        deliverPostedEvents();
    }
    now_ = target;
}

} // namespace quorven
