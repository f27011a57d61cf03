// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/ident_text.h"
#include "link/link_result.h"
#include "link/port_factory.h"
#include "link/serial_port.h"
#include "link/stx_frames.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorven {

// Who reads the bytes the port receives: exactly one consumer at a time.
enum class ReceiveModes : std::uint8_t {
    MBus,  // the M-Bus frame receiver (the link layer's exchanges)
    Stx,   // the STX frame receiver (length and CRC decide the end)
    Modem, // the modem's line reader, while the modem talks on the port
};

// The M-Bus master's link layer: it owns the serial port, builds the
// telegrams, sends them, checks the answer byte by byte as it arrives,
// repeats on failure and leaves one result code plus the telegrams sent and
// received. Every exchange returns when it is over; while it waits it pumps
// the clock, so the port's notifications and every timer are handled.
//
// The port comes from the factory when it is first opened, and again after
// the port name changes. Ports must deliver their notifications from the
// clock's pumping, never from inside a call the link layer makes.
//
// A fault of the port itself during an exchange (the device gone, the
// gateway's connection lost, a write refused) ends the exchange at once with
// 253 and closes the port; the next exchange opens it again. The fault's text
// goes to the fault receiver (SetFaultReceiver).
//
// Destroying the object (or calling Destroy) while an exchange waits ends
// the exchange with result 1; the exchange then touches nothing of the
// destroyed object. An exchange asked for while another one waits is refused
// with result 1 and sends nothing.
//
// The bytes the port receives go to one consumer, chosen by SetReceiveMode:
// the M-Bus receiver, the STX receiver, or the modem's line reader. In the
// M-Bus mode the bytes the receiver does not take, or takes and then refuses
// as no answer, may go on to a listener (SetStrayReceiver); an answer the
// receiver accepts goes nowhere else.
class TMB_Sio {
public:
    static constexpr int kRxBufferSize = 511;
    // The longest long frame (L = 255): no frame is kept beyond it.
    static constexpr int kFrameBufferSize = 261;
    // RawHexText only tells whether anything but the echo arrived; it keeps
    // the hex text of at most this many bytes.
    static constexpr int kRawHexTextBytes = 1024;

    TMB_Sio(Clock& clock, PortFactory& ports, QString deviceName = QStringLiteral("COM1"));
    ~TMB_Sio();

    TMB_Sio(const TMB_Sio&) = delete;
    TMB_Sio& operator=(const TMB_Sio&) = delete;

    // Closes the port, stops both timers and ends a pending exchange with 1.
    // Every later exchange returns 1 at once.
    void Destroy();

    // --- The port ---

    // Takes another port: closes the current one, opens the new one, RTS
    // (off in RtsOffMode) and DTR on, then waits 2000 ms. Nothing happens
    // when the name is the current one. Throws PortError when the port
    // cannot be opened; the name is taken even then.
    void SetPort(const QString& name);
    const QString& DeviceName() const { return deviceName_; }

    // Opens the current port with the current line settings; throws PortError.
    void OpenPort();
    // Closes the port and lets it settle for 300 ms.
    void ClosePort();
    bool IsPortOpen() const;
    // Recorded while closed and applied at the next open.
    void SetDtr(bool on);
    void SetRts(bool on);
    void PurgeReceive();
    void PurgeTransmit();
    // The port while one exists (for sharing it with the modem), else null.
    SerialPort* Port() { return port_.get(); }

    // --- Line settings ---

    // Baud index 0..8 (300 ... 38400); false and no change for any other.
    bool SetBaud(int index);
    void SetStopBits1();
    void SetParityEven();
    void SetParityNone();
    const LineSettings& Settings() const { return settings_; }
    // The rate the time-outs are computed with: the port's fixed rate when it
    // has one (a gateway's), else the rate set.
    std::int32_t BaudRateValue() const;

    // --- Exchanges; each returns LastResult ---

