// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/automatic_run.h"

namespace quorven {

namespace {
constexpr qint64 kFirstTickMs = 4500;
constexpr qint64 kClosingMs = 2000;
constexpr qint64 kAfterConnectMs = 3000;
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
    if (!valid_ && state_.unattended()) {
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
    if (state_.unattended()) {
        // From here on nobody answers a box: its text goes to the text area.
        c_.run.closeAfterRun = true;
    }
    if (!state_.slaveFile.isEmpty()) {
        c_.tables.ClearGrid1();
        c_.tables.LoadSlaveList(state_.slaveFile, c_.options.separator, QString());
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

void AutomaticRun::ModemConnected() {
    if (!state_.autoLogging) {
        return; // with "/M" alone the run rests after the connection
    }
    step_ = Step::ModemConnected;
    timer_->start(kAfterConnectMs);
}

void AutomaticRun::Close() {
    timer_->stop();
    if (hooks_.closeProgram) {
        hooks_.closeProgram();
    }
}

void AutomaticRun::ReadOutEnded(const ReadOutSummary& summary) {
    if (!state_.unattended() || step_ == Step::NotStarted || step_ == Step::Closing) {
        return;
    }
    int status = NotRead;
    if (summary.end == ReadOutSummary::End::Completed) {
        status = summary.good == summary.total ? AllRead : SomeNotRead;
    }
    c_.run.closeAfterRun = true;
    CloseIn2s(status);
}

void AutomaticRun::Failed() {
    if (c_.run.closeAfterRun && step_ != Step::Closing) {
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
