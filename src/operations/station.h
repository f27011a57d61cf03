// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "interpret/interpreter.h"
#include "link/clock.h"
#include "link/mb_sio.h"
#include "link/port_factory.h"
#include "link/trace.h"
#include "operations/automatic_run.h"
#include "operations/data_table_filling.h"
#include "operations/handler_table.h"
#include "operations/indicators.h"
#include "operations/link_reporter.h"
#include "operations/modem_connection.h"
#include "operations/operation_context.h"
#include "operations/operation_scope.h"
#include "operations/options.h"
#include "operations/polling_logging.h"
#include "operations/prompter.h"
#include "operations/read_context.h"
#include "operations/read_out.h"
#include "operations/run_state.h"
#include "operations/slave_commands.h"
#include "operations/slave_search.h"
#include "operations/station_ports.h"
#include "operations/stx_meters.h"
#include "operations/unattended_prompter.h"
#include "operations/wall_clock.h"
#include "tables/tables.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace quorven {

// What became of an import.
enum class ImportResult {
    Busy,       // another operation was running: nothing happened
    Cancelled,  // no file chosen
    Unreadable, // the file could not be opened or read
    Refused,    // the file is too large to be a telegram; the user was told
    TooShort,   // fewer than 15 bytes of hexadecimal pairs (an empty file too)
    NoRows,     // the telegram is not valid or holds no records
    RowsAdded,
};

// The master station: everything the program does with meters and tables,
// without any widget. It owns the ports and the link to the bus with what
// reports around its exchanges, the interpretation of telegrams, the tables,
// the trace (the text area's lines), the options, the read context and the
// run state. The window keeps the options in step with its controls, forwards
// its handlers here, shows the signals, and implements the prompter.
//
// Every handler enters as its row of the handler table says (Enter): one that
// uses the bus or changes a table's rows runs inside an operation (Run), one
// at a time, and everything it holds is given back on every way out. Handlers may throw (a table file that cannot be opened or
// created, a port that cannot be opened); the window's guard shows the error.
class Station : public QObject, private Indicators {
    Q_OBJECT
public:
    // `prompter` is the user's: message boxes and file dialogs.
    explicit Station(Prompter& prompter, QObject* parent = nullptr);
    ~Station() override;

    Interpreter& interpreter() { return interpreter_; }
    Tables& tables() { return tables_; }
    Trace& trace() { return trace_; }
    Options& options() { return options_; }
    ReadContext& readContext() { return readContext_; }
    RunState& runState() { return runState_; }
    // How the station asks the user: in an unattended run, boxes become
    // text-area lines.
    Prompter& prompter() { return prompter_; }
    WallClock& wallClock() { return wallClock_; }

    // Runs a timer's handler; the window hands in its guard, so that an error
    // is shown and never crosses the event loop. Without one, the error is
    // written into the text area.
    using HandlerGuard = std::function<void(const std::function<void()>&)>;
    void SetGuard(HandlerGuard guard) { guard_ = std::move(guard); }
    void SetAutomaticRunHooks(AutomaticRun::Hooks hooks);

    // Builds the ports of a program run (lines about them go to *report) and
    // the link on them, its port "COM0" (none open). Called once at start.
    void ConnectPorts(Clock& clock, const PortSetup& setup, QStringList* report);
    // Creates the link on the clock with ports from the factory, its port
    // name initialPort (opened only when an operation first needs it), and
    // the reporter around its exchanges. The clock and the factory must
    // outlive the station. A second call replaces both, ending an exchange
    // that still waits on the old link with result 1.
    void AttachLink(Clock& clock, PortFactory& ports, const QString& initialPort);
    bool hasLink() const { return sio_ != nullptr; }
    // Only after ConnectPorts.
    StationPorts& ports() { return *ports_; }
    // Only after AttachLink.
    TMB_Sio& link() { return *sio_; }
    LinkReporter& reporter() { return *reporter_; }
    OperationContext& context() { return *context_; }

    // Runs body as one operation entered as `entry`; false, and nothing
    // runs, when another operation holds the station. An error that leaves
    // the body abandons the operation (the port closed unless a modem
    // connection is up, the station free) and goes on to the caller.
    template <class Body> bool Run(Entry entry, Body&& body) {
        OperationScope scope(runState_, *this, entry);
        if (!scope) {
            return false;
        }
        try {
            std::forward<Body>(body)();
        } catch (...) {
            scope.Abandon(sio_.get());
            throw;
        }
        if (mdkPending_) {
            ApplyMdk();
        }
        return true;
    }
    bool operationRunning() const { return runState_.busy; }

