// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/mb_sio.h"

#include "interpret/hex.h"
#include "link/frames.h"
#include "link/link_timing.h"

#include <algorithm>
#include <array>
#include <type_traits>

namespace quorven {

namespace {

// A port or line just opened, and a slave after a garbled answer, get this long.
constexpr std::int64_t kSettleMs = 2000;
// A closed port is given this long before anything opens it again.
constexpr std::int64_t kCloseSettleMs = 300;
// The receiver takes at most this many bytes from the port at a time.
constexpr qint64 kReadChunk = 1024;
// The medium byte of an answer long frame (0-based).
constexpr int kMediumPosition = 14;

struct LineErrorRow {
    std::uint8_t flag;
    std::uint8_t result;
};

// In order of precedence; a set without any of these is an other error.
constexpr std::array<LineErrorRow, 3> kLineErrors{{
    {LineErrorFlag::Framing, LinkResult::FramingError},
    {LineErrorFlag::Parity, LinkResult::ParityError},
    {LineErrorFlag::Break, LinkResult::BreakError},
}};

std::uint8_t Byte(const QByteArray& bytes, qsizetype i) {
    return static_cast<std::uint8_t>(bytes[i]);
}

bool IsGarbled(std::uint8_t result) {
    return result >= LinkResult::TimeoutAfterBytes && result <= LinkResult::FramingError;
}

} // namespace

TMB_Sio::TMB_Sio(Clock& clock, PortFactory& ports, QString deviceName)
    : clock_(clock), ports_(ports), deviceName_(std::move(deviceName)),
      answerTimer_(clock.createTimer()), delayTimer_(clock.createTimer()) {
    answerTimer_->setSingleShot(true);
    answerTimer_->setCallback([this] { static_cast<void>(OnAnswerTimeout()); });
    delayTimer_->setSingleShot(true);
    delayTimer_->setCallback([this] { OnDelayElapsed(); });
}

TMB_Sio::~TMB_Sio() {
    Destroy();
    *alive_ = false;
}

void TMB_Sio::Destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    if (port_ && port_->isOpen()) {
        port_->close();
    }
    answerTimer_->stop();
    delayTimer_->stop();
    lastResult_ = LinkResult::Aborted;
}

// --- The port ---

void TMB_Sio::CreatePortIfNone() {
    if (port_) {
        return;
    }
    port_ = ports_.createPort(deviceName_);
    port_->onBytesReceived = [this](qint64) { OnBytesReceived(); };
    port_->onLineError = [this](std::uint8_t flags) { OnLineError(flags); };
    port_->onWriteFailed = [this] { OnWriteFailed(); };
    port_->onPortFault = [this](const QString& reason) { OnPortFault(reason); };
    port_->setLineSettings(settings_);
    port_->setDtr(dtr_);
    port_->setRts(rts_);
}

void TMB_Sio::OpenPort() {
    if (destroyed_ || IsPortOpen()) {
        return;
    }
    CreatePortIfNone();
    // A port closed after a fault may not have taken the last settings.
    port_->setLineSettings(settings_);
    port_->open();
}

void TMB_Sio::ClosePort() {
    if (!IsPortOpen()) {
        return;
    }
    port_->close();
    const auto alive = alive_;
    bool settled = false;
    const auto timer = clock_.callAfter(kCloseSettleMs, [&settled] { settled = true; });
    clock_.pumpUntil([&] { return !*alive || settled; });
}

bool TMB_Sio::IsPortOpen() const {
    return port_ && port_->isOpen();
}

void TMB_Sio::SetDtr(bool on) {
    dtr_ = on;
    if (port_) {
        port_->setDtr(on);
    }
}

void TMB_Sio::SetRts(bool on) {
    rts_ = on;
    if (port_) {
        port_->setRts(on);
    }
}

void TMB_Sio::RaiseModemLines() {
    SetRts(!rtsOffMode_);
    SetDtr(true);
}

void TMB_Sio::PurgeReceive() {
    if (port_) {
        port_->purgeReceive();
    }
}

void TMB_Sio::PurgeTransmit() {
    if (port_) {
        port_->purgeTransmit();
    }
}

