// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/command_line_state.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quorven {

// One change of the window's controls asked for by a switch, applied in the
// order the switches were given (checking Multi Tel. also checks SND_NKE, so
// "/U /NN" and "/NN /U" differ).
struct CommandAction {
    enum class Kind {
        SndNke,      // flag
        MultiTel,    // flag
        AppReset,    // flag
        PulseDial,   // flag: "Telpuls" and the modem window's pulse box
        NoParity,    // flag: "GSM-modem (8N1)"
        PhoneNumber, // text: "Telnr" and the modem window's phone field
        ModemInit,   // text: "Telini" and the modem window's configuration field
        CycleTime,   // text: "TIMEINTERVAL" and the cycle-time field
        SearchBaud,  // number: index of the search baud rate entry
        Port,        // number: port 1..255
    };
    Kind kind;
    bool flag = false;
    QString text;
    int number = 0;

    friend bool operator==(const CommandAction&, const CommandAction&) = default;
};

struct CommandLine {
    bool valid = false; // at least one parameter and no refused "/B:" or "/C:"
    QStringList lines;  // for the text area, in order
    CommandLineState state;
    std::vector<CommandAction> actions;
};

// Parses the switches (the arguments without the program name and without the
// program's own "--" options). programPath is shown as "Dir: ". With no
// switches nothing is written and the result is not valid. A refused switch
// adds its line; "/Z:" naming the "/S:" file or slaveListPath (the program's
// slist.csv), "/X" without "/L" and an "/I:" value that is no whole number of
// seconds from 1 to 86400 end the program (CommandLineState::endsProgram).
CommandLine ParseCommandLine(const QStringList& switches, const QString& programPath,
                             const QString& slaveListPath = QString());

// The entries of the search baud rate list, in their order.
inline constexpr const char* kSearchBaudEntries[] = {"2400", "300", "2400 + 300", "9600"};

} // namespace quorven
