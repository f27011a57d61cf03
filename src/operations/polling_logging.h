// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/command_line_state.h"
#include "operations/operation_context.h"

#include <QDateTime>
#include <QString>

namespace quorven {

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

    // After a logging cycle's read-out: its rows (and any a failed append
    // left in the table) are appended to the log file. A failure loses
    // nothing: the rows stay in the table for the next append.
    void AppendLog();

    const QString& logFileName() const { return logFileName_; }
    void setLogFileName(const QString& name) { logFileName_ = name; }
    // The name of an automatic log file with the date and time stamp put in
    // front of the file name's first "." ("logs.d/Log.csv" gives
    // "logs.d/Log_20250131_080509.csv").
    static QString StampedName(const QString& name, const QDateTime& at);

private:
    void StartCycles();

    OperationContext& c_;
    std::unique_ptr<ClockTimer> timer2_;
    QString logFileName_ = QStringLiteral("Log.csv");
    int cycleTime_ = 0;
    int countdown_ = 0;
    // Rows at the top of the data table that a failed append left unwritten.
    int unwrittenRows_ = 0;
};

} // namespace quorven
