// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/answer_header.h"
#include "sim/bus_description.h"
#include "sim/master_frame.h"
#include "sim/stx_request.h"

#include <QByteArray>

#include <optional>

namespace quorven::sim {

// One meter's link and application layer: which frames it answers, what with,
// and what the master's commands change (EN 13757-2/-3).
class SimulatedMeter {
public:
    explicit SimulatedMeter(const MeterDescription& description);

    // The meter heard a valid frame at its own rate; the answer, if it gives one.
    std::optional<QByteArray> hear(const MasterFrame& frame);
    // The meter heard an STX request at its own rate; the answer when the
    // request is to its primary address and starts at a block it holds.
    std::optional<QByteArray> hearStx(const StxRequest& request) const;

    // Whether it listens to M-Bus frames (8E1) and to STX requests (8O1).
    bool speaksMBus() const { return description_.echoOnly || !description_.telegrams.empty(); }
    bool speaksStx() const { return description_.stx.has_value(); }

    const MeterIdentity& identity() const { return identity_; }
    bool isSelected() const { return selected_; }
    // Index of the telegram the next REQ_UD2 with a toggled FCB moves on from.
    int telegramIndex() const { return index_; }
    qint32 baud() const { return description_.baud; }
    double replyDelayMs() const { return description_.replyDelayMs; }
    const QString& name() const { return description_.name; }

private:
    enum class Addressing { No, Own, Broadcast };
    Addressing addressing(std::uint8_t address) const;
    std::optional<QByteArray> hearShort(const MasterFrame& frame, Addressing addressing);
    std::optional<QByteArray> hearLong(const MasterFrame& frame, Addressing addressing);
    std::optional<QByteArray> select(const QByteArray& data);
    void applyDataSend(const QByteArray& data);
    std::optional<QByteArray> answerRequest(std::uint8_t control);
    void resetLink();

    MeterDescription description_;
    MeterIdentity identity_;
    bool selected_ = false;
    int index_ = 0;
    std::optional<bool> lastFcb_; // FCB of the last REQ_UD2 since the last reset
};

} // namespace quorven::sim
