// SPDX-License-Identifier: GPL-3.0-or-later
// The STX request of the link layer: eight holding registers of a meter of
// the register protocol, asked for at odd parity on the port the M-Bus uses.
#include "link/mb_sio.h"

#include <type_traits>

namespace quorven {

namespace {

// The meters of the register protocol get this long to answer, whatever the
// baud rate and the additional M-Bus time-out.
constexpr std::int64_t kStxAnswerTimeoutMs = 2000;

LineSettings StxSettings(LineSettings settings) {
    settings.dataBits = 8;
    settings.parity = Parity::Odd;
    settings.stopBits = 1;
    return settings;
}

} // namespace

std::uint8_t TMB_Sio::StxReadRegisters(std::uint8_t address, std::uint16_t firstRegister) {
    const auto alive = alive_;
    std::uint8_t result = LinkResult::Aborted;
    try {
        result = StxExchange(address, firstRegister);
    } catch (...) {
        // The error that ends the request is the one reported.
        if (*alive) {
            deferredFault_.reset();
        }
        throw;
    }
    if (*alive) {
        ThrowDeferredFault();
    }
    return result;
}

std::uint8_t TMB_Sio::StxExchange(std::uint8_t address, std::uint16_t firstRegister) {
    if (destroyed_) {
        return lastResult_ = LinkResult::Aborted;
    }
    const ExchangeScope scope(*this);
    if (scope.refused()) {
        return LinkResult::Aborted;
    }
    // What was in force before is back on every way out, also when opening
    // the port throws: an M-Bus search at 8N1 goes on at 8N1. Putting it back
    // never throws; a port that refuses it is closed and the fault thrown by
    // StxReadRegisters.
    struct Restore {
        TMB_Sio& sio;
        std::shared_ptr<bool> alive;
        ReceiveModes mode;
        LineSettings settings;
        explicit Restore(TMB_Sio& s)
            : sio(s), alive(s.alive_), mode(s.receiveMode_), settings(s.settings_) {}
        ~Restore() noexcept {
            if (!*alive) {
                return;
            }
            sio.answerTimer_->stop();
            sio.receiveMode_ = mode;
            sio.settings_ = settings;
            sio.RestoreSettings();
        }
        Restore(const Restore&) = delete;
        Restore& operator=(const Restore&) = delete;
    } const restore(*this);
    static_assert(std::is_nothrow_destructible_v<Restore>);

    const auto alive = alive_;
    receiveMode_ = ReceiveModes::Stx;
    settings_ = StxSettings(settings_);
    ApplySettings();
    OpenPort();

    int attempts = 0;
    for (;;) {
        port_->purgeReceive();
        rxLength_ = 0;
        frameCount_ = 0;
        echoIndex_ = 1;
        ClearRawHexText();
        ClearFrameHexText();
        txBuffer_ = BuildStxRequest(address, firstRegister);
        if (port_->write(txBuffer_) != txBuffer_.size()) {
            return WriteRefused();
        }
        expectSingleChar_ = false;
        expectLongFrame_ = false;
        lastResult_ = LinkResult::Pending;
        pendingLineError_ = LinkResult::Pending;
        answerTimer_->start(kStxAnswerTimeoutMs);

        const bool settled =
            clock_.pumpUntil([&] { return !*alive || lastResult_ != LinkResult::Pending; });
        if (!*alive) {
            return LinkResult::Aborted;
        }
        if (!settled && lastResult_ == LinkResult::Pending) {
            AbandonAnswer();
        }
        ++attempts;
        // Only silence is asked again: a garbled or foreign answer is final.
        // Counting to the limit or beyond ends the loop for every limit.
        if (lastResult_ != LinkResult::NoAnswer || attempts >= stxRetryCount_) {
            break;
        }
    }
    return lastResult_;
}

} // namespace quorven
