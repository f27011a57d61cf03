// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/station.h"

#include "operations/file_filters.h"
#include "tables/csv_writer.h"
#include "tables/file_error.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace quorven {

Station::Station(Prompter& prompter, QObject* parent)
    : QObject(parent), prompter_(prompter, runState_, trace_) {
    tables_.ClearGrid1();
    tables_.ClearGrid2();
}

Station::~Station() {
    ReleaseLink();
}

void Station::ConnectPorts(Clock& clock, const PortSetup& setup, QStringList* report) {
    ReleaseLink();
    ports_ = std::make_unique<StationPorts>(clock, setup, report);
    AttachLink(clock, ports_->factory(), QStringLiteral("COM0"));
}

void Station::ReleaseLink() {
    // The families before the context they work on, the reporter before the
    // link it reports on.
    modem_.reset();
    cycleStart_.reset();
    autoRun_.reset();
    polling_.reset();
    readOut_.reset();
    commands_.reset();
    search_.reset();
    stx_.reset();
    context_.reset();
    reporter_.reset();
    sio_.reset();
}

void Station::AttachLink(Clock& clock, PortFactory& ports, const QString& initialPort) {
    ReleaseLink();
    sio_ = std::make_unique<TMB_Sio>(clock, ports, initialPort);
    // A port that fails says why in the text area; a modem call on it is over.
    sio_->SetFaultReceiver([this](const QString& text) {
        trace_.append(text);
        if (modem_) {
            modem_->PortLost();
        }
    });
    reporter_ = std::make_unique<LinkReporter>(trace_, prompter_, clock, *sio_);
    context_ = std::make_unique<OperationContext>(
        OperationContext{clock, *sio_, *reporter_, interpreter_, filling_, tables_, trace_,
                         prompter_, options_, runState_, readContext_, *this, wallClock_});
    CreateOperations();
}

void Station::CreateOperations() {
    stx_ = std::make_unique<StxMeters>(*context_);
    search_ = std::make_unique<SlaveSearch>(*context_, *stx_);
    commands_ = std::make_unique<SlaveCommands>(*context_, *stx_);
    readOut_ = std::make_unique<ReadOut>(*context_, *stx_);
    polling_ = std::make_unique<PollingLogging>(*context_);
    autoRun_ = std::make_unique<AutomaticRun>(*context_);
    polling_->SetTick([this] { Guard([this] { Timer2Timer(); }); });
    autoRun_->SetTick([this] { Guard([this] { Timer_GlobalTimer(); }); });
    modem_ = std::make_unique<ModemConnection>(*context_);
    modem_->SetHooks({[this](const std::function<void()>& handler) { Guard(handler); },
                      [this](const QString& text) { emit modemStatusChanged(text); },
                      [this](const QString& caption) { emit modemButtonChanged(caption); },
                      [this] { autoRun_->ModemConnected(); }, [this] { autoRun_->Failed(); }});
    readOut_->SetHooks({[this] { polling_->AppendLog(); },
                        [this] {
                            // Every read-out of a run started with "/M" ends the call.
                            if (autoRun_->commandLine().modemStart) {
                                modem_->HangUpAfterReadOut();
                            }
                        },
                        [this](const ReadOutSummary& s) { autoRun_->ReadOutEnded(s); },
                        [this](const SlaveRead& read) { emit meterRead(read); }});
}

void Station::SetAutomaticRunHooks(AutomaticRun::Hooks hooks) {
    autoRun_->SetHooks(std::move(hooks));
}

void Station::Guard(const std::function<void()>& handler) {
    if (guard_) {
        guard_(handler);
        return;
    }
    try {
        handler();
    } catch (const std::exception& e) {
        trace_.append(QStringLiteral("Exception!"));
        trace_.append(QString::fromUtf8(e.what()));
        ExceptionHandled();
    }
}

// --- Read-out, polling and logging ---

void Station::MBRead_ButtonClick() {
    Enter(Handler::MBRead_Button, [this] { readOut_->MBRead(); });
}

void Station::Readslave1Click(int currentRow) {
    Enter(Handler::Clearlist1, [this, currentRow] {
        runState_.singleSlave = true;
        runState_.singleSlaveRow = currentRow;
        readOut_->MBRead();
    });
}

void Station::Poll_ButtonClick() {
    Enter(Handler::Poll_Button, [this] {
        // Polling starts with an empty data table.
        if (!MayDropUnwrittenRows()) {
            return;
        }
        polling_->Poll_ButtonClick();
        readOut_->MBRead();
    });
}

void Station::Log_ButtonClick() {
    Enter(Handler::Log_Button, [this] {
        // Logging into a new log file starts with an empty data table.
        if (options_.LogFile_CheckBox && !MayDropUnwrittenRows()) {
            return;
        }
        StartLogging(&autoRun_->commandLine());
    });
}

