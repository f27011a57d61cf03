// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tables/grid_model.h"

#include <QChar>
#include <QString>

#include <functional>

namespace quorven {

// How the log writer hands bytes to the file: the system's write(), or a
// test's stand-in (a disk that fills up). Returns the number of bytes taken,
// which may be fewer than asked, or -1 with errno set.
using LogWrite = std::function<qint64(int fd, const char* data, qint64 size)>;

// What became of one append to the log file.
struct LogAppend {
    int rowsWritten = 0;        // whole data rows now in the file, from the first one asked
    bool headerWritten = false; // the file was new (or empty) and got the header row first
    qint64 bytesWritten = 0;    // bytes the file grew by, the header included
    QString error;              // the system's reason when not every row was written
    // The file ended in part of a row (a program killed while it wrote):
    // that many bytes were cut away before the append.
    qint64 partCut = 0;
    // The file could not be cut back after a failed write: it ends in part
    // of a row after byte `cutOffset`.
    bool cutFailed = false;
    qint64 cutOffset = 0;
};

// Appends rows first..last (inclusive) of the table to the log file as whole
// lines, oldest first, and makes them durable (synced to the disk) before it
// returns. A file that does not exist yet, or is empty, first gets the
// table's header row. Nothing goes through a buffer of the program's own:
// the rows are handed to the system in large whole-row pieces (a cycle's
// rows in one piece), so a program killed between two pieces leaves whole
// rows. When the system takes only part of them (a full disk), the rows it
// took whole stay written, the file is cut back to the end of the last of
// them, and the rest are left to the caller; `error` says why. SIGKILL can
// still stop the system in the middle of a piece: the part of a row that
// leaves at the end of the file is cut away by the next append.
LogAppend AppendLogRows(const GridModel& table, int first, int last, const QString& fileName,
                        QChar separator, const LogWrite& write = {});

} // namespace quorven
