// SPDX-License-Identifier: GPL-3.0-or-later
// quorven-check [OPTION]... FILE...
//
// Checks the telegram written as hex text in each FILE, read as the import
// reads it, and prints the fixed data header of each valid one on standard
// output (after "FILE: " when there are several files). A file without a
// valid telegram says why on standard error, in the words of quorven-decode.
#include "cli/command_help.h"
#include "file_import.h"
#include "interpret/hex.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

using namespace quorven;

namespace {

constexpr int kAllValid = 0;
constexpr int kNotValid = 1;
constexpr int kUsageOrFile = 2;

// clang-format off
constexpr HelpRow kOptions[] = {
    {"--fix", "", "correct a wrong length field (both bytes) and a wrong checksum before the check, as quorven-decode --fix does"},
};
// clang-format on

const ProgramHelp kHelp{
    "quorven-check",
    "[OPTION]... FILE...",
    "Checks telegrams written as hex text, one per file, and prints the fixed data header of "
    "each valid one.",
    kOptions,
    "",
    {},
    "Exit status: 0 when every file holds a valid telegram, 1 when one does not, 2 for a usage "
    "error or a file that cannot be read.",
};

void PrintHeader(const QString& label, const Interpreter& in) {
    const QString line =
        label + QStringLiteral("address %1, identification %2, manufacturer %3, version %4, "
                               "medium %5, status $%6\n")
                    .arg(int{in.PrimaryAddress()})
                    .arg(QString::fromStdString(in.IdentNumber()),
                         QString::fromStdString(in.ManufacturerCode()))
                    .arg(int{in.VersionByte()})
                    .arg(QString::fromStdString(in.MediumText()))
                    .arg(QString::fromStdString(HexByte(in.StatusByte())));
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (const auto status = AnswerCommonOptions(kHelp, args)) {
        return *status;
    }
    bool fix = false;
    bool options = true;
    QStringList files;
    for (const QString& arg : args) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && arg == QLatin1String("--fix")) {
            fix = true;
        } else if (options && arg.startsWith(u'-') && arg.size() > 1) {
            return RefuseUsage(kHelp, QStringLiteral("unknown option ") + arg);
        } else {
            files << arg;
        }
    }
    if (files.isEmpty()) {
        return RefuseUsage(kHelp, QStringLiteral("no FILE given"));
    }

    FileImport import(fix, false);
    int status = kAllValid;
    for (const QString& file : files) {
        const ImportResult result = import.importFile(file);
        const bool checked = result == ImportResult::RowsAdded || result == ImportResult::NoRows;
        if (checked && import.telegramValid()) {
            PrintHeader(files.size() > 1 ? file + QStringLiteral(": ") : QString(),
                        import.station().interpreter());
        } else {
            const bool unread = result == ImportResult::Unreadable ||
                                result == ImportResult::Refused ||
                                result == ImportResult::Cancelled;
            status = std::max(status, unread ? kUsageOrFile : kNotValid);
        }
    }
    return status;
}