void Station::StartLogging(const CommandLineState* commandLine) {
    if (polling_->Log_ButtonClick(commandLine)) {
        readOut_->MBRead();
    }
}

void Station::Timer2Timer() {
    if (!polling_->Timer2Timer()) {
        return;
    }
    // The cycle's read-out runs outside the tick, so that the ticks go on
    // counting down while it waits.
    cycleStart_ = context_->clock.callAfter(
        0, [this] { Guard([this] { Run(Entry::Tick, [this] { readOut_->MBRead(); }); }); });
}

void Station::Timer_GlobalTimer() {
    AutomaticRun& run = *autoRun_;
    if (run.FirstTick() && run.ClosingDue()) {
        return; // a run that cannot start closes at a later tick
    }
    if (run.StartDue()) {
        Run(Entry::Tick, [&] {
            if (run.StartRun()) {
                StartLogging(&run.commandLine());
            }
        });
    } else if (run.LoggingAfterModemDue()) {
        Run(Entry::Tick, [&] {
            run.LoggingAfterModemStarts();
            StartLogging(&run.commandLine());
        });
    } else if (run.ClosingDue()) {
        run.Close(polling_->FinishLog());
    }
}

// --- Searches ---

void Station::PS_ButtonClick() {
    // The search shows itself busy once the question is answered: Cancel
    // leaves the display as it was.
    Enter(Handler::PS_Button, [this] { search_->Search(SlaveSearch::Method::Primary); });
}

void Station::IDS_ButtonClick() {
    Enter(Handler::IDS_Button, [this] { search_->Search(SlaveSearch::Method::Secondary); });
}

// --- Slave commands ---

void Station::Testslave1Click(int currentRow) {
    Enter(Handler::Testslave1, [this, currentRow] { commands_->Testslave1Click(currentRow); });
}

void Station::SetPaddr1Click(int currentRow) {
    Enter(Handler::SetPaddr1, [this, currentRow] { commands_->SetPaddr1Click(currentRow); });
}

void Station::S1Click(int currentRow) {
    Enter(Handler::S1, [this, currentRow] { commands_->S1Click(currentRow); });
}

void Station::SndNke1Click(int currentRow) {
    Enter(Handler::SndNke1, [this, currentRow] { commands_->SndNke1Click(currentRow); });
}

void Station::SndNkeAll1Click() {
    Enter(Handler::SndNkeAll1, [this] { commands_->SndNkeAll1Click(); });
}

void Station::AppRes1Click(int currentRow) {
    Enter(Handler::AppRes1, [this, currentRow] { commands_->AppRes1Click(currentRow); });
}

void Station::AppResAll1Click() {
    Enter(Handler::AppResAll1, [this] { commands_->AppResAll1Click(); });
}

void Station::ReadPAdr01Click() {
    Enter(Handler::ReadPAdr01, [this] { commands_->ReadPAdr01Click(); });
}

// --- The modem ---

void Station::Moddial_ButtonClick(const ModemNumber& number) {
    if (modem_->dialWaiting()) {
        // The dial's operation hangs up itself when the wait has ended.
        modem_->HangupAsked();
        return;
    }
    Enter(Handler::Moddial_Button, [this, &number] {
        if (modem_->buttonCaption() == ModemConnection::kDialCaption) {
            modem_->DialFromWindow(number);
        } else {
            modem_->Hangup();
        }
    });
}

// --- Tables ---

void Station::Save1_ButtonClick() {
    Enter(Handler::Save1_Button, [this] { SaveTable(tables_.slaveList()); });
}

void Station::Save2_ButtonClick() {
    Enter(Handler::Save2_Button, [this] { SaveTable(tables_.dataTable()); });
}

void Station::SaveTable(const GridModel& table) {
    // The dialog does not hold up an operation that waits underneath; the
    // table is written as it is when the name has been chosen.
    const QPointer<Station> self(this);
    prompter_.fileToSaveThen(kTableFileFilter, kCsvPattern, [self, &table](const QString& name) {
        if (self && !name.isEmpty()) {
            self->Guard([&] { SaveCsv(table, WithCsvExtension(name), self->options_.separator); });
        }
    });
}

void Station::Load1_ButtonClick() {
    Enter(Handler::Load1_Button, [this] {
        const QString name = prompter_.fileToOpen(kTableFileFilter, kCsvPattern);
        if (!name.isEmpty()) {
            tables_.LoadSlaveList(name, options_.separator, options_.MB1Port_ComboBox);
        }
    });
}

