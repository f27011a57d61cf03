// SPDX-License-Identifier: GPL-3.0-or-later
// quorven-decode [OPTION]... FILE...
//
// The telegram import without a window: each FILE is imported in turn as if
// chosen in the import dialog, into one data table, which goes to standard
// output at the end as CSV (UTF-8, CR LF, header row first). What the import
// says goes to standard error, and a file that gives no rows says why there.
#include "cli/command_help.h"
#include "file_import.h"
#include "tables/csv_writer.h"
#include "tables/separator.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <algorithm>

using namespace quorven;

namespace {

constexpr int kAllRowsAdded = 0;
constexpr int kNoRows = 1;
constexpr int kUsageOrFile = 2;

// clang-format off
constexpr HelpRow kOptions[] = {
    {"--fix", "", "answer the import's questions Yes: a wrong length field (both bytes) and a wrong checksum are corrected before the check"},
    {"--multitel", "", "read the files as the successive telegrams of one meter (the Multi Tel. option): numbers run on, the last telegram gets the status row"},
    {"--separator", "=C", "separate the cells by C instead of \",\" (not a letter, digit, quote or line break)"},
    {"--verbose", "", "show each telegram as hex and the \"more\" line (more records follow), labelled"},
};
// clang-format on

const ProgramHelp kHelp{
    "quorven-decode",
    "[OPTION]... FILE...",
    "Decodes telegrams written as hex text, one per file, into one data table printed as CSV.",
    kOptions,
    "",
    {},
    "Exit status: 0 when every file added rows, 1 when a file added none, 2 for a usage error "
    "or a file that cannot be read.",
};

struct Arguments {
    bool fix = false;
    bool multitel = false;
    bool verbose = false;
    QChar separator = QChar(kDefaultSeparator);
    QStringList files;
};

// The problem with the command line, empty when there is none.
QString ParseArguments(const QStringList& args, Arguments& out) {
    bool options = true;
    for (const QString& arg : args) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && arg == QLatin1String("--fix")) {
            out.fix = true;
        } else if (options && arg == QLatin1String("--multitel")) {
            out.multitel = true;
        } else if (options && arg == QLatin1String("--verbose")) {
            out.verbose = true;
        } else if (options && arg.startsWith(QLatin1String("--separator="))) {
            const QString c = arg.mid(12);
            if (c.size() != 1 || !IsValidSeparator(c.front())) {
                return QStringLiteral("the separator must be one character, not a letter, "
                                      "digit, quote, line break, character 11 or NUL");
            }
            out.separator = c.front();
        } else if (options && arg.startsWith(u'-') && arg.size() > 1) {
            return QStringLiteral("unknown option ") + arg;
        } else {
            out.files << arg;
        }
    }
    return out.files.isEmpty() ? QStringLiteral("no FILE given") : QString();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList argList = app.arguments().mid(1);
    if (const auto status = AnswerCommonOptions(kHelp, argList)) {
        return *status;
    }
    Arguments args;
    if (const QString problem = ParseArguments(argList, args); !problem.isEmpty()) {
        return RefuseUsage(kHelp, problem);
    }

    FileImport import(args.fix, args.verbose);
    Station& station = import.station();
    station.options().MultiTel_CheckBox = args.multitel;
    station.options().separator = args.separator;

    int status = kAllRowsAdded;
    for (const QString& file : args.files) {
        switch (import.importFile(file)) {
        case ImportResult::RowsAdded:
            break;
        case ImportResult::TooShort:
        case ImportResult::NoRows:
            status = std::max(status, kNoRows);
            break;
        case ImportResult::Unreadable:
        case ImportResult::Refused:
        case ImportResult::Cancelled:
        case ImportResult::Busy:
            status = kUsageOrFile;
            break;
        }
    }

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !WriteCsv(station.tables().dataTable(), args.separator, out) || !out.flush()) {
        PrintErrorLine(QStringLiteral("quorven-decode: cannot write the table to standard output"));
        return kUsageOrFile;
    }
    return status;
}
