// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace quorven {

// The program's own options, given as "--name[=value]" before or among the
// switches of the automatic run. They are taken out of the command line; what
// is left goes to Check_Cmdlparms.
struct ProgramOptions {
    QString configDir;        // --config-dir=DIR: where the settings and slist.csv live
    bool simulate = false;    // --simulate[=FILE]: every port is the simulated bus
    QString simulationFile;   // empty: the built-in demonstration bus
    QString importFile;       // --import=FILE: a hex-text telegram imported once the window shows
    QString traceFile;        // --trace=FILE: every line of the text area is appended to it
    bool virtualTime = false; // --virtual-time: the program runs on the virtual clock
    QString mqttUrl;          // --mqtt=URL: the broker of this run, in place of [MQTT] Url
    QString language;         // --language=en|hu: the window's language for this run
    QStringList switches;     // everything else, in order, without the program name
    QStringList problems;     // texts for options given wrongly
    QStringList refusals;     // options the program cannot start with (exit status 2)
};

// arguments without the program name.
ProgramOptions ParseProgramOptions(const QStringList& arguments);

// Prints where each port name leads and exits, without a window; main()
// looks for it before anything else.
inline constexpr char kListPortsOption[] = "--list-ports";

// True for the folder programs are installed into (/usr/bin and the like).
bool IsSystemProgramFolder(const QString& folder);

// The folder of the settings file and slist.csv: the explicit folder when one
// is given, else the program's folder when it can be written and is no
// installed program's folder, else the user's configuration folder.
QString ConfigFolder(const QString& explicitDir, const QString& programFolder,
                     const QString& userConfigFolder);

// The settings file's name for a program file: its name in lower case with the
// extension replaced by "ini" ("Quorven.exe" gives "quorven.ini"); a name
// without an extension gets ".ini" appended.
QString SettingsFileName(const QString& programFileName);

inline constexpr char kSlaveListFileName[] = "slist.csv";

} // namespace quorven
