// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Link scripts: the link layer on a scripted line or on a simulated bus, on
// virtual time, each run compared with NAME.out beside the script. One
// command a line; "*" lines are copied as headings, and a blank line starts
// again with new ports and a new link object. Commands:
//   retries N | baud INDEX | parity-none | additional MS | fcb BIT | rts-off
//   open | destroy | clear-raw | run MS
//   ReqUD2 A | SndNke A | ApplReset A | SndUD A CI BYTES | SelectById ID
//   SetPort NAME | TxProtocol | RxProtocol | Show_Error
// and on a scripted line only:
//   fail-writes | fail-open TEXT | gateway-baud RATE
//   fault AT TEXT              the open port fails at AT (the device gone)
//   stray                      bytes the M-Bus receiver does not take are
//                              shown as they are handed on
//   send AT BYTES [every MS]   bytes arriving without a request
//   reply EVENT; EVENT...      how the next write is answered; the last reply
//       answers every later write. EVENT: "DELAY BYTES [every MS]",
//       "DELAY echo every MS" or "DELAY error framing|parity|break|other";
//       a "reply" without events leaves the write unanswered.
// BYTES are hex pairs; "55*600" is 600 bytes 55h. After each command come
// the line's new events (open, modem lines, purges, writes, each with its
// millisecond); after an exchange its result, the time and the FCB; after a
// report its trace lines and boxes; and whenever it changed, what the link
// holds: the telegram sent (on a bus), the frame received, the frame and raw
// hex texts, a pending line error.
// QUORVEN_UPDATE_GOLDEN=NAME rewrites NAME.out (to be reviewed).

#include "common/golden.h"
#include "common/scripted_line.h"
#include "common/scripted_prompter.h"
#include "link/link_result.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "operations/link_reporter.h"

#include <QFile>
#include <QTest>

#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace quorven::testing {

inline QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// "68 1F 55*3" as bytes.
inline QByteArray Bytes(const QStringList& tokens) {
    QByteArray bytes;
    for (const QString& t : tokens) {
        const QStringList run = t.split('*');
        bytes +=
            QByteArray::fromHex(run[0].toLatin1()).repeated(run.size() > 1 ? run[1].toInt() : 1);
    }
    return bytes;
}

inline std::uint8_t ErrorFlags(const QString& names) {
    const std::map<QString, std::uint8_t> flags{{"framing", LineErrorFlag::Framing},
                                                {"parity", LineErrorFlag::Parity},
                                                {"break", LineErrorFlag::Break},
                                                {"other", 0x01}};
    std::uint8_t all = 0;
    for (const QString& name : names.split('+')) {
        all |= flags.at(name);
    }
    return all;
}

class LinkScript {
public:
    // Ports come from makePorts; the line commands (reply, send, fail-writes,
    // fail-open) and the line's events need them to be a ScriptedLine.
    LinkScript(QStringList& out,
               const std::function<std::unique_ptr<PortFactory>(Clock&)>& makePorts)
        : out_(out), ports_(makePorts(clock_)), line_(dynamic_cast<ScriptedLine*>(ports_.get())) {
        if (line_ != nullptr) {
            line_->onWrite = [this](const QByteArray& written) { react(written); };
        }
        sio_.SetFaultReceiver([this](const QString& text) {
            faults_ << QStringLiteral("  %1 fault: %2").arg(clock_.now()).arg(text);
        });
    }