    // Runs the body of a window's handler as its row in the handler table
    // says: as one operation (a bus command or a table edit), or at once
    // (free). False when the operation was refused.
    template <class Body> bool Enter(Handler handler, Body&& body) {
        switch (RowOf(handler).enters) {
        case Enters::BusCommand:
            return Run(Entry::Command, std::forward<Body>(body));
        case Enters::TableEdit:
            return Run(Entry::TableEdit, std::forward<Body>(body));
        case Enters::Free:
            break;
        }
        std::forward<Body>(body)();
        return true;
    }

    // --- Read-out, polling and logging ---
    // "M-Bus olvasás": every slave of the list.
    void MBRead_ButtonClick();
    // "méröt olvas": the slave of `currentRow` (1 = first meter; anything
    // else when no meter row is current, which reads nothing).
    void Readslave1Click(int currentRow);
    void Poll_ButtonClick();
    void Log_ButtonClick();
    ReadOut& readOut() { return *readOut_; }
    PollingLogging& pollingLogging() { return *polling_; }

    // The ticks of Timer2 (every 1000 ms while polling or logging) and of
    // Timer_Global (the automatic run).
    void Timer2Timer();
    void Timer_GlobalTimer();

    // --- The automatic run ---
    // The window was shown: Timer_Global's first tick comes 4500 ms later.
    void FormShow() { autoRun_->FormShow(); }
    AutomaticRun& automaticRun() { return *autoRun_; }
    // An error reached the window's handler; `message` is what it showed.
    void ExceptionHandled(const QString& message = QString()) {
        if (autoRun_) {
            autoRun_->Failed(message);
        }
    }

    // --- Searches ---
    // "Cím keresés": the meters at primary addresses 1..250 into the slave list.
    void PS_ButtonClick();
    // "Gy.sz.keresés": the meters found by their identification numbers.
    void IDS_ButtonClick();

    // --- Slave commands (the slave list's menu) ---
    // `currentRow` is the slave list's current row (1 = first meter; anything
    // else when no meter row is current, which sends nothing).
    void Testslave1Click(int currentRow);
    void SetPaddr1Click(int currentRow);
    void S1Click(int currentRow);
    void SndNke1Click(int currentRow);
    void SndNkeAll1Click();
    void AppRes1Click(int currentRow);
    void AppResAll1Click();
    void ReadPAdr01Click();
    // --- The modem ---
    // The modem window's dial button: dials with the window's texts, or
    // hangs up while a call is up or being set up. Pressed while a dial waits
    // for the modem's initialisation, it ends the wait and nothing is dialled.
    void Moddial_ButtonClick(const ModemNumber& number);
    // The dial of an automatic run ("/M"); inside the run's operation.
    void AutomaticDial(const ModemNumber& number) { modem_->AutomaticDial(number); }
    ModemConnection& modem() { return *modem_; }

    // --- Data table filling ---
    bool MBusToGrid() { return filling_.MBusToGrid(); }
    std::uint64_t Check_Dataset() const { return filling_.Check_Dataset(); }

    // --- STX meters (inside an operation, only after AttachLink) ---
    bool STXTest(std::uint8_t address) { return stx_->STXTest(address); }
    // True when the slave counts as read.
    bool STXToGrid(std::uint8_t address) { return stx_->STXToGrid(address); }
    StxMeters& stx() { return *stx_; }

    // --- Telegram import ---
    // Asks for a file and imports it.
    ImportResult Import_ButtonClick();
    // Imports the named file: at most kMaxImportFileBytes of it are read.
    ImportResult ImportFile(const QString& fileName);
    // Imports a telegram written as hexadecimal text.
    ImportResult ImportText(const QByteArray& text);
    static constexpr qint64 kMaxImportFileBytes = 256 * 1024;

    // --- Tables ---
    // "adat törlés" and "adat betöltés" change the data table: refused while an
    // operation runs; between logging cycles, dropping rows that have not
    // reached the log file yet is asked first.
    void Clear2_ButtonClick();
    void Save1_ButtonClick();
    void Save2_ButtonClick();
    void Load1_ButtonClick();
    void Load2_ButtonClick();
    void DD_ButtonClick();
    void Clearlist1Click();
    // `currentRow` is the slave list's current row (table row, 1 = first
    // meter; anything else when no meter row is current).
    void Insertslave1Click(int currentRow);
    void Appendslave1Click();
    void Deleteslave1Click(int currentRow);
    // The separator field changed: its first character, "," when it is empty
    // or holds a character that cannot separate cells.
    void CSVSeparator_MaskEditChange(const QString& text);
    // The zoom window opens or closes.
    void Zoom_ButtonClick() {
        Enter(Handler::Zoom_Button, [this] { runState_.zoomOpen = true; });
    }
    void Hide_ButtonClick() {
        Enter(Handler::Hide_Button, [this] { runState_.zoomOpen = false; });
    }

