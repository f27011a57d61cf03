// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/mb_mod.h"

#include "link/caret_notation.h"

#include <algorithm>
#include <optional>

namespace quorven {

namespace {

struct StringRow {
    const char* name;
    const char* value; // the default
};

// Indexes into the table of named strings below.
enum StringIndex : std::size_t {
    kInitCmd,
    kDialCmd,
    kDialTerm,
    kHangupCmd,
    kResetCmd,
    kAnswerCmd,
    kOk,
    kConnect,
    kBusy,
    kNoCarrier,
    kNoDialTone,
    kError,
    kVoice,
    kRing,
    kTerm,
};
static_assert(kTerm + 1 == TMB_Mod::kStringCount);

// The driver's named strings and their defaults, in the order of StringIndex.
constexpr std::array<StringRow, TMB_Mod::kStringCount> kStrings{{
    {"INITCMD", "ATZE1M1^M"},
    {"DIALCMD", "ATDT"},
    {"DIALTERM", "^M"},
    {"HANGUPCMD", "+++~~~ATH0^M"},
    {"RESETCMD", "ATZ^M"},
    {"ANSWERCMD", "ATA^M"},
    {"ROK", "OK"},
    {"RCONNECT", "CONNECT"},
    {"RBUSY", "BUSY"},
    {"RNOCARRIER", "NO CARRIER"},
    {"RNODIALTONE", "NO DIALTONE"},
    {"RERROR", "ERROR"},
    {"RVOICE", "VOICE"},
    {"RRING", "RING"},
    {"RTERM", "^M"},
}};

struct ResponseRow {
    std::size_t string;
    ModemEvent event;
    bool prefix; // the line only has to begin with the response
    bool ends;   // the response ends the command waiting for it
};

// The response lines the driver knows, in the order they are tried.
constexpr std::array<ResponseRow, 8> kResponses{{
    {kOk, ModemEvent::Ok, false, true},
    {kConnect, ModemEvent::Connect, true, true},
    {kBusy, ModemEvent::Busy, false, true},
    {kNoCarrier, ModemEvent::NoCarrier, false, true},
    {kNoDialTone, ModemEvent::NoDialTone, false, true},
    {kError, ModemEvent::Error, false, true},
    {kVoice, ModemEvent::Voice, false, true},
    {kRing, ModemEvent::Ring, false, false},
}};

struct TimeoutRow {
    ModemState state;
    ModemEvent event;
};

constexpr std::array<TimeoutRow, 3> kTimeouts{{
    {ModemState::Initialising, ModemEvent::CommandTimeout},
    {ModemState::Dialling, ModemEvent::DialTimeout},
    {ModemState::Answering, ModemEvent::AnswerTimeout},
}};

std::optional<std::size_t> StringIndexOf(const QString& name) {
    const auto it = std::find_if(kStrings.begin(), kStrings.end(), [&name](const StringRow& row) {
        return name == QLatin1String(row.name);
    });
    if (it == kStrings.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - kStrings.begin());
}

} // namespace

TMB_Mod::TMB_Mod(Clock& clock) : clock_(clock), timer_(clock.createTimer()) {
    for (std::size_t i = 0; i < kStrings.size(); ++i) {
        strings_[i] = QString::fromLatin1(kStrings[i].value);
    }
    reader_.SetTerminator(Decoded(kTerm));
    timer_->setSingleShot(true);
    timer_->setCallback([this] { OnTimeout(); });
}

TMB_Mod::~TMB_Mod() {
    *alive_ = false;
}

QString TMB_Mod::String(const QString& name) const {
    const auto index = StringIndexOf(name);
    return index ? strings_[*index] : QString();
}

bool TMB_Mod::SetString(const QString& name, const QString& value) {
    const auto index = StringIndexOf(name);
    if (!index) {
        return false;
    }
    strings_[*index] = value;
    if (*index == kTerm) {
        reader_.SetTerminator(Decoded(kTerm));
    }
    return true;
}

QByteArray TMB_Mod::Decoded(std::size_t index) const {
    return DecodeCaretNotation(strings_[index]);
}

void TMB_Mod::Attach(SerialPort* port) {
    port_ = port;
}

void TMB_Mod::Detach() {
    port_ = nullptr;
    reader_.Clear();
}

void TMB_Mod::SetListening(bool on) {
    listening_ = on;
    reader_.Clear();
}

// --- Commands ---

bool TMB_Mod::Send(const QByteArray& command, ModemState state, qint64 timeoutMs) {
    timer_->stop();
    state_ = ModemState::Idle;
    if (port_ == nullptr || port_->write(command) != command.size()) {
        return false;
    }
    state_ = state;
    timer_->start(timeoutMs);
    return true;
}

bool TMB_Mod::Init() {
    return Send(Decoded(kInitCmd), ModemState::Initialising, kCommandTimeoutMs);
}

bool TMB_Mod::Dial(const QString& number) {
    return Send(Decoded(kDialCmd) + number.toUtf8() + Decoded(kDialTerm), ModemState::Dialling,
                dialTimeoutMs_);
}

bool TMB_Mod::Answer() {
    return Send(Decoded(kAnswerCmd), ModemState::Answering, answerTimeoutMs_);
}

bool TMB_Mod::Hangup() {
    timer_->stop();
    if (port_ == nullptr) {
        state_ = ModemState::Idle;
        return false;
    }
    state_ = ModemState::HangingUp;
    port_->setDtr(false);
    const auto alive = alive_;
    bool elapsed = false;
    const auto pause = clock_.callAfter(kDtrDropMs, [&elapsed] { elapsed = true; });
    clock_.pumpUntil([&] { return !*alive || elapsed; });
    if (!*alive) {
        return false;
    }
    state_ = ModemState::Idle;
    if (port_ == nullptr) {
        return false;
    }
    port_->setDtr(true);
    return true;
}

void TMB_Mod::Reset() {
    timer_->stop();
    state_ = ModemState::Idle;
    reader_.Clear();
}

// --- Receiving ---

void TMB_Mod::BytesReceived(const QByteArray& bytes) {
    const auto alive = alive_;
    for (const char byte : bytes) {
        // A report may have detached or destroyed the driver: the rest is
        // none of its business then.
        if (!*alive || (port_ == nullptr && !listening_)) {
            return;
        }
        if (const auto line = reader_.Push(byte)) {
            HandleLine(*line);
        }
    }
}

void TMB_Mod::HandleLine(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty()) {
        return;
    }
    for (const ResponseRow& row : kResponses) {
        const QByteArray response = Decoded(row.string);
        const bool matches =
            row.prefix ? !response.isEmpty() && trimmed.startsWith(response) : trimmed == response;
        if (matches) {
            Report(row.event, QString::fromLatin1(trimmed), row.ends);
            return;
        }
    }
}

void TMB_Mod::OnTimeout() {
    const auto row = std::find_if(kTimeouts.begin(), kTimeouts.end(),
                                  [this](const TimeoutRow& r) { return r.state == state_; });
    if (row != kTimeouts.end()) {
        Report(row->event, QString(), true);
    }
}

void TMB_Mod::Report(ModemEvent event, const QString& line, bool ends) {
    const ModemReport report{event, state_, line};
    if (ends) {
        timer_->stop();
        state_ = ModemState::Idle;
    }
    if (onEvent) {
        // A copy: the handler may replace it, or destroy the driver.
        const auto handler = onEvent;
        handler(report);
    }
}

} // namespace quorven