    std::uint8_t ReqUD2(std::uint8_t address);
    std::uint8_t SndNke(std::uint8_t address);
    std::uint8_t ApplReset(std::uint8_t address);
    // Refuses data over 252 bytes: nothing is sent and the result is 253.
    std::uint8_t SndUD(std::uint8_t address, std::uint8_t ci, const QByteArray& data);
    std::uint8_t SelectById(const IdBytes& id);
    // One STX request for the eight registers from firstRegister, at 8 data
    // bits, odd parity, 1 stop bit, with a fixed 2000 ms answer time-out and
    // up to StxRetryCount attempts while nothing answers. The answer is left
    // in RxBuffer bytes 0-20. The receive mode and line settings in force
    // before are put back on every way out, a PortError included. A port that
    // refuses the settings put back is closed, and its PortError is thrown
    // once the request is over (unless another error already leaves it).
    std::uint8_t StxReadRegisters(std::uint8_t address, std::uint16_t firstRegister);

    // Whether an exchange waits for its answer.
    bool ExchangeWaiting() const { return exchangeWaiting_; }

    // --- Receiving ---

    ReceiveModes ReceiveMode() const { return receiveMode_; }
    void SetReceiveMode(ReceiveModes mode) { receiveMode_ = mode; }
    // Where the bytes go in ReceiveModes::Modem.
    void SetModemReceiver(std::function<void(const QByteArray&)> receiver) {
        modemReceiver_ = std::move(receiver);
    }
    // In ReceiveModes::MBus, where the bytes go that the M-Bus receiver does
    // not take: not the echo, not the start of an awaited answer, or arriving
    // while no exchange waits; and the bytes of a frame begun that failed its
    // checks or stopped (handed on when it is refused). While a modem call
    // is up, that is how the modem's own lines ("NO CARRIER") are heard.
    // Empty: they are only counted as stray. The receiver may replace
    // itself, or destroy the link.
    void SetStrayReceiver(std::function<void(const QByteArray&)> receiver) {
        strayReceiver_ = std::move(receiver);
    }

    // Told the text of every fault of the port itself (see above). It may
    // not destroy the link.
    void SetFaultReceiver(std::function<void(const QString&)> receiver) {
        faultReceiver_ = std::move(receiver);
    }

    // --- State ---

    std::uint8_t SlaveMedium() const { return slaveMedium_; }
    const std::array<std::uint8_t, kRxBufferSize>& RxBuffer() const { return rxBuffer_; }
    std::uint16_t RxLength() const { return rxLength_; }
    // The first RxLength bytes of RxBuffer.
    QByteArray RxFrame() const;
    std::uint8_t LastResult() const { return lastResult_; }
    std::uint8_t PendingLineError() const { return pendingLineError_; }
    const QByteArray& TxBuffer() const { return txBuffer_; }
    const std::string& FrameHexText() const { return frameHexText_; }
    const std::string& RawHexText() const { return rawHexText_; }
    void ClearFrameHexText() { frameHexText_.clear(); }
    void ClearRawHexText() {
        rawHexText_.clear();
        rawHexBytes_ = 0;
    }

    bool RtsOffMode() const { return rtsOffMode_; }
    void SetRtsOffMode(bool on) { rtsOffMode_ = on; }
    std::uint8_t RetryCount() const { return retryCount_; }
    void SetRetryCount(std::uint8_t count) { retryCount_ = count; }
    std::uint8_t StxRetryCount() const { return stxRetryCount_; }
    void SetStxRetryCount(std::uint8_t count) { stxRetryCount_ = count; }
    std::uint16_t AdditionalTimeoutMs() const { return additionalTimeoutMs_; }
    void SetAdditionalTimeoutMs(std::uint16_t ms) { additionalTimeoutMs_ = ms; }
    std::uint8_t FcbBit() const { return fcbBit_; }
    void SetFcbBit(std::uint8_t bit) { fcbBit_ = bit != 0 ? 1 : 0; }

private:
    enum class Request { ReqUd2, SndNke, ApplReset, SndUd, Select };

    // An exchange in progress: the link counts as waiting for the scope's
    // life, also when opening the port throws. Refused when the link is
    // destroyed or another exchange waits; the caller then returns 1 and
    // sends nothing, and the waiting exchange keeps its buffers and result.
    class ExchangeScope {
    public:
        explicit ExchangeScope(TMB_Sio& sio);
        ~ExchangeScope();
        ExchangeScope(const ExchangeScope&) = delete;
        ExchangeScope& operator=(const ExchangeScope&) = delete;
        bool refused() const { return refused_; }

