// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/polling_logging.h"

#include "operations/file_filters.h"
#include "tables/csv_writer.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace quorven {

namespace {

// The cycle time field's number with every blank removed; 0 when it holds none.
int CycleTimeOf(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    bool ok = false;
    const int seconds = digits.toInt(&ok);
    return ok && seconds > 0 ? seconds : 0;
}

} // namespace

void PollingLogging::SetTick(std::function<void()> tick) {
    timer2_ = c_.clock.createTimer();
    timer2_->setSingleShot(false);
    timer2_->setInterval(1000);
    timer2_->setCallback(std::move(tick));
}

void PollingLogging::StartCycles() {
    cycleTime_ = CycleTimeOf(c_.options.PI_MaskEdit);
    countdown_ = cycleTime_;
    if (timer2_) {
        timer2_->start(1000);
    }
}

void PollingLogging::Poll_ButtonClick() {
    c_.tables.ClearGrid2();
    unwrittenRows_ = 0;
    c_.run.logging = false;
    c_.run.polling = true;
    c_.tables.setDataWritePosition(1);
    c_.run.stop = false;
    StartCycles();
}

bool PollingLogging::Log_ButtonClick(const CommandLineState* commandLine) {
    if (c_.options.LogFile_CheckBox) {
        if (commandLine != nullptr && commandLine->autoLogging) {
            if (commandLine->dateStamp) {
                logFileName_ = StampedName(logFileName_, c_.wallClock.Now(c_.clock));
            }
            // An existing log is appended to, never replaced; a new one
            // gets its header row (and the rows then in the table). A file
            // that cannot be written does not stop the run: its rows wait.
            unwrittenRows_ = 0;
            if (!QFileInfo::exists(logFileName_)) {
                Append(c_.tables.dataTable().RowCount() - 1);
            }
        } else {
            const QString name =
                c_.prompter.fileToSaveAs(kTableFileFilter, kCsvPattern, logFileName_);
            if (name.isEmpty()) {
                return false;
            }
            logFileName_ = WithCsvExtension(name);
            c_.tables.ClearGrid2();
            SaveCsv(c_.tables.dataTable(), logFileName_, c_.options.separator);
            unwrittenRows_ = 0;
        }
        logUsed_ = true;
        KeepOnlyWaitingRows();
    }
    c_.run.polling = false;
    c_.run.logging = true;
    c_.run.stop = false;
    StartCycles();
    return true;
}

bool PollingLogging::Timer2Timer() {
    RunState& run = c_.run;
    if (run.stop || (!run.polling && !run.logging)) {
        timer2_->stop();
        if (!run.busy) {
            c_.indicators.ShowBusy(false);
        }
        return false;
    }
    if (countdown_ > 0) {
        --countdown_;
        c_.indicators.ShowProgress(2, (cycleTime_ - countdown_) * 100 / cycleTime_);
        return false;
    }
    if (run.busy) {
        return false; // the read-out still runs; the next tick tries again
    }
    countdown_ = cycleTime_;
    if (run.logging && c_.options.LogFile_CheckBox) {
        KeepOnlyWaitingRows();
    } else if (run.polling) {
        c_.tables.setDataWritePosition(1);
    }
    return true;
}

int PollingLogging::unwrittenRows() const {
    return std::clamp(unwrittenRows_, 0, c_.tables.dataTable().RowCount() - 1);
}

void PollingLogging::KeepOnlyWaitingRows() {
    // The rows a failed append left stay at the top for the next append; the
    // cycle's rows follow them, also when an import or a load has left the
    // table writing after its last row.
    unwrittenRows_ = unwrittenRows();
    c_.tables.dataTable().SetRowCount(1 + unwrittenRows_);
    c_.tables.setDataWritePosition(1 + unwrittenRows_);
}

void PollingLogging::AppendLog() {
    const int last = c_.tables.dataTable().RowCount() - 1;
    if (last >= 1) {
        Append(last);
    }
}