void Station::Load2_ButtonClick() {
    Enter(Handler::Load2_Button, [this] {
        if (!MayDropUnwrittenRows()) {
            return;
        }
        const QString name = prompter_.fileToOpen(kTableFileFilter, kCsvPattern);
        if (!name.isEmpty()) {
            if (polling_) {
                polling_->DropUnwritten(); // the load empties the table first
            }
            tables_.LoadDataTable(name, options_.separator);
        }
    });
}

void Station::Clear2_ButtonClick() {
    Enter(Handler::Clear2_Button, [this] {
        if (MayDropUnwrittenRows()) {
            tables_.ClearGrid2();
            if (polling_) {
                polling_->DropUnwritten();
            }
        }
    });
}

bool Station::MayDropUnwrittenRows() {
    const int waiting = polling_ ? polling_->unwrittenRows() : 0;
    if (waiting == 0) {
        return true;
    }
    const QString text = QStringLiteral("%1 rows of the data table have not been written to the "
                                        "log file %2 yet. Drop them?")
                             .arg(waiting)
                             .arg(polling_->logFileName());
    return prompter_.askYesNo(text, QStringLiteral("Log file")) == Prompter::Answer::Yes;
}

void Station::DD_ButtonClick() {
    Enter(Handler::DD_Button, [this] {
        for (const QString& line : tables_.DeleteDuplicates()) {
            trace_.append(line);
        }
    });
}

void Station::Clearlist1Click() {
    Enter(Handler::Clearlist2, [this] { tables_.ClearGrid1(); });
}

void Station::Insertslave1Click(int currentRow) {
    Enter(Handler::Insertslave1,
          [this, currentRow] { tables_.InsertSlave(currentRow, options_.MB1Port_ComboBox); });
}

void Station::Appendslave1Click() {
    Enter(Handler::Appendslave1, [this] { tables_.AppendSlave(options_.MB1Port_ComboBox); });
}

void Station::Deleteslave1Click(int currentRow) {
    Enter(Handler::Deleteslave1, [this, currentRow] { tables_.DeleteSlave(currentRow); });
}

void Station::CSVSeparator_MaskEditChange(const QString& text) {
    options_.separator = SeparatorFromText(text);
}

void Station::LoadSlaveListAtStart(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return;
    }
    if (!info.isFile()) {
        trace_.append(path + QStringLiteral(" is not a file"));
        return;
    }
    try {
        tables_.LoadSlaveList(path, options_.separator, options_.MB1Port_ComboBox);
    } catch (const FileError& e) {
        // The list is not lost by the save at close: the file is put aside.
        const QString aside = path + QStringLiteral(".bad");
        QFile::remove(aside);
        const bool kept = QFile::rename(path, aside);
        trace_.append(e.message());
        trace_.append(kept ? QStringLiteral("The slave list was kept as ") + aside
                           : QStringLiteral("The slave list could not be put aside"));
        keepSlaveFile_ = !kept;
    }
}

void Station::SaveSlaveListAtClose(const QString& path) {
    if (autoRun_ && autoRun_->slaveListAsLoaded()) {
        return; // the list of "/S:", unedited: the program's own list stays as it was
    }
    if (keepSlaveFile_) {
        // The file that could not be loaded is not replaced by an empty list.
        prompter_.showMessage(
            path + QStringLiteral(" was not saved: it could not be loaded and is kept as it was"),
            QStringLiteral("Write error"));
        return;
    }
    try {
        SaveCsvKeepingBackup(tables_.slaveList(), path, options_.separator);
    } catch (const FileError& e) {
        prompter_.showMessage(e.message(), QStringLiteral("Write error"));
    }
}

// --- Options and stop ---

void Station::SStop_ButtonClick() {
    Enter(Handler::SStop_Button, [this] {
        runState_.stop = true;
        runState_.polling = false;
        runState_.logging = false;
    });
}

void Station::MDK_CheckBoxClick(bool on) {
    Enter(Handler::MDK_CheckBox, [this, on] {
        options_.MDK_CheckBox = on;
        if (runState_.busy) {
            mdkPending_ = true;
            return;
        }
        ApplyMdk();
    });
}

void Station::ApplyMdk() {
    mdkPending_ = false;
    if (!sio_) {
        return;
    }
    // With MDK the line powers the level converter: DTR +12 V, RTS -12 V.
    const bool mdk = options_.MDK_CheckBox;
    sio_->SetRtsOffMode(mdk);
    sio_->SetRts(!mdk);
    sio_->SetDtr(true);
}

void Station::ApplyLinkSettings(std::uint8_t stxRetries, std::uint16_t additionalTimeoutMs) {
    sio_->SetStxRetryCount(stxRetries);
    sio_->SetAdditionalTimeoutMs(additionalTimeoutMs);
}

} // namespace quorven