void TMB_Sio::SetPort(const QString& name) {
    if (destroyed_ || name == deviceName_) {
        return;
    }
    const auto alive = alive_;
    ClosePort();
    if (!*alive || destroyed_) {
        return;
    }
    port_.reset();
    deviceName_ = name;
    OpenPort();
    RaiseModemLines();
    Pause(kSettleMs);
}

// --- Line settings ---

void TMB_Sio::ApplySettings() {
    if (port_) {
        port_->setLineSettings(settings_);
    }
}

void TMB_Sio::RestoreSettings() noexcept {
    try {
        ApplySettings();
    } catch (const std::exception& e) {
        // The port cannot be trusted at settings it did not take: it is
        // opened afresh, with them, by the next exchange.
        if (port_) {
            port_->close();
        }
        if (!deferredFault_) {
            deferredFault_ = QString::fromUtf8(e.what());
        }
    }
}

void TMB_Sio::ThrowDeferredFault() {
    if (deferredFault_) {
        const QString text = *deferredFault_;
        deferredFault_.reset();
        throw PortError(text);
    }
}

void TMB_Sio::OnPortFault(const QString& reason) {
    if (port_) {
        port_->close();
    }
    if (exchangeWaiting_ && lastResult_ == LinkResult::Pending) {
        answerTimer_->stop();
        expectSingleChar_ = false;
        expectLongFrame_ = false;
        inFrame_ = false;
        lastResult_ = LinkResult::WriteFailed;
    }
    if (faultReceiver_) {
        const auto receiver = faultReceiver_;
        receiver(reason);
    }
}

std::uint8_t TMB_Sio::WriteRefused() {
    if (port_) {
        port_->close();
    }
    return lastResult_ = LinkResult::WriteFailed;
}

bool TMB_Sio::SetBaud(int index) {
    const auto row = BaudRowForIndex(index);
    if (!row) {
        return false;
    }
    settings_.baudRate = row->rate;
    ApplySettings();
    return true;
}

void TMB_Sio::SetStopBits1() {
    settings_.stopBits = 1;
    ApplySettings();
}

void TMB_Sio::SetParityEven() {
    settings_.parity = Parity::Even;
    ApplySettings();
}

void TMB_Sio::SetParityNone() {
    settings_.parity = Parity::None;
    ApplySettings();
}

std::int32_t TMB_Sio::BaudRateValue() const {
    // A gateway runs the bus at its own speed, which then sets the time-outs.
    const std::optional<qint32> fixed = port_ ? port_->fixedBaudRate() : std::nullopt;
    return BaudTimingValue(fixed.value_or(settings_.baudRate));
}

// --- Exchanges ---

std::uint8_t TMB_Sio::ReqUD2(std::uint8_t address) {
    return Exchange(Request::ReqUd2, address, 0, {});
}

std::uint8_t TMB_Sio::SndNke(std::uint8_t address) {
    return Exchange(Request::SndNke, address, 0, {});
}

std::uint8_t TMB_Sio::ApplReset(std::uint8_t address) {
    return Exchange(Request::ApplReset, address, kCiApplicationReset, {});
}

std::uint8_t TMB_Sio::SndUD(std::uint8_t address, std::uint8_t ci, const QByteArray& data) {
    return Exchange(Request::SndUd, address, ci, data);
}

std::uint8_t TMB_Sio::SelectById(const IdBytes& id) {
    return Exchange(Request::Select, kSelectedSlaveAddress, kCiSelect,
                    QByteArray(reinterpret_cast<const char*>(id.data()), 4));
}

QByteArray TMB_Sio::BuildTelegram(Request request, std::uint8_t address, std::uint8_t ci,
                                  const QByteArray& data) const {
    const bool fcb = fcbBit_ != 0;
    switch (request) {
    case Request::ReqUd2:
        return BuildReqUd2(address, fcb);
    case Request::SndNke:
        return BuildSndNke(address);
    case Request::ApplReset:
        return BuildApplicationReset(address, fcb);
    case Request::SndUd:
        return BuildSndUd(address, fcb, ci, data).value_or(QByteArray());
    case Request::Select: {
        IdBytes id{};
        std::copy_n(data.constBegin(), std::min<qsizetype>(4, data.size()), id.begin());
        return BuildSelectById(id, fcb);
    }
    }
    return {};
}

