// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/csv_writer.h"

#include "tables/file_error.h"
#include "tables/separator.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace quorven {

namespace {

constexpr std::size_t kFlushBytes = 1 << 20;
constexpr char kCellLineBreak = 11;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool WriteAll(QIODevice& out, const std::string& bytes) {
    return out.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

void AppendCell(std::string& out, std::string_view cell, std::string_view separator,
                bool forceQuotes) {
    if (cell.empty()) {
        out += "\"\"";
        return;
    }
    const bool breaks = cell.find(separator) != std::string_view::npos || HasLineBreak(cell);
    const bool quotes = forceQuotes || cell.find('"') != std::string_view::npos;
    if (!breaks && !quotes) {
        out += cell;
        return;
    }
    out += '"';
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c == '"') {
            out += "\"\"";
        } else if (breaks && (c == '\r' || c == '\n')) {
            out += kCellLineBreak;
            if (c == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

void AppendCsvCell(std::string& out, std::string_view cell, std::string_view separator) {
    AppendCell(out, cell, separator, false);
}

void AppendCsvRow(std::string& out, const GridModel& table, int row, std::string_view separator) {
    for (int c = 0; c < table.ColCount(); ++c) {
        if (c > 0) {
            out += separator;
        }
        const std::string_view cell = table.CellUtf8(c, row);
        // The file's first cell is quoted when it begins with a byte-order
        // mark, which the reader would otherwise take for the file's.
        AppendCell(out, cell, separator, row == 0 && c == 0 && cell.starts_with(kByteOrderMark));
    }
    out += "\r\n";
}

bool WriteCsv(const GridModel& table, QChar separator, QIODevice& out) {
    const std::string sep = SeparatorUtf8(separator);
    std::string buffer;
    buffer.reserve(kFlushBytes + 4096);
    for (int r = 0; r < table.RowCount(); ++r) {
        AppendCsvRow(buffer, table, r, sep);
        if (buffer.size() >= kFlushBytes) {
            if (!WriteAll(out, buffer)) {
                return false;
            }
            buffer.clear();
        }
    }
    return WriteAll(out, buffer);
}

void SaveCsv(const GridModel& table, const QString& fileName, QChar separator) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || !WriteCsv(table, separator, file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError(kCannotCreateFile, fileName, reason);
    }
    if (!file.commit()) {
        throw FileError(kCannotCreateFile, fileName, file.errorString());
    }
}

void SaveCsvKeepingBackup(const GridModel& table, const QString& fileName, QChar separator) {
    QFile old(fileName);
    if (!QFileInfo(fileName).isFile()) { // nothing to keep (a folder is not replaced either)
        SaveCsv(table, fileName, separator);
        return;
    }
    if (!old.open(QIODevice::ReadOnly)) {
        throw FileError(QStringLiteral("Cannot open file ") + fileName +
                        QStringLiteral(" to keep it: it was not replaced"));
    }
    const QByteArray previous = old.readAll();
    QBuffer fresh;
    fresh.open(QIODevice::WriteOnly);
    WriteCsv(table, separator, fresh);
    if (fresh.data() == previous) {
        return;
    }
    const QString backup = fileName + QStringLiteral(".bak");
    QSaveFile kept(backup);
    if (!kept.open(QIODevice::WriteOnly) || kept.write(previous) != previous.size() ||
        !kept.commit()) {
        throw FileError(QStringLiteral("Cannot Create file ") + backup + QStringLiteral(": ") +
                        fileName + QStringLiteral(" was not replaced"));
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(fresh.data()) != fresh.data().size() ||
        !file.commit()) {
        throw FileError(QStringLiteral("Cannot Create file ") + fileName);
    }
}

QString WithCsvExtension(const QString& fileName) {
    if (QFileInfo(fileName).fileName().contains(u'.')) {
        return fileName;
    }
    return fileName + QStringLiteral(".csv");
}

} // namespace quorven
