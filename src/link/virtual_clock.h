// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"

#include <cstdint>
#include <map>
#include <utility>

namespace quorven {

// Virtual time for the tests: a queue of timed events. Pumping delivers Qt's
// posted events, runs what is due and then jumps the clock to the next event,
// so a wait of seconds takes microseconds and every duration is exact.
class VirtualClock final : public Clock {
public:
    VirtualClock();
    ~VirtualClock() override;

    qint64 now() const override { return now_; }
    std::unique_ptr<ClockTimer> createTimer() override;
    bool pumpUntil(const std::function<bool()>& done) override;

    // Runs every event due within the next ms milliseconds and leaves the
    // clock exactly ms later.
    void advanceBy(qint64 ms);

    // Number of timers waiting to fire.
    std::size_t pendingTimers() const { return queue_.size(); }

private:
    friend class VirtualTimer;
    using Key = std::pair<qint64, std::uint64_t>; // due time, order of scheduling

    Key schedule(class VirtualTimer* timer, qint64 due);
    void cancel(const Key& key);
    // Fires the earliest timer due at or before limit; false when there is none.
    bool fireNext(qint64 limit);
    static void deliverPostedEvents();

    qint64 now_ = 0;
    std::uint64_t sequence_ = 0;
    std::map<Key, class VirtualTimer*> queue_;
};

} // namespace quorven
