// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tables/grid_model.h"

#include <QChar>
#include <QIODevice>
#include <QString>

#include <string>
#include <string_view>

namespace quorven {

// The CSV files of the tables: UTF-8, one line per row ended by CR LF, from
// the header row on, every column up to ColCount. A cell is written
//   - as "" when it is empty,
//   - with every " doubled and the whole in quotes when it holds a quote,
//   - with every line break (CR LF, CR or LF) turned into character 11 and
//     the whole in quotes when it holds the separator or a line break,
//   - unchanged otherwise.
// So with ";" the cells a, (empty), x;y and say "hi" make the line
//   a;"";"x;y";"say ""hi"""

// Appends one prepared cell; `separator` is the separator's UTF-8 bytes.
void AppendCsvCell(std::string& out, std::string_view cell, std::string_view separator);
// Appends one row of the table as a line, CR LF included.
void AppendCsvRow(std::string& out, const GridModel& table, int row, std::string_view separator);

// Writes the whole table; false when the device refused a write.
bool WriteCsv(const GridModel& table, QChar separator, QIODevice& out);

// Saves the table into a temporary file beside `fileName` and renames it into
// place, so the old file stays whole when anything fails. Throws FileError
// "Cannot Create file " + name when the file cannot be written.
void SaveCsv(const GridModel& table, const QString& fileName, QChar separator);

// Saves the table as SaveCsv does, first keeping the file it replaces as
// fileName + ".bak" (one generation), so that no single save - a wrong
// separator, a wrong list loaded - destroys the only copy of a list. A file
// that already holds exactly these bytes is left alone, and so is its backup.
// Throws FileError when the old file cannot be read or its backup cannot be
// written (the old file is then unchanged) or the save fails.
void SaveCsvKeepingBackup(const GridModel& table, const QString& fileName, QChar separator);

// The name a save uses: ".csv" appended when the chosen name has no extension.
QString WithCsvExtension(const QString& fileName);

} // namespace quorven
