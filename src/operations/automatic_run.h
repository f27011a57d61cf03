// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/command_line_state.h"
#include "operations/operation_context.h"
#include "operations/polling_logging.h"
#include "operations/read_out.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace quorven {

// The unattended run that the command line starts, driven by the global
// timer: load the slave list, dial if asked, start logging, and close the
// program after the read-out unless "/X" keeps it logging.
class AutomaticRun {
public:
    enum class Step { NotStarted = 0, Started = 1, ModemConnected = 2, Logging = 3, Closing = 5 };

    // What the run needs of the program around it.
    struct Hooks {
        // The first tick: parses the command line and applies its switches;
        // fills the state and returns whether the command line is valid.
        std::function<bool(CommandLineState&)> evaluateCommandLine;
        // Ticks the "irás log file-ba" box (the option follows it).
        std::function<void()> checkLogFileBox;
        // Closes the main window: the program ends.
        std::function<void()> closeProgram;
        // Dials the modem ("/M"); the connection continues the run at step 2.
        std::function<void()> dial;
    };

    // The program's exit status after an unattended run.
    enum ExitStatus { AllRead = 0, SomeNotRead = 1, NotRead = 2, NotAllLogged = 3 };

    explicit AutomaticRun(OperationContext& context) : c_(context) {}
    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    // Arms Timer_Global, whose every tick calls `tick`.
    void SetTick(std::function<void()> tick);

    // The window was shown: the first tick comes 4500 ms later.
    void FormShow();
    // Step 3 of a tick, when the run starts: what the station runs inside an
    // operation. Returns true when logging is to start.
    bool StartRun();
    // The parts of a tick before and after: the command line at the first
    // tick, closing when due. `runDue` is true when the run's next step wants
    // an operation (start, or logging after a modem connection).
    // True at the first tick.
    bool FirstTick();
    bool StartDue() const;
    bool LoggingAfterModemDue() const { return step_ == Step::ModemConnected; }
    void LoggingAfterModemStarts();
    bool ClosingDue() const { return step_ == Step::Closing; }
    // Closes the program; `log` is what became of the log file, which may
    // change the exit status (rows that did not reach it) and adds to the
    // lines for the scheduler, ended by the summary line.
    void Close(const LogOutcome& log = {});

    // The read-out of the run has ended (every read-out reports here).
    void ReadOutEnded(const ReadOutSummary& summary);
    // An error reached the program's handler: an unattended run ends.
    // `message` is the error's text.
    void Failed(const QString& message = QString());
    // The modem has connected: logging is due at the next tick (3000 ms).
    void ModemConnected();

    // The slave list is still the one "/S:" loaded (or the empty list a
    // failed load left): nothing was edited, so the program's own slave list
    // file is left as it was.
    bool slaveListAsLoaded() const;

    const CommandLineState& commandLine() const { return state_; }
    bool commandLineValid() const { return valid_; }
    Step step() const { return step_; }
    int exitStatus() const { return exitStatus_; }
    // What a scheduler is told on standard error at the end of the run: each
    // failure that decided the exit status, then one summary line
    // ("9 of 10 meters read, 1 error row; 119 rows written to log.csv").
    const QStringList& schedulerLines() const { return schedulerLines_; }

private:
    void CloseIn2s(int status);

    OperationContext& c_;
    Hooks hooks_;
    std::unique_ptr<ClockTimer> timer_;
    CommandLineState state_;
    bool valid_ = false;
    bool firstTick_ = true;
    Step step_ = Step::NotStarted;
    int exitStatus_ = AllRead;
    QStringList schedulerLines_;
    bool started_ = false; // the run started (and so ends with a summary line)
    bool slaveListLoaded_ = false;
    QByteArray loadedSlaveList_; // as CSV
    ReadOutSummary lastReadOut_;
};

} // namespace quorven