void PollingLogging::Append(int last) {
    GridModel& data = c_.tables.dataTable();
    const LogAppend r = AppendLogRows(data, 1, last, logFileName_, c_.options.separator, write_);
    rowsLogged_ += r.rowsWritten;
    if (r.partCut > 0) {
        c_.trace.append(QStringLiteral("Log file %1 ended in part of a row (%2 bytes, left by a "
                                       "program that was stopped while it wrote): cut away")
                            .arg(logFileName_)
                            .arg(r.partCut));
    }
    if (r.cutFailed) {
        c_.trace.append(QStringLiteral("Log file %1 ends in part of a row after byte %2: it "
                                       "could not be cut back to its last whole row")
                            .arg(logFileName_)
                            .arg(r.cutOffset));
    }
    if (r.rowsWritten == last && r.error.isEmpty()) {
        unwrittenRows_ = 0;
        lastProblem_.clear();
        return;
    }
    if (r.rowsWritten > 0) {
        // The rows written leave the table; the others move up and wait.
        std::vector<bool> keep(std::size_t(data.RowCount()), true);
        std::fill_n(keep.begin() + 1, r.rowsWritten, false);
        data.KeepRows(keep);
        lastProblem_ = QStringLiteral("Log file %1: %2 of %3 rows written: %4")
                           .arg(logFileName_)
                           .arg(r.rowsWritten)
                           .arg(last)
                           .arg(r.error);
    } else {
        lastProblem_ = QStringLiteral("Log file %1 not written: %2").arg(logFileName_, r.error);
    }
    unwrittenRows_ = last - r.rowsWritten;
    if (last == 0) {
        c_.trace.append(lastProblem_); // the file could not be created
        return;
    }
    c_.trace.append(
        lastProblem_ +
        QStringLiteral("; %1 rows wait in the data table for the next cycle").arg(unwrittenRows_));
}

LogOutcome PollingLogging::FinishLog() {
    LogOutcome out;
    out.used = logUsed_;
    out.fileName = logFileName_;
    if (!logUsed_) {
        return out;
    }
    if (unwrittenRows() > 0) {
        Append(unwrittenRows()); // the last try
    }
    const int waiting = unwrittenRows();
    out.rowsWritten = rowsLogged_;
    out.rowsNotWritten = waiting;
    if (waiting == 0) {
        return out;
    }
    out.problems << lastProblem_;
    const QString rescue = logFileName_ + c_.wallClock.Now(c_.clock).toString(
                                              QStringLiteral("'.unwritten-'yyyyMMdd_HHmmss'.csv'"));
    const LogAppend r =
        AppendLogRows(c_.tables.dataTable(), 1, waiting, rescue, c_.options.separator, write_);
    QString line;
    if (r.rowsWritten == waiting) {
        line = QStringLiteral("%1 rows not written to %2 are kept in %3")
                   .arg(waiting)
                   .arg(logFileName_, rescue);
    } else {
        line = QStringLiteral("%1 rows lost: neither %2 nor %3 took them (%4)")
                   .arg(waiting - r.rowsWritten)
                   .arg(logFileName_, rescue, r.error);
        if (r.rowsWritten > 0) {
            line += QStringLiteral("; %1 rows are kept in %2").arg(r.rowsWritten).arg(rescue);
        }
    }
    unwrittenRows_ = 0;
    c_.trace.append(line);
    out.problems << line;
    return out;
}

QString PollingLogging::StampedName(const QString& name, const QDateTime& at) {
    const QString stamp = at.toString(QStringLiteral("_yyyyMMdd_HHmmss"));
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype fileStart = slash + 1;
    const qsizetype dot = name.indexOf(QLatin1Char('.'), fileStart);
    if (dot < 0) {
        return name.left(fileStart) + stamp + name.mid(fileStart) + QStringLiteral(".csv");
    }
    QString stamped = name;
    stamped.insert(dot, stamp);
    return stamped;
}

} // namespace quorven