    private:
        TMB_Sio& sio_;
        std::shared_ptr<bool> alive_;
        bool refused_;
    };

    std::uint8_t Exchange(Request request, std::uint8_t address, std::uint8_t ci,
                          const QByteArray& data);
    std::uint8_t StxExchange(std::uint8_t address, std::uint16_t firstRegister);
    std::uint8_t RunExchange(Request request, std::uint8_t address, std::uint8_t ci,
                             const QByteArray& data);
    QByteArray BuildTelegram(Request request, std::uint8_t address, std::uint8_t ci,
                             const QByteArray& data) const;
    // Waits ms on DelayTimer; false when the object was destroyed meanwhile
    // (then nothing of it may be touched).
    bool Pause(std::int64_t ms);
    void CreatePortIfNone();
    void ApplySettings();
    // Puts the line settings back from a destructor: a port that refuses them
    // is closed and the fault kept for ThrowDeferredFault.
    void RestoreSettings() noexcept;
    void ThrowDeferredFault();
    void RaiseModemLines();
    // The port failed: a waiting answer ends with 253, the port is closed.
    void OnPortFault(const QString& reason);
    // A write was refused: the attempt ends with 253 and the port is closed.
    std::uint8_t WriteRefused();

    void OnBytesReceived();
    void OnWriteFailed();
    // False when the stray receiver destroyed the object.
    bool HandleMBusByte(std::uint8_t b);
    void HandleStxByte(std::uint8_t b);
    void CheckLongFrame(std::uint8_t b);
    void KeepFrame();
    void EndFrame(std::uint8_t result);
    void OnLineError(std::uint8_t flags);
    // False when the stray receiver destroyed the object.
    bool OnAnswerTimeout();
    // Ends the awaited answer with its time-out result.
    void AbandonAnswer();
    // Hands bytes the receiver does not take to the stray receiver; false
    // when that destroyed the object.
    bool HandOn(const QByteArray& bytes);
    QByteArray RejectedFrame() const;
    void OnDelayElapsed();
    void AppendRaw(std::uint8_t b);

    Clock& clock_;
    PortFactory& ports_;
    std::unique_ptr<SerialPort> port_;
    QString deviceName_;
    LineSettings settings_;
    bool dtr_ = false;
    bool rts_ = false;
    bool destroyed_ = false;
    // Shared with every wait on the stack, which checks it before touching
    // the object again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    ReceiveModes receiveMode_ = ReceiveModes::MBus;
    std::function<void(const QByteArray&)> modemReceiver_;
    std::function<void(const QByteArray&)> strayReceiver_;
    std::function<void(const QString&)> faultReceiver_;
    // A fault met while settings were put back, thrown when the request is over.
    std::optional<QString> deferredFault_;
    bool exchangeWaiting_ = false;
    std::uint8_t slaveMedium_ = 0;
    std::array<std::uint8_t, kRxBufferSize> rxBuffer_{};
    std::uint16_t rxLength_ = 0;
    std::uint8_t lastResult_ = LinkResult::Ok;
    std::uint8_t pendingLineError_ = LinkResult::Pending;
    QByteArray txBuffer_;
    std::string frameHexText_;
    std::string rawHexText_;
    int rawHexBytes_ = 0;
    bool rtsOffMode_ = false;
    std::uint8_t retryCount_ = 3;
    std::uint8_t stxRetryCount_ = 5;
    std::uint16_t additionalTimeoutMs_ = 0;
    std::uint8_t fcbBit_ = 1;
    std::unique_ptr<ClockTimer> answerTimer_;
    std::unique_ptr<ClockTimer> delayTimer_;
    bool strayBytes_ = false;
    bool expectSingleChar_ = false;
    bool expectLongFrame_ = false;
    bool fcbResetPending_ = false;
    std::uint8_t frameL_ = 0;
    std::array<std::uint8_t, kFrameBufferSize> frameBuffer_{};
    bool inFrame_ = false;
    bool frameRejected_ = false; // a frame begun was refused: its bytes go on
    bool delayElapsed_ = false;
    int frameCount_ = 0;
    int echoIndex_ = 1;
};

} // namespace quorven