bool TMB_Sio::Pause(std::int64_t ms) {
    const auto alive = alive_;
    delayTimer_->stop();
    delayTimer_->setInterval(ms);
    delayElapsed_ = false;
    delayTimer_->start();
    // A port that fails meanwhile ends the pause: the exchange is over.
    clock_.pumpUntil([&] { return !*alive || destroyed_ || delayElapsed_ || !IsPortOpen(); });
    return *alive;
}

void TMB_Sio::OnDelayElapsed() {
    delayTimer_->stop();
    delayElapsed_ = true;
}

TMB_Sio::ExchangeScope::ExchangeScope(TMB_Sio& sio)
    : sio_(sio), alive_(sio.alive_), refused_(sio.destroyed_ || sio.exchangeWaiting_) {
    if (!refused_) {
        sio_.exchangeWaiting_ = true;
    }
}

TMB_Sio::ExchangeScope::~ExchangeScope() {
    if (!refused_ && *alive_) {
        sio_.exchangeWaiting_ = false;
    }
}

static_assert(std::is_nothrow_destructible_v<TMB_Sio>);

std::uint8_t TMB_Sio::Exchange(Request request, std::uint8_t address, std::uint8_t ci,
                               const QByteArray& data) {
    if (destroyed_) {
        return lastResult_ = LinkResult::Aborted;
    }
    // What puts state back on the way out never throws.
    static_assert(std::is_nothrow_destructible_v<ExchangeScope>);
    const ExchangeScope scope(*this);
    if (scope.refused()) {
        return LinkResult::Aborted;
    }
    return RunExchange(request, address, ci, data);
}

std::uint8_t TMB_Sio::RunExchange(Request request, std::uint8_t address, std::uint8_t ci,
                                  const QByteArray& data) {
    if (request == Request::SndUd && data.size() > kMaxUserData) {
        // L would not fit in its byte: send nothing rather than a wrong frame.
        txBuffer_.clear();
        rxLength_ = 0;
        return lastResult_ = LinkResult::WriteFailed;
    }
    const auto alive = alive_;

    if (!IsPortOpen()) {
        OpenPort();
        RaiseModemLines();
        if (request == Request::ReqUd2 || request == Request::Select) {
            if (!Pause(kSettleMs)) {
                return LinkResult::Aborted;
            }
            if (destroyed_) {
                return lastResult_;
            }
            if (!IsPortOpen()) {
                return lastResult_ = LinkResult::WriteFailed;
            }
        }
    }

    int attempts = 0;
    for (;;) {
        port_->purgeReceive();
        rxLength_ = 0;
        echoIndex_ = 1;
        frameCount_ = 0;
        if (request != Request::SndNke) {
            fcbResetPending_ = false;
        }
        txBuffer_ = BuildTelegram(request, address, ci, data);
        ClearRawHexText();
        ClearFrameHexText();
        if (port_->write(txBuffer_) != txBuffer_.size()) {
            return WriteRefused();
        }
        if (request == Request::SndNke) {
            fcbResetPending_ = true;
            fcbBit_ = 1;
        }
        strayBytes_ = false;
        expectLongFrame_ = request == Request::ReqUd2;
        expectSingleChar_ = !expectLongFrame_;
        lastResult_ = LinkResult::Pending;
        pendingLineError_ = LinkResult::Pending;
        answerTimer_->start(
            AnswerTimeoutMs(txBuffer_.size(), BaudRateValue(), additionalTimeoutMs_));

        const bool settled =
            clock_.pumpUntil([&] { return !*alive || lastResult_ != LinkResult::Pending; });
        if (!*alive) {
            return LinkResult::Aborted;
        }
        if (!settled && lastResult_ == LinkResult::Pending && !OnAnswerTimeout()) {
            return LinkResult::Aborted;
        }
        if (request == Request::ReqUd2 && IsGarbled(lastResult_)) {
            // Let colliding slaves finish before asking again.
            if (!Pause(kSettleMs)) {
                return LinkResult::Aborted;
            }
            if (!IsPortOpen()) {
                return lastResult_ = LinkResult::WriteFailed;
            }
        }
        ++attempts;
        // A failed port is not asked again.
        if (lastResult_ == LinkResult::Ok || lastResult_ == LinkResult::Aborted ||
            lastResult_ == LinkResult::WriteFailed) {
            break;
        }
        if (attempts >= retryCount_) {
            break;
        }
    }
    return lastResult_;
}

// --- Receiving ---

