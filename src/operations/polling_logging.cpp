// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/polling_logging.h"

#include "tables/csv_writer.h"

#include <QFileInfo>

namespace quorven {

namespace {

const QString kFileFilter = QStringLiteral("adatcsomag");
const QString kCsvPattern = QStringLiteral("*.csv");

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
            // An existing log is appended to, never replaced.
            if (!QFileInfo::exists(logFileName_)) {
                SaveCsv(c_.tables.dataTable(), logFileName_, c_.options.separator);
            }
        } else {
            const QString name = c_.prompter.fileToSaveAs(kFileFilter, kCsvPattern, logFileName_);
            if (name.isEmpty()) {
                return false;
            }
            logFileName_ = WithCsvExtension(name);
            c_.tables.ClearGrid2();
            SaveCsv(c_.tables.dataTable(), logFileName_, c_.options.separator);
        }
    }
    unwrittenRows_ = 0;
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
    if (run.polling || (run.logging && c_.options.LogFile_CheckBox)) {
        // The rows a failed append left stay at the top for the next append.
        c_.tables.setDataWritePosition(1 + (run.logging ? unwrittenRows_ : 0));
    }
    return true;
}

void PollingLogging::AppendLog() {
    const GridModel& data = c_.tables.dataTable();
    const int last = data.RowCount() - 1;
    if (last < 1) {
        return;
    }
    QString error;
    if (AppendCsvRows(data, 1, last, logFileName_, c_.options.separator, &error)) {
        unwrittenRows_ = 0;
        return;
    }
    unwrittenRows_ = last;
    c_.trace.append(QStringLiteral("Log file %1 not written: %2; its %3 rows stay in the data "
                                   "table for the next cycle")
                        .arg(logFileName_, error)
                        .arg(last));
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
