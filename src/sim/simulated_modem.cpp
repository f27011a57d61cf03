// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/simulated_modem.h"

#include <algorithm>
#include <array>

namespace quorven::sim {

namespace {

constexpr char kCr = '\r';
// A command line longer than this is answered with "ERROR".
constexpr qsizetype kMaxCommandBytes = 256;
// How long the modem waits for a carrier before it gives up on a call nobody
// answers: longer than a master's usual 60 s dial time-out.
constexpr qint64 kNoAnswerMs = 90000;

struct OutcomeRow {
    DialOutcome outcome;
    const char* answer; // CONNECT gets the port's rate appended
    qint64 afterMs;     // from the dial command; CONNECT's comes from the description
};

// What each outcome answers, and when.
constexpr std::array<OutcomeRow, 6> kOutcomes{{
    {DialOutcome::Connect, "CONNECT", 0},
    {DialOutcome::Busy, "BUSY", 4000},
    {DialOutcome::NoAnswer, "NO CARRIER", kNoAnswerMs},
    {DialOutcome::NoCarrier, "NO CARRIER", 20000},
    {DialOutcome::NoDialTone, "NO DIALTONE", 3000},
    {DialOutcome::Error, "ERROR", 0},
}};

LineSettings FarFormat(qint32 baud) {
    LineSettings format;
    format.baudRate = baud;
    format.parity = Parity::Even;
    return format;
}

// Bytes as a trace shows them: control characters in caret notation ("^M"
// for CR), a caret doubled.
QString CaretText(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20) {
            text += QLatin1Char('^');
            text += QLatin1Char(static_cast<char>(u + 0x40));
        } else if (c == '^') {
            text += QStringLiteral("^^");
        } else {
            text += QLatin1Char(c);
        }
    }
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number a dial string stands for: without the tone or pulse modifier,
// blanks and the usual separators.
QString DialledNumber(const QByteArray& dialString) {
    QByteArray rest = dialString.trimmed();
    if (!rest.isEmpty() && (rest[0] == 'T' || rest[0] == 'P')) {
        rest.remove(0, 1);
    }
    QString number;
    for (const char c : rest) {
        if (c != ' ' && c != '-' && c != '(' && c != ')') {
            number.append(QLatin1Char(c));
        }
    }
    return number;
}

} // namespace

SimulatedModem::SimulatedModem(Clock& clock, ModemDescription description, int busOwner,
                               std::function<void()> changed,
                               std::function<void(const QString&)> trace)
    : clock_(clock), description_(std::move(description)), busOwner_(busOwner),
      changed_(std::move(changed)), trace_(std::move(trace)),
      farFormat_(FarFormat(description_.baud)), dteReceiver_(dteFormat_, nowTick()),
      timer_(clock.createTimer()) {
    timer_->setSingleShot(true);
    timer_->setCallback([this] { onTimer(); });
}

SimulatedModem::~SimulatedModem() = default;

Tick SimulatedModem::nowTick() const {
    return clock_.now() * kTicksPerMs;
}

void SimulatedModem::setDteFormat(const LineSettings& format) {
    dteFormat_ = format;
    dteReceiver_.setFormat(format);
}

void SimulatedModem::setDtr(bool on) {
    if (on == dtr_) {
        return;
    }
    dtr_ = on;
    trace_(on ? QStringLiteral("dtr on") : QStringLiteral("dtr off"));
    if (!on && mode_ != Mode::Command) {
        endCall();
        trace_(QStringLiteral("hung up"));
    }
}

// --- The port side ---

std::vector<Transmission> SimulatedModem::hearDte(Tick now) {
    std::vector<Transmission> toBus;
    for (const ReceivedCharacter& character : dteReceiver_.receiveUntil(fromDte_, now)) {
        switch (mode_) {
        case Mode::Command:
            hearCommandByte(character);
            break;
        case Mode::Dialling:
            endCall();
            say(QStringLiteral("NO CARRIER"));
            break;
        case Mode::Online: {
            Transmission sent(std::max(character.end, toBusUntil_), farFormat_,
                              QByteArray(1, static_cast<char>(character.byte)), busOwner_);
            toBusUntil_ = sent.end();
            toBus.push_back(std::move(sent));
            break;
        }
        }
    }
    return toBus;
}

void SimulatedModem::hearCommandByte(const ReceivedCharacter& character) {
    const char byte = static_cast<char>(character.byte);
    if (echo_) {
        sendToDte(character.end, QByteArray(1, byte));
    }
    if (byte != kCr) {
        if (commandLine_.size() < kMaxCommandBytes) {
            commandLine_.append(byte);
        } else {
            commandTooLong_ = true;
        }
        return;
    }
    const QByteArray line = commandLine_;
    const bool tooLong = commandTooLong_;
    commandLine_.clear();
    commandTooLong_ = false;
    trace_(QStringLiteral("heard ") + CaretText(line + kCr) +
           (tooLong ? QStringLiteral(" (too long)") : QString()));
    if (tooLong) {
        say(QStringLiteral("ERROR"));
        return;
    }
    execute(line);
}

