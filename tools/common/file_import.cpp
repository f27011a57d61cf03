// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_import.h"

#include "cli/command_help.h"
#include "operations/hex_import.h"
#include "short_frame.h"

#include <QFile>
#include <QRegularExpression>

#include <string_view>

namespace quorven {

namespace {

// The check's faults that the length and checksum correction may cure.
constexpr std::string_view kFixableFaults[] = {
    "Länge und Längenfeld unterschiedlich",
    "Längenfelder unterschiedlich",
    "Checksummenfehler",
};

bool Fixable(const std::string& fault) {
    for (const std::string_view f : kFixableFaults) {
        if (std::string_view(fault).substr(0, f.size()) == f) {
            return true;
        }
    }
    return false;
}

bool IsHexLine(const QString& line) {
    static const QRegularExpression hex(QStringLiteral("^([0-9A-F]{2} )+$"));
    return hex.match(line).hasMatch();
}

} // namespace

FileImport::FileImport(bool fix, bool verbose) : fix_(fix), verbose_(verbose), station_(*this) {
    QObject::connect(&station_.trace(), &Trace::lineAppended,
                     [this](const QString& line) { lines_.append(line); });
}

QString FileImport::FixHint() {
    return QStringLiteral(" (--fix corrects the length field and the checksum where it can)");
}

ImportResult FileImport::importFile(const QString& file) {
    lines_.clear();
    const ImportResult result = station_.ImportFile(file);
    const bool checkFault = result == ImportResult::NoRows && !telegramValid();
    for (const QString& line : lines_) {
        printTraceLine(file, line, checkFault);
    }
    switch (result) {
    case ImportResult::Unreadable:
        PrintErrorLine(QStringLiteral("Cannot open file ") + file);
        break;
    case ImportResult::TooShort:
    case ImportResult::NoRows:
        PrintErrorLine(file + QStringLiteral(": ") + reason(result, file));
        break;
    case ImportResult::Refused: // the import has said why
    case ImportResult::Cancelled:
    case ImportResult::Busy:
    case ImportResult::RowsAdded:
        break;
    }
    return result;
}

bool FileImport::telegramValid() {
    Interpreter& in = station_.interpreter();
    return in.TelegramLength() > 0 && in.CheckTelegram();
}

QString FileImport::reason(ImportResult result, const QString& file) {
    if (result == ImportResult::TooShort) {
        // Too few bytes to reach the interpreter: read them again to say what they are.
        QFile f(file);
        const QByteArray text =
            f.open(QIODevice::ReadOnly) ? f.read(Station::kMaxImportFileBytes) : QByteArray();
        const auto bytes =
            ScanHexText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        return ShortFrameReason(bytes);
    }
    Interpreter& in = station_.interpreter();
    if (telegramValid()) {
        return QStringLiteral("a valid telegram, but it holds no data records");
    }
    const std::string& fault = in.TelegramError();
    return QString::fromStdString(fault) + (!fix_ && Fixable(fault) ? FixHint() : QString());
}

void FileImport::printTraceLine(const QString& file, const QString& line, bool checkFault) {
    const QString label = file + QStringLiteral(": ");
    if (IsHexLine(line)) {
        if (verbose_) {
            PrintErrorLine(label + QStringLiteral("telegram ") + line.trimmed());
        }
    } else if (line == QLatin1String("more")) {
        if (verbose_) {
            PrintErrorLine(label + QStringLiteral("more: further records follow in the "
                                                  "meter's next telegram"));
        }
    } else if (!(checkFault && line.toStdString() == station_.interpreter().TelegramError())) {
        PrintErrorLine(label + line); // the check's fault is part of the reason line
    }
}

void FileImport::showMessage(const QString& text, const QString&) {
    PrintErrorLine(text);
}

Prompter::Answer FileImport::askYesNo(const QString&, const QString&) {
    return fix_ ? Answer::Yes : Answer::No;
}

Prompter::Answer FileImport::askYesNoCancel(const QString&, const QString&) {
    return fix_ ? Answer::Yes : Answer::No;
}

QString FileImport::fileToOpen(const QString&, const QString&) {
    return {};
}

QString FileImport::fileToSave(const QString&, const QString&) {
    return {};
}

} // namespace quorven
