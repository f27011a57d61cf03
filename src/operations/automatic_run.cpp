// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/automatic_run.h"

#include "tables/csv_writer.h"

#include <QBuffer>

namespace quorven {

namespace {
constexpr qint64 kFirstTickMs = 4500;
constexpr qint64 kClosingMs = 2000;
constexpr qint64 kAfterConnectMs = 3000;

QByteArray CsvOf(const GridModel& table) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    WriteCsv(table, u',', out);
    return out.data();
}
} // namespace

void AutomaticRun::SetTick(std::function<void()> tick) {
    timer_ = c_.clock.createTimer();
    timer_->setSingleShot(false);
    timer_->setCallback(std::move(tick));
}

void AutomaticRun::FormShow() {
    step_ = Step::NotStarted;
    timer_->start(kFirstTickMs);
}

bool AutomaticRun::FirstTick() {
    if (!firstTick_) {
        return false;
    }
    firstTick_ = false;
    valid_ = hooks_.evaluateCommandLine && hooks_.evaluateCommandLine(state_);
    if (!valid_ && (state_.unattended() || state_.endsProgram)) {
        schedulerLines_ << state_.refusals;
        // Nobody waits at the window for a run that cannot start: it ends.
        c_.run.closeAfterRun = true;
        CloseIn2s(NotRead);
    }
    return true;
}

bool AutomaticRun::StartDue() const {
    return step_ == Step::NotStarted && valid_;
}

bool AutomaticRun::StartRun() {
    step_ = Step::Started;
    started_ = true;
    if (state_.unattended()) {
        // From here on nobody answers a box: its text goes to the text area.
        c_.run.closeAfterRun = true;
    }
    if (!state_.slaveFile.isEmpty()) {
        c_.tables.ClearGrid1();
        // A list that cannot be loaded leaves the list empty: that is not
        // saved over the program's own list either.
        slaveListLoaded_ = true;
        loadedSlaveList_ = CsvOf(c_.tables.slaveList());
        c_.tables.LoadSlaveList(state_.slaveFile, c_.options.separator, QString());
        loadedSlaveList_ = CsvOf(c_.tables.slaveList());
    }
    if (state_.modemStart && hooks_.dial) {
        hooks_.dial();
        return false;
    }
    if (!state_.autoLogging) {
        return false;
    }
    if (hooks_.checkLogFileBox) {
        hooks_.checkLogFileBox();
    }
    return true;
}

void AutomaticRun::LoggingAfterModemStarts() {
    if (!state_.stayOpen) {
        c_.run.closeAfterRun = true;
    }
    if (hooks_.checkLogFileBox) {
        hooks_.checkLogFileBox();
    }
    step_ = Step::Logging;
}

bool AutomaticRun::slaveListAsLoaded() const {
    return slaveListLoaded_ && CsvOf(c_.tables.slaveList()) == loadedSlaveList_;
}

void AutomaticRun::ModemConnected() {
    if (!state_.autoLogging) {
        return; // with "/M" alone the run rests after the connection
    }
    step_ = Step::ModemConnected;
    timer_->start(kAfterConnectMs);
}

void AutomaticRun::Close(const LogOutcome& log) {
    timer_->stop();
    if (log.rowsNotWritten > 0 && (exitStatus_ == AllRead || exitStatus_ == SomeNotRead)) {
        exitStatus_ = NotAllLogged;
    }
    schedulerLines_ << log.problems;
    if (started_) {
        const int errors = lastReadOut_.errorRows;
        const auto rows = [](int n, const char* what) {
            return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(what)).arg(n == 1 ? "" : "s");
        };
        const QString summary = QStringLiteral("%1 of %2 meters read, %3; %4 written to %5")
                                    .arg(lastReadOut_.good)
                                    .arg(lastReadOut_.total)
                                    .arg(rows(errors, "error row"), rows(log.rowsWritten, "row"),
                                         log.used ? log.fileName : state_.logFileName);
        c_.trace.append(summary);
        schedulerLines_ << summary;
    }
    if (hooks_.closeProgram) {
        hooks_.closeProgram();
    }
}

void AutomaticRun::ReadOutEnded(const ReadOutSummary& summary) {
    if (!state_.unattended() || step_ == Step::NotStarted || step_ == Step::Closing) {
        return;
    }
    lastReadOut_ = summary;
    int status = NotRead;
    if (summary.end == ReadOutSummary::End::Completed) {
        status = summary.good == summary.total ? AllRead : SomeNotRead;
    } else if (!summary.problem.isEmpty()) {
        schedulerLines_ << summary.problem;
    }
    c_.run.closeAfterRun = true;
    CloseIn2s(status);
}

void AutomaticRun::Failed(const QString& message) {
    if (c_.run.closeAfterRun && step_ != Step::Closing) {
        if (!message.isEmpty()) {
            schedulerLines_ << message;
        }
        CloseIn2s(NotRead);
    }
}

void AutomaticRun::CloseIn2s(int status) {
    exitStatus_ = status;
    c_.run.stop = true;
    step_ = Step::Closing;
    timer_->start(kClosingMs);
}

} // namespace quorven
