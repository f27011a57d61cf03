// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

namespace quorven {

// One line of a program's help: an option or switch, how its value is
// written after the name, and what it does.
struct HelpRow {
    const char* name;  // "--separator", "/C:"
    const char* value; // "=C", "[=FILE]", "n", or "" for none
    const char* text;  // one line
};

// What a program says about itself on --help. --help and --version are
// listed by HelpText itself.
struct ProgramHelp {
    const char* program;               // "quorven-decode"
    const char* usage;                 // what follows the name: "[OPTION]... FILE..."
    const char* purpose;               // one sentence
    std::span<const HelpRow> options;  // the "--" options
    const char* switchesTitle = "";    // heading of the switches, when there are any
    std::span<const HelpRow> switches; // further rows (the "/" switches of the program)
    const char* footer = "";           // closing lines, such as the exit statuses
};

// --help and --version, which every program answers.
std::span<const HelpRow> CommonHelpRows();

// The version of the program and its tools.
QString ProgramVersion();

QString HelpText(const ProgramHelp& help);
// "quorven-decode 0.1.0"
QString VersionText(const ProgramHelp& help);

// True when arg is one of the program's "--" options or --help/--version:
// the name alone or followed by "=value".
bool IsKnownOption(const ProgramHelp& help, QStringView arg);

// Answers --help and --version given anywhere before a lone "--": the help
// or the version on standard output (the hidden --manual-page: the manual
// page). Returns the exit status, 0, or nothing when none was asked for.
std::optional<int> AnswerHelpOrVersion(const ProgramHelp& help, const QStringList& args);

// AnswerHelpOrVersion, then the first "--" option the program does not know
// is refused (RefuseUsage). Returns the exit status, or nothing when the
// program is to run.
std::optional<int> AnswerCommonOptions(const ProgramHelp& help, const QStringList& args);

// Refuses a command line: "program: problem (program --help lists the
// options)" on standard error. Returns the exit status of a usage error, 2.
int RefuseUsage(const ProgramHelp& help, const QString& problem);

// Writes a line of text in UTF-8 to standard error.
void PrintErrorLine(const QString& line);

} // namespace quorven
