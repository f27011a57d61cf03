// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/command_line_state.h"
#include "operations/operation_context.h"
#include "tables/log_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace quorven {

// What became of the log file over a run, for the end of an unattended run.
struct LogOutcome {
    bool used = false;      // logging into the log file took place
    QString fileName;       // the log file's name
    int rowsWritten = 0;    // rows the log file took
    int rowsNotWritten = 0; // rows that did not reach it (kept in the rescue file, or lost)
    QStringList problems;   // why, one line each
};

// Polling and logging: the read-out repeated at the cycle time, overwriting
// the data table (polling) or adding to it or to a CSV log file (logging).
// The tick of Timer2 counts the cycle down; the station starts each cycle's
// read-out.
class PollingLogging {
public:
    explicit PollingLogging(OperationContext& context) : c_(context) {}

    // The starts of polling and logging, up to their first read-out (the
    // caller runs it at once). Log_ButtonClick returns false when logging
    // does not start (the save dialog was cancelled). `commandLine` is the
    // automatic run's state when the command line asked for logging.
    void Poll_ButtonClick();
    bool Log_ButtonClick(const CommandLineState* commandLine);

    // One tick of Timer2. Returns true when a cycle is due: the caller runs
    // the read-out when no operation holds the station. Stops the timer when
    // the stop flag is set or neither polling nor logging is active any more.
    bool Timer2Timer();
    bool timerActive() const { return timer2_ && timer2_->isActive(); }
    // Arms Timer2 with its 1000 ms tick calling `tick`.
    void SetTick(std::function<void()> tick);

    // After a logging cycle's read-out: the rows waiting from earlier cycles
    // and the cycle's own rows are appended to the log file, oldest first, as
    // many whole rows as the file takes. The rows not written stay at the top
    // of the data table and wait for the next append.
    void AppendLog();
    // Rows at the top of the data table that the log file has not taken yet.
    int unwrittenRows() const;
    // The data table was emptied or replaced: nothing waits any more.
    void DropUnwritten() { unwrittenRows_ = 0; }
    // The end of a run that logged into the log file: one last try for the
    // waiting rows, then a rescue file beside the log for what is left
    // ("Log.csv.unwritten-20250131_080509.csv", the columns and header of the
    // log). Lines about it go to the text area.
    LogOutcome FinishLog();
    // How the log writer hands bytes to the file (tests: a disk that fills up).
    void setLogWrite(LogWrite write) { write_ = std::move(write); }

    const QString& logFileName() const { return logFileName_; }
    void setLogFileName(const QString& name) { logFileName_ = name; }
    // The name of an automatic log file with the date and time stamp put in
    // front of the file name's first "." ("logs.d/Log.csv" gives
    // "logs.d/Log_20250131_080509.csv").
    static QString StampedName(const QString& name, const QDateTime& at);

private:
    void StartCycles();
    // Appends the data table's rows 1..last; with last 0 only creates the
    // file (with its header row) when there is none.
    void Append(int last);
    // The data table holds exactly the waiting rows: the next cycle's rows
    // follow them, whatever filled the table before.
    void KeepOnlyWaitingRows();

    OperationContext& c_;
    std::unique_ptr<ClockTimer> timer2_;
    QString logFileName_ = QStringLiteral("Log.csv");
    int cycleTime_ = 0;
    int countdown_ = 0;
    // Rows at the top of the data table that a failed append left unwritten.
    int unwrittenRows_ = 0;
    bool logUsed_ = false;
    int rowsLogged_ = 0;
    QString lastProblem_; // the last append's failure, for the end of the run
    LogWrite write_;
};

} // namespace quorven