// A command line: "AT" and commands, each a letter ("&" and a letter, "S"
// and a register) with digits, or an extended "+" command up to ";". Only D
// (dial), A (answer), E (echo), Z and &F (defaults) do anything; every other
// command is taken as it comes and answered "OK".
void SimulatedModem::execute(const QByteArray& line) {
    const qsizetype at = line.toUpper().indexOf("AT");
    if (at < 0) {
        return; // not a command: a modem ignores what does not start with AT
    }
    const QByteArray command = line.mid(at);
    const QByteArray upper = command.toUpper();
    qsizetype i = 2;
    const auto number = [&upper, &i] {
        int value = 0;
        while (i < upper.size() && IsDigit(upper[i])) {
            value = std::min(value * 10 + (upper[i] - '0'), 1000);
            ++i;
        }
        return value;
    };
    while (i < upper.size()) {
        const char c = upper[i++];
        if (c == 'D') {
            dial(command.mid(i));
            return;
        }
        if (c == 'A') {
            await(QStringLiteral("NO CARRIER"), kNoAnswerMs, false);
            return;
        }
        if (c == 'E') {
            echo_ = number() != 0;
        } else if (c == 'Z') {
            echo_ = true;
            number();
        } else if (c == '&') {
            if (i < upper.size() && upper[i++] == 'F') {
                echo_ = true;
            }
            number();
        } else if (c == '+') {
            while (i < upper.size() && upper[i] != ';') {
                ++i;
            }
        } else {
            number();
        }
    }
    say(QStringLiteral("OK"));
}

void SimulatedModem::dial(const QByteArray& dialString) {
    const auto listed = description_.numbers.find(DialledNumber(dialString.toUpper()));
    const DialOutcome outcome =
        listed == description_.numbers.end() ? DialOutcome::NoAnswer : listed->second;
    const OutcomeRow& row =
        *std::find_if(kOutcomes.begin(), kOutcomes.end(),
                      [outcome](const OutcomeRow& r) { return r.outcome == outcome; });
    QString answer = QString::fromLatin1(row.answer);
    if (outcome == DialOutcome::Connect) {
        answer += QLatin1Char(' ') + QString::number(dteFormat_.baudRate);
        await(answer, description_.connectDelayMs, true);
    } else if (row.afterMs == 0) {
        say(answer);
    } else {
        await(answer, row.afterMs, false);
    }
}

void SimulatedModem::await(const QString& answer, qint64 afterMs, bool connects) {
    mode_ = Mode::Dialling;
    pendingAnswer_ = answer;
    pendingConnects_ = connects;
    timer_->start(afterMs);
}

void SimulatedModem::onTimer() {
    if (mode_ == Mode::Online) {
        endCall();
        say(QStringLiteral("NO CARRIER"));
    } else if (mode_ == Mode::Dialling) {
        say(pendingAnswer_);
        if (pendingConnects_) {
            mode_ = Mode::Online;
            farReceiver_.emplace(farFormat_, nowTick());
            if (description_.dropCarrierAfterMs) {
                timer_->start(*description_.dropCarrierAfterMs);
            }
        } else {
            mode_ = Mode::Command;
        }
    }
    changed_();
}

void SimulatedModem::endCall() {
    timer_->stop();
    farReceiver_.reset();
    mode_ = Mode::Command;
}

void SimulatedModem::say(const QString& answer) {
    trace_(QStringLiteral("said ") + answer);
    sendToDte(nowTick(), "\r\n" + answer.toLatin1() + "\r\n");
}

void SimulatedModem::sendToDte(Tick from, const QByteArray& bytes) {
    Transmission sent(std::max(from, toDteUntil_), dteFormat_, bytes, 0);
    toDteUntil_ = sent.end();
    toDte_.add(std::move(sent));
}

// --- The bus side ---

void SimulatedModem::hearBus(const WireLine& bus, Tick now) {
    if (!farReceiver_) {
        return;
    }
    for (const ReceivedCharacter& character : farReceiver_->receiveUntil(bus, now)) {
        sendToDte(character.end, QByteArray(1, static_cast<char>(character.byte)));
    }
}

std::optional<Tick> SimulatedModem::nextDue(const WireLine& bus) const {
    std::optional<Tick> due;
    const auto consider = [&due](const std::optional<ReceivedCharacter>& next) {
        if (next && (!due || next->end < *due)) {
            due = next->end;
        }
    };
    consider(dteReceiver_.peek(fromDte_));
    if (farReceiver_) {
        consider(farReceiver_->peek(bus));
    }
    return due;
}

std::optional<Tick> SimulatedModem::busPosition() const {
    if (!farReceiver_) {
        return std::nullopt;
    }
    return farReceiver_->position();
}

void SimulatedModem::forgetBefore(Tick portPosition) {
    fromDte_.forgetBefore(dteReceiver_.position());
    toDte_.forgetBefore(portPosition);
}

} // namespace quorven::sim
