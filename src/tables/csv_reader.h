// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tables/compact_row.h"
#include "tables/grid_model.h"

#include <QChar>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorven {

// How much of a file the reader takes at most. A file beyond any of these is
// refused as a whole; the table stays as it was.
struct CsvLimits {
    qint64 maxFileBytes = qint64{1} << 30; // 1 GiB
    std::size_t maxLineBytes = std::size_t{1} << 20;
    int maxColumns = 1024;
    int maxRows = 10'000'000;
};

enum class CsvStatus {
    Ok,
    ReadError,
    NotText, // NUL bytes: a binary file, or text in UTF-16
    LineTooLong,
    TooManyColumns,
    TooManyRows,
    TooLarge,
};

struct CsvReadResult {
    CsvStatus status = CsvStatus::Ok;
    std::vector<CompactRow> rows; // row 0 is the file's first line
    int columns = 0;              // cells of the widest line
    qint64 line = 0;              // the offending line (1-based) on failure
    bool windows1250 = false;     // the file was not UTF-8
};

// Cuts one line into cells. Cells are cut from the left while the rest of the
// line holds the separator:
//   - a cell beginning with a quote loses it and runs to its closing quote,
//     the last quote of the first run of an odd number of quotes followed by
//     another character, or else the line's last character when that is a
//     quote; what follows the closing quote up to and including the next
//     separator is dropped (a cell never closed runs to the end of the line);
//   - any other cell runs to the next separator.
// What remains after the last separator is the last cell, without a leading
// and a trailing quote; when nothing remains, no cell is made for it.
// In every cell "" stands for " and character 11 for CR LF.
// The cells' texts are appended to `text` one after the other and the end of
// each is pushed to `ends`. `line` and `separator` are UTF-8.
void ParseCsvLine(std::string_view line, std::string_view separator, std::string& text,
                  std::vector<std::uint32_t>& ends);

// Reads a whole CSV file from the device's start. The file is taken as UTF-8
// (a leading byte-order mark is skipped) and, when it is not valid UTF-8, read
// again as Windows-1250. Lines end at CR LF, LF or CR.
CsvReadResult ReadCsv(QIODevice& in, QChar separator, const CsvLimits& limits = {});

// Loads a CSV file into the table: the file is read first and replaces the
// table's rows only when it was read whole; RowCount becomes the number of
// lines (at least 1) and ColCount grows to the widest line but never shrinks.
// Throws FileError ("Cannot open file " + name, or why the file was refused),
// leaving the table as it was.
void LoadCsv(GridModel& table, const QString& fileName, QChar separator,
             const CsvLimits& limits = {});

} // namespace quorven