    void run(const QString& command) {
        QStringList args = command.split(' ', Qt::SkipEmptyParts);
        const QString name = args.takeFirst();
        const auto number = [&args](int i) { return args.value(i).toInt(); };
        const std::map<QString, std::function<void()>> settings{
            {"retries", [&] { sio_.SetRetryCount(std::uint8_t(number(0))); }},
            {"baud", [&] { sio_.SetBaud(number(0)); }},
            {"additional", [&] { sio_.SetAdditionalTimeoutMs(std::uint16_t(number(0))); }},
            {"fcb", [&] { sio_.SetFcbBit(std::uint8_t(number(0))); }},
            {"rts-off", [&] { sio_.SetRtsOffMode(true); }},
            {"parity-none", [&] { sio_.SetParityNone(); }},
            {"open", [&] { sio_.OpenPort(); }},
            {"fail-writes", [&] { line_->failWrites = true; }},
            {"gateway-baud", [&] { line_->fixedBaud = number(0); }},
            {"stray",
             [&] {
                 sio_.SetStrayReceiver([this](const QByteArray& bytes) {
                     line_->events.append(
                         QStringLiteral("%1 stray %2").arg(clock_.now()).arg(Hex(bytes)));
                 });
             }},
            {"fail-open", [&] { line_->failOpenText = args.join(' '); }},
            {"fault", [&] { line_->faultAt(number(0), args.mid(1).join(' ')); }},
            {"destroy", [&] { sio_.Destroy(); }},
            {"clear-raw", [&] { sio_.ClearRawHexText(); }},
            {"run", [&] { clock_.advanceBy(number(0)); }},
            {"send", [&] { send(number(0), args.mid(1)); }},
            {"reply", [&] { replies_.push_back(args.join(' ')); }},
            {"SetPort", [&] { sio_.SetPort(args.value(0)); }},
            {"TxProtocol", [&] { reporter_.TxProtocol(sio_.TxBuffer()); }},
            {"RxProtocol", [&] { reporter_.RxProtocol(sio_.RxBuffer()); }},
            {"Show_Error", [&] { reporter_.Show_Error(); }},
        };
        const std::map<QString, std::function<std::uint8_t()>> exchanges{
            {"ReqUD2", [&] { return sio_.ReqUD2(std::uint8_t(number(0))); }},
            {"SndNke", [&] { return sio_.SndNke(std::uint8_t(number(0))); }},
            {"ApplReset", [&] { return sio_.ApplReset(std::uint8_t(number(0))); }},
            {"SndUD",
             [&] {
                 return sio_.SndUD(std::uint8_t(number(0)),
                                   std::uint8_t(args[1].toInt(nullptr, 16)), Bytes(args.mid(2)));
             }},
            {"SelectById", [&] { return sio_.SelectById(*IdTextToBytes(args.value(0))); }},
        };
        out_ << "> " + command;
        if (line_ == nullptr && QStringList{"reply", "send", "fail-writes", "fail-open", "fault",
                                            "gateway-baud", "stray"}
                                    .contains(name)) {
            out_ << "! needs a scripted line";
            return;
        }
        const qint64 start = clock_.now();
        try {
            if (exchanges.count(name) != 0) {
                const int result = exchanges.at(name)();
                showEvents();
                out_ << QStringLiteral("= %1 after %2 ms, FCB %3")
                            .arg(result)
                            .arg(clock_.now() - start)
                            .arg(sio_.FcbBit());
            } else {
                settings.at(name)();
                showEvents();
                showReports();
            }
            showReceived();
        } catch (const PortError& e) {
            showEvents();
            out_ << QStringLiteral("! %1").arg(QString::fromUtf8(e.what()));
        }
    }

private:
    void send(qint64 at, QStringList tokens) {
        const bool every = tokens.size() > 2 && tokens[tokens.size() - 2] == "every";
        const qint64 gap = every ? tokens.takeLast().toLongLong() : 0;
        if (every) {
            tokens.removeLast();
        }
        line_->sendAt(at, Bytes(tokens), gap);
    }
    void react(const QByteArray& written) {
        const QString reply = replies_.empty() ? QString() : replies_.front();
        if (replies_.size() > 1) {
            replies_.pop_front();
        }
        for (const QString& event : reply.split(';', Qt::SkipEmptyParts)) {
            QStringList tokens = event.split(' ', Qt::SkipEmptyParts);
            const qint64 at = clock_.now() + tokens.takeFirst().toLongLong();
            if (tokens.first() == "error") {
                line_->lineErrorAt(at, ErrorFlags(tokens.value(1)));
            } else if (tokens.first() == "echo") {
                line_->sendAt(at, written, tokens.last().toLongLong());
            } else {
                send(at, tokens);
            }
        }
    }
    void showEvents() {
        for (; line_ != nullptr && shownEvents_ < line_->events.size(); ++shownEvents_) {
            out_ << "  " + line_->events[shownEvents_];
        }
        out_ << faults_;
        faults_.clear();
    }
    // What the link holds of the last answer, when it changed.
    void showReceived() {
        QStringList held;
        const auto show = [&held](const char* what, const QString& text) {
            if (!text.isEmpty()) {
                held << QStringLiteral("  %1 %2").arg(what, text.trimmed());
            }
        };
        if (line_ == nullptr) { // on a bus the writes are not shown as events
            show("tx", Hex(sio_.TxBuffer()));
        }
        show("rx", Hex(sio_.RxFrame()));
        show("slave medium",
             sio_.RxLength() > 0 ? Hex(QByteArray(1, char(sio_.SlaveMedium()))) : "");
        show("frame hex text", QString::fromStdString(sio_.FrameHexText()));
        const QString raw = QString::fromStdString(sio_.RawHexText());
        show("raw hex text",
             raw.size() > 60 ? QStringLiteral("%1 bytes").arg(raw.size() / 3) : raw);
        if (sio_.PendingLineError() != LinkResult::Pending) {
            show("pending line error", QString::number(sio_.PendingLineError()));
        }
        if (held != shownHeld_) {
            out_ << (held.isEmpty() ? QStringList{"  (nothing held)"} : held);
            shownHeld_ = held;
        }
    }
    void showReports() {
        for (; shownLines_ < trace_.lines().size(); ++shownLines_) {
            out_ << "  | " + trace_.lines()[shownLines_];
        }
        for (; shownBoxes_ < prompter_.asked.size(); ++shownBoxes_) {
            const auto& box = prompter_.asked[shownBoxes_];
            out_ << QStringLiteral("  %1 %2: %3")
                        .arg(box.kind, box.caption, QString(box.text).replace('\n', "\\n"));
        }
    }

    QStringList& out_;
    VirtualClock clock_;
    std::unique_ptr<PortFactory> ports_;
    ScriptedLine* line_;
    TMB_Sio sio_{clock_, *ports_};
    Trace trace_;
    ScriptedPrompter prompter_;
    LinkReporter reporter_{trace_, prompter_, clock_, sio_};
    std::deque<QString> replies_;
    QStringList faults_; // what the link was told of its port's faults
    QStringList shownHeld_;
    qsizetype shownEvents_ = 0;
    qsizetype shownLines_ = 0;
    std::size_t shownBoxes_ = 0;
};

// Runs the script base + ".script", each section on a new link with ports
// from makePorts, and compares the lines with base + ".out".
inline void
CompareLinkScript(const QString& base,
                  const std::function<std::unique_ptr<PortFactory>(Clock&)>& makePorts) {
    QFile file(base + ".script");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList out;
    std::unique_ptr<LinkScript> script;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            script.reset();
        } else if (line.startsWith('*')) {
            out << line;
        } else {
            if (!script) {
                script = std::make_unique<LinkScript>(out, makePorts);
            }
            script->run(line);
        }
    }
    CompareGolden(out.join('\n').toUtf8() + '\n', base + ".out");
}

} // namespace quorven::testing