QByteArray TMB_Sio::RxFrame() const {
    return QByteArray(reinterpret_cast<const char*>(rxBuffer_.data()), rxLength_);
}

void TMB_Sio::OnBytesReceived() {
    if (!port_) {
        return;
    }
    // What is waiting now; bytes that arrive meanwhile come with their own notification.
    qint64 left = port_->bytesAvailable();
    while (left > 0) {
        const QByteArray chunk = port_->read(std::min(left, kReadChunk));
        if (chunk.isEmpty()) {
            break;
        }
        left -= chunk.size();
        switch (receiveMode_) {
        case ReceiveModes::Modem:
            if (modemReceiver_) {
                modemReceiver_(chunk);
            }
            break;
        case ReceiveModes::Stx:
            for (const char c : chunk) {
                HandleStxByte(static_cast<std::uint8_t>(c));
            }
            break;
        case ReceiveModes::MBus:
            for (const char c : chunk) {
                if (!HandleMBusByte(static_cast<std::uint8_t>(c))) {
                    return;
                }
            }
            break;
        }
    }
}

void TMB_Sio::OnWriteFailed() {
    // The rest of a telegram the port had queued could not be sent: the
    // exchange is over, nothing will answer it, and the port is opened afresh
    // by the next one.
    if (port_) {
        port_->close();
    }
    if (lastResult_ == LinkResult::Pending) {
        answerTimer_->stop();
        expectSingleChar_ = false;
        expectLongFrame_ = false;
        inFrame_ = false;
        lastResult_ = LinkResult::WriteFailed;
    }
}

void TMB_Sio::HandleStxByte(std::uint8_t b) {
    // No echo filtering: the echo of the request and the answer are kept
    // together; an answer behind an echo is moved to the front.
    rxBuffer_[rxLength_] = b;
    if (rxLength_ < kRxBufferSize - 1) {
        ++rxLength_;
    }
    AppendRaw(b);
    if (rxLength_ == txBuffer_.size() + kStxAnswerSize) {
        std::copy_n(rxBuffer_.begin() + txBuffer_.size(), kStxAnswerSize, rxBuffer_.begin());
        rxLength_ = kStxAnswerSize;
    }
    if (lastResult_ == LinkResult::Pending && rxLength_ == kStxAnswerSize &&
        IsStxAnswer(std::span(rxBuffer_.data(), kStxAnswerSize))) {
        answerTimer_->stop();
        lastResult_ = LinkResult::Ok;
    }
}

void TMB_Sio::AppendRaw(std::uint8_t b) {
    if (rawHexBytes_ < kRawHexTextBytes) {
        AppendHexText(rawHexText_, b);
        ++rawHexBytes_;
    }
}

bool TMB_Sio::HandleMBusByte(std::uint8_t b) {
    // The echo of the telegram just sent, byte by byte.
    if (!inFrame_ && echoIndex_ <= txBuffer_.size() && b == Byte(txBuffer_, echoIndex_ - 1)) {
        ++echoIndex_;
        return true;
    }
    if ((!inFrame_ && b == kLongStart && expectLongFrame_) ||
        (b == kAckByte && expectSingleChar_)) {
        inFrame_ = true;
        frameCount_ = 0;
        frameL_ = 0;
        frameHexText_.clear();
    }
    if ((!inFrame_ && b != kLongStart && expectLongFrame_) ||
        (b != kAckByte && expectSingleChar_)) {
        strayBytes_ = true;
    }
    AppendRaw(b);
    if (!inFrame_) {
        return HandOn(QByteArray(1, static_cast<char>(b)));
    }
    answerTimer_->start(InterByteTimeoutMs(BaudRateValue(), additionalTimeoutMs_));
    frameBuffer_[static_cast<std::size_t>(frameCount_)] = b;
    ++frameCount_;
    AppendHexText(frameHexText_, b);

    if (expectSingleChar_ && b == kAckByte) {
        answerTimer_->stop();
        if (fcbResetPending_) {
            fcbBit_ = 1;
            fcbResetPending_ = false;
        } else {
            fcbBit_ ^= 1;
        }
        expectSingleChar_ = false;
        KeepFrame();
        lastResult_ = strayBytes_ ? LinkResult::OkAfterStrayBytes : LinkResult::Ok;
        frameHexText_.clear();
        inFrame_ = false;
        return true;
    }
    if (expectLongFrame_) {
        CheckLongFrame(b);
    }
    // A frame that cannot complete (both L bytes 0) ends here with 248, not at
    // the time-out a sender that keeps sending would put off for ever.
    if (inFrame_ && frameCount_ >= kFrameBufferSize) {
        AbandonAnswer();
        lastResult_ = LinkResult::TimeoutAfterBytes;
        return HandOn(RejectedFrame());
    }
    if (frameRejected_) {
        frameRejected_ = false;
        return HandOn(RejectedFrame());
    }
    return true;
}

