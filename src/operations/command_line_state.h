// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorven {

// What the switches of the command line set for the automatic run.
struct CommandLineState {
    bool modemStart = false;                         // "/M"
    bool autoLogging = false;                        // "/L"
    bool stayOpen = false;                           // "/X"
    bool dateStamp = false;                          // "/A"
    QString logFileName = QStringLiteral("Log.csv"); // "/Z:"
    QString slaveFile;                               // "/S:"

    // "/L" without "/X": the run reads once and closes the program.
    bool unattended() const { return autoLogging && !stayOpen; }
};

} // namespace quorven
