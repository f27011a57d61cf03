// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_help.h"

#include "cli/manual_page.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace quorven {

namespace {

constexpr HelpRow kCommonRows[] = {
    {"--help", "", "show this help and exit"},
    {"--version", "", "show the version and exit"},
};

void Print(std::FILE* stream, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stream);
}

QString Left(const HelpRow& row) {
    return QString::fromUtf8(row.name) + QString::fromUtf8(row.value);
}

// The rows under a heading, their texts in one column.
void AppendRows(QString& out, const char* heading, std::span<const HelpRow> rows, qsizetype width) {
    out += QLatin1Char('\n') + QString::fromUtf8(heading) + QLatin1Char('\n');
    for (const HelpRow& row : rows) {
        out += QStringLiteral("  ") + Left(row).leftJustified(width) + QStringLiteral("  ") +
               QString::fromUtf8(row.text) + QLatin1Char('\n');
    }
}

bool Matches(const HelpRow& row, QStringView arg) {
    const QLatin1String name(row.name);
    return arg == name || (arg.startsWith(name) && arg.size() > name.size() &&
                           arg[name.size()] == QLatin1Char('='));
}

// The arguments before a lone "--".
QStringList Options(const QStringList& args) {
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    return end < 0 ? args : args.mid(0, end);
}

} // namespace

std::span<const HelpRow> CommonHelpRows() {
    return kCommonRows;
}

QString ProgramVersion() {
    return QStringLiteral(QUORVEN_VERSION);
}

QString HelpText(const ProgramHelp& help) {
    qsizetype width = 0;
    for (auto rows : {help.options, std::span<const HelpRow>(kCommonRows), help.switches}) {
        for (const HelpRow& row : rows) {
            width = std::max(width, Left(row).size());
        }
    }
    QString out = QStringLiteral("Usage: ") + QString::fromUtf8(help.program) + QLatin1Char(' ') +
                  QString::fromUtf8(help.usage) + QLatin1Char('\n') +
                  QString::fromUtf8(help.purpose) + QLatin1Char('\n');
    std::vector<HelpRow> options(help.options.begin(), help.options.end());
    options.insert(options.end(), std::begin(kCommonRows), std::end(kCommonRows));
    AppendRows(out, "Options:", options, width);
    if (!help.switches.empty()) {
        AppendRows(out, help.switchesTitle, help.switches, width);
    }
    if (*help.footer != '\0') {
        out += QLatin1Char('\n') + QString::fromUtf8(help.footer) + QLatin1Char('\n');
    }
    return out;
}

QString VersionText(const ProgramHelp& help) {
    return QString::fromUtf8(help.program) + QLatin1Char(' ') + ProgramVersion() +
           QLatin1Char('\n');
}

bool IsKnownOption(const ProgramHelp& help, QStringView arg) {
    const auto matches = [arg](const HelpRow& row) { return Matches(row, arg); };
    return std::any_of(help.options.begin(), help.options.end(), matches) ||
           std::any_of(std::begin(kCommonRows), std::end(kCommonRows), matches);
}

std::optional<int> AnswerHelpOrVersion(const ProgramHelp& help, const QStringList& args) {
    const QStringList options = Options(args);
    if (options.contains(QStringLiteral("--help"))) {
        Print(stdout, HelpText(help));
        return 0;
    }
    if (options.contains(QStringLiteral("--version"))) {
        Print(stdout, VersionText(help));
        return 0;
    }
    if (options.contains(QLatin1String(kManualPageOption))) {
        Print(stdout, ManualPage(help));
        return 0;
    }
    return std::nullopt;
}

std::optional<int> AnswerCommonOptions(const ProgramHelp& help, const QStringList& args) {
    if (const auto status = AnswerHelpOrVersion(help, args)) {
        return status;
    }
    for (const QString& arg : Options(args)) {
        if (arg.startsWith(QStringLiteral("--")) && !IsKnownOption(help, arg)) {
            return RefuseUsage(help, QStringLiteral("unknown option ") + arg);
        }
    }
    return std::nullopt;
}

int RefuseUsage(const ProgramHelp& help, const QString& problem) {
    const QString program = QString::fromUtf8(help.program);
    PrintErrorLine(program + QStringLiteral(": ") + problem + QStringLiteral(" (") + program +
                   QStringLiteral(" --help lists the options)"));
    return 2;
}

void PrintErrorLine(const QString& line) {
    Print(stderr, line + QLatin1Char('\n'));
}

} // namespace quorven