QByteArray TMB_Sio::RejectedFrame() const {
    return QByteArray(reinterpret_cast<const char*>(frameBuffer_.data()), frameCount_);
}

bool TMB_Sio::HandOn(const QByteArray& bytes) {
    if (!strayReceiver_ || bytes.isEmpty()) {
        return true;
    }
    const auto alive = alive_;
    const auto receiver = strayReceiver_;
    receiver(bytes);
    return *alive;
}

void TMB_Sio::CheckLongFrame(std::uint8_t b) {
    if (frameCount_ == 3) {
        if (frameBuffer_[1] != frameBuffer_[2]) {
            EndFrame(LinkResult::LengthsDiffer);
            return;
        }
        frameL_ = frameBuffer_[1];
    }
    if (frameCount_ == 4 && frameBuffer_[3] != kLongStart) {
        EndFrame(LinkResult::SecondStartWrong);
        return;
    }
    if (frameL_ == 0 || frameCount_ != frameL_ + 6) {
        return;
    }
    if (b != kStopByte) {
        EndFrame(LinkResult::StopByteWrong);
        frameHexText_.clear();
        return;
    }
    const std::uint8_t sum =
        ByteSum(std::span(frameBuffer_).subspan(4, static_cast<std::size_t>(frameCount_ - 6)));
    if (sum != frameBuffer_[static_cast<std::size_t>(frameCount_ - 2)]) {
        EndFrame(LinkResult::ChecksumWrong);
        frameHexText_.clear();
        return;
    }
    answerTimer_->stop();
    frameHexText_.clear();
    inFrame_ = false;
    expectLongFrame_ = false;
    fcbBit_ ^= 1;
    slaveMedium_ = frameCount_ > kMediumPosition ? frameBuffer_[kMediumPosition] : 0;
    KeepFrame();
    if (lastResult_ == LinkResult::Pending) {
        lastResult_ = strayBytes_ ? LinkResult::OkAfterStrayBytes : LinkResult::Ok;
    }
}

void TMB_Sio::KeepFrame() {
    const int n = std::min(frameCount_, kRxBufferSize);
    std::copy_n(frameBuffer_.begin(), n, rxBuffer_.begin());
    rxLength_ = static_cast<std::uint16_t>(n);
}

void TMB_Sio::EndFrame(std::uint8_t result) {
    answerTimer_->stop();
    KeepFrame();
    lastResult_ = result;
    inFrame_ = false;
    // The bytes were no answer after all: they go on with the stray ones.
    frameRejected_ = true;
    // The answer of this attempt is over: later bytes are not taken for another.
    expectLongFrame_ = false;
    expectSingleChar_ = false;
}

void TMB_Sio::OnLineError(std::uint8_t flags) {
    const auto row = std::find_if(kLineErrors.begin(), kLineErrors.end(),
                                  [flags](const LineErrorRow& r) { return (flags & r.flag) != 0; });
    pendingLineError_ = row != kLineErrors.end() ? row->result : LinkResult::OtherLineError;
}

bool TMB_Sio::OnAnswerTimeout() {
    const bool frameBegun = inFrame_;
    AbandonAnswer();
    return frameBegun ? HandOn(RejectedFrame()) : true;
}

void TMB_Sio::AbandonAnswer() {
    answerTimer_->stop();
    frameHexText_.clear();
    inFrame_ = false;
    expectSingleChar_ = false;
    expectLongFrame_ = false;
    fcbResetPending_ = false;
    if (rawHexText_.empty()) {
        lastResult_ = LinkResult::NoAnswer;
    } else if (pendingLineError_ != LinkResult::Pending) {
        lastResult_ = pendingLineError_;
    } else {
        lastResult_ = LinkResult::TimeoutAfterBytes;
    }
}

} // namespace quorven
