// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace quorven {

// What the switches of the command line set for the automatic run.
struct CommandLineState {
    bool modemStart = false;                         // "/M"
    bool autoLogging = false;                        // "/L"
    bool stayOpen = false;                           // "/X"
    bool dateStamp = false;                          // "/A"
    QString logFileName = QStringLiteral("Log.csv"); // "/Z:"
    QString slaveFile;                               // "/S:"
    // Switches refused, one line each (also told on standard error).
    QStringList refusals;
    // A refusal that leaves nothing sensible to run ("/X" without "/L", a log
    // file that is the slave list, a cycle time out of range): the program
    // ends instead of waiting at the window.
    bool endsProgram = false;

    // "/L" without "/X": the run reads once and closes the program.
    bool unattended() const { return autoLogging && !stayOpen; }
};

} // namespace quorven