    // The slave list at start: loaded from `path` when it exists; a file that
    // cannot be loaded is put aside as path + ".bad", so that the save at
    // close does not replace it.
    void LoadSlaveListAtStart(const QString& path);
    // The slave list at close, saved to `path` (unless the file of the start
    // could be neither loaded nor put aside). Failures are shown in a box.
    void SaveSlaveListAtClose(const QString& path);

    // --- Options and stop ---
    // "Stop all activities": a running operation ends after its current
    // slave, address or mask; polling and logging end.
    void SStop_ButtonClick();
    // Empties the text area.
    void CL_ButtonClick() {
        Enter(Handler::CL_Button, [this] { trace_.clear(); });
    }
    // The MDK box: RTS off (RtsOffMode) with it, on without it, DTR on. While
    // an operation runs, the lines change when it has ended.
    void MDK_CheckBoxClick(bool on);
    // The lamp green and "szabad", both progress bars at 0 (the state at start).
    void ResetIndicators() {
        lampBusy_ = false;
        emit lampChanged(false);
        ShowProgress(1, 0);
        ShowProgress(2, 0);
    }
    // The link's settings read from the settings file.
    void ApplyLinkSettings(std::uint8_t stxRetries, std::uint16_t additionalTimeoutMs);

signals:
    // Rows were added to the data table: the window sizes its columns and
    // shows the last row (also in the zoom window while it is open).
    void dataTableFilled();
    // A slave of a read-out is done: its rows (or its error row) are in the
    // data table. Emitted on the station's thread, before the next slave.
    void meterRead(const quorven::SlaveRead& read);
    // Rows were added to the slave list or refreshed: the window sizes its
    // columns and shows the last row.
    void slaveListFilled();
    // A short note for the status bar (an operation was refused).
    void statusNote(const QString& text);
    // The busy/free indication: the lamp red and "foglalt" while an operation
    // runs, green and "szabad" when it has ended.
    void lampChanged(bool busy);
    // A progress bar moved: bar 1 for read-outs and searches, bar 2 for the
    // count-down to the next poll; percent 0..100.
    void progressChanged(int bar, int percent);
    // The modem window's status text, and its dial button's caption.
    void modemStatusChanged(const QString& text);
    void modemButtonChanged(const QString& caption);

private:
    void ShowBusy(bool busy) override {
        if (busy != lampBusy_) {
            lampBusy_ = busy;
            emit lampChanged(busy);
        }
    }
    void ShowProgress(int bar, int percent) override { emit progressChanged(bar, percent); }
    void ShowNote(const QString& text) override { emit statusNote(text); }
    void DataTableFilled() override { emit dataTableFilled(); }
    void SlaveListFilled() override { emit slaveListFilled(); }
    void ApplyMdk();
    // Asks for a file name and saves the table into it.
    void SaveTable(const GridModel& table);
    void Guard(const std::function<void()>& handler);
    void CreateOperations();
    void ReleaseLink();
    void StartLogging(const CommandLineState* commandLine);
    // True when the data table may be emptied: no row waits for the log
    // file, or the user agreed to drop them (an unattended run never does).
    bool MayDropUnwrittenRows();

    UnattendedPrompter prompter_;
    Interpreter interpreter_;
    Tables tables_;
    Trace trace_;
    Options options_;
    ReadContext readContext_;
    RunState runState_;
    WallClock wallClock_;
    HandlerGuard guard_;
    DataTableFilling filling_{interpreter_, tables_, trace_, options_, readContext_};
    bool keepSlaveFile_ = false;
    bool mdkPending_ = false; // the MDK box changed while an operation ran
    bool lampBusy_ = false;   // what the lamp shows
    // The ports before the link that takes its ports from them; the link
    // before the reporter, which reports on it.
    std::unique_ptr<StationPorts> ports_;
    std::unique_ptr<TMB_Sio> sio_;
    std::unique_ptr<LinkReporter> reporter_;
    std::unique_ptr<OperationContext> context_;
    // The operation families, on the context.
    std::unique_ptr<ReadOut> readOut_;
    std::unique_ptr<PollingLogging> polling_;
    std::unique_ptr<AutomaticRun> autoRun_;
    std::unique_ptr<ClockTimer> cycleStart_;
    std::unique_ptr<StxMeters> stx_;          // works on the context
    std::unique_ptr<SlaveSearch> search_;     // works on the context and stx_
    std::unique_ptr<SlaveCommands> commands_; // works on the context and stx_
    std::unique_ptr<ModemConnection> modem_;  // lets go of the link when it goes
};

} // namespace quorven
