// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QFileInfo>

#include <functional>

namespace quorven {

namespace {

using Kind = CommandAction::Kind;

// A switch without a value: its text and what it does.
struct FlagSwitch {
    const char* name;
    std::function<void(CommandLine&)> apply;
};

std::function<void(CommandLine&)> Act(Kind kind, bool flag) {
    return [kind, flag](CommandLine& c) { c.actions.push_back({kind, flag, {}, 0}); };
}

std::function<void(CommandLine&)> SetState(bool CommandLineState::*member) {
    return [member](CommandLine& c) { c.state.*member = true; };
}

// Two-character switches, then three-character ones; a parameter is looked up
// only among the switches of its own length.
const FlagSwitch kShortSwitches[] = {
    {"/M", SetState(&CommandLineState::modemStart)},
    {"/N", Act(Kind::SndNke, true)},
    {"/U", Act(Kind::MultiTel, true)},
    {"/R", Act(Kind::AppReset, true)},
    {"/W", Act(Kind::PulseDial, true)},
    {"/L", SetState(&CommandLineState::autoLogging)},
    {"/A", SetState(&CommandLineState::dateStamp)},
    {"/X", SetState(&CommandLineState::stayOpen)},
    {"/NN", Act(Kind::SndNke, false)},
    {"/NU", Act(Kind::MultiTel, false)},
    {"/NR", Act(Kind::AppReset, false)},
    {"/NW", Act(Kind::PulseDial, false)},
    {"/NP", Act(Kind::NoParity, true)},
    {"/PE", Act(Kind::NoParity, false)},
};

bool IsDecimal(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

// A switch refused; `endsProgram`: nothing sensible is left to run.
void Refuse(CommandLine& c, const QString& line, bool endsProgram) {
    c.lines.append(line);
    c.state.refusals.append(line);
    c.state.endsProgram = c.state.endsProgram || endsProgram;
    c.valid = false;
}

// Whether two names lead to the same file (also when neither exists yet).
bool SameFile(const QString& a, const QString& b) {
    const QFileInfo x(a);
    const QFileInfo y(b);
    if (x.absoluteFilePath() == y.absoluteFilePath()) {
        return true;
    }
    return x.exists() && y.exists() && x.canonicalFilePath() == y.canonicalFilePath();
}

constexpr int kMaxCycleSeconds = 86400;

void CycleTime(CommandLine& c, const QString& parameter, const QString& value) {
    // A whole number of seconds, at most a day; the value is echoed as typed.
    const int seconds = IsDecimal(value) && value.size() <= 5 ? value.toInt() : 0;
    if (seconds < 1 || seconds > kMaxCycleSeconds) {
        Refuse(c,
               parameter + QStringLiteral(" not allowed: the cycle time is a whole number of "
                                          "seconds from 1 to 86400"),
               true);
        return;
    }
    c.actions.push_back({Kind::CycleTime, false, value, 0});
}

void TextAction(CommandLine& c, Kind kind, const QString& value) {
    c.actions.push_back({kind, false, value, 0});
}

void SearchBaud(CommandLine& c, const QString& value) {
    int entry = -1;
    if (IsDecimal(value)) {
        for (int i = 0; i < int(std::size(kSearchBaudEntries)); ++i) {
            if (value == QLatin1String(kSearchBaudEntries[i])) {
                entry = i;
            }
        }
    }
    if (entry < 0) {
        Refuse(c, value + QStringLiteral(" baud not allowed!"), false);
        return;
    }
    c.actions.push_back({Kind::SearchBaud, false, {}, entry});
    c.lines.append(QStringLiteral("Baudrate ") + value + QStringLiteral(" baud"));
}

void Port(CommandLine& c, const QString& value) {
    // At most three digits, so "0000000000003" and huge numbers are refused too.
    const int n = (IsDecimal(value) && value.size() <= 3) ? value.toInt() : 0;
    if (n < 1 || n > 255) {
        Refuse(c, QStringLiteral("COM ") + value + QStringLiteral(" not allowed!"), false);
        return;
    }
    c.actions.push_back({Kind::Port, false, {}, n});
}

// A switch with a value: "/X:" followed by at least one character.
void ValueSwitch(CommandLine& c, const QString& parameter, const QString& name,
                 const QString& value) {
    if (name == QLatin1String("/T:")) {
        TextAction(c, Kind::PhoneNumber, value);
    } else if (name == QLatin1String("/K:")) {
        TextAction(c, Kind::ModemInit, value);
    } else if (name == QLatin1String("/Z:")) {
        c.state.logFileName = value;
    } else if (name == QLatin1String("/S:")) {
        c.state.slaveFile = value;
    } else if (name == QLatin1String("/I:")) {
        CycleTime(c, parameter, value);
    } else if (name == QLatin1String("/B:")) {
        SearchBaud(c, value);
    } else if (name == QLatin1String("/C:")) {
        Port(c, value);
    }
}

} // namespace

CommandLine ParseCommandLine(const QStringList& switches, const QString& programPath,
                             const QString& slaveListPath) {
    CommandLine c;
    if (switches.isEmpty()) {
        return c;
    }
    c.valid = true;
    c.lines.append(QStringLiteral("Dir: ") + programPath);
    for (const QString& parameter : switches) {
        const QString upper = parameter.toUpper();
        c.lines.append(QStringLiteral("Parameter: ") + upper);
        if (upper.size() == 2 || upper.size() == 3) {
            for (const FlagSwitch& s : kShortSwitches) {
                if (upper == QLatin1String(s.name)) {
                    s.apply(c);
                }
            }
        } else if (upper.size() > 3) {
            ValueSwitch(c, parameter, upper.left(3), parameter.mid(3));
        }
    }
    // What would make a run that never ends or writes into the slave list.
    if (c.state.stayOpen && !c.state.autoLogging) {
        Refuse(c, QStringLiteral("/X not allowed without /L: nothing would end the run"), true);
    }
    const QString& log = c.state.logFileName;
    for (const QString& list : {c.state.slaveFile, slaveListPath}) {
        if (!list.isEmpty() && SameFile(log, list)) {
            Refuse(c,
                   QStringLiteral("/Z:") + log +
                       QStringLiteral(" not allowed: the log would be written into the slave "
                                      "list ") +
                       list,
                   true);
            break;
        }
    }
    return c;
}

} // namespace quorven
