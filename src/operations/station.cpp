// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/station.h"

#include "tables/csv_writer.h"
#include "tables/file_error.h"

#include <QFile>
#include <QFileInfo>

namespace quorven {

namespace {

const QString kFileFilter = QStringLiteral("adatcsomag");
const QString kCsvPattern = QStringLiteral("*.csv");

} // namespace

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
                        [this](const ReadOutSummary& s) { autoRun_->ReadOutEnded(s); }});
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
    Run(Entry::Command, [this] { readOut_->MBRead(); });
}

void Station::Readslave1Click(int currentRow) {
    Run(Entry::Command, [this, currentRow] {
        runState_.singleSlave = true;
        runState_.singleSlaveRow = currentRow;
        readOut_->MBRead();
    });
}

void Station::Poll_ButtonClick() {
    Run(Entry::Command, [this] {
        polling_->Poll_ButtonClick();
        readOut_->MBRead();
    });
}

void Station::Log_ButtonClick() {
    Run(Entry::Command, [this] { StartLogging(&autoRun_->commandLine()); });
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
        run.Close();
    }
}

// --- Searches ---

void Station::PS_ButtonClick() {
    // The search shows itself busy once the question is answered: Cancel
    // leaves the display as it was.
    Run(Entry::TableEdit, [this] { search_->Search(SlaveSearch::Method::Primary); });
}

void Station::IDS_ButtonClick() {
    Run(Entry::TableEdit, [this] { search_->Search(SlaveSearch::Method::Secondary); });
}

// --- Slave commands ---

void Station::Testslave1Click(int currentRow) {
    Run(Entry::Command, [this, currentRow] { commands_->Testslave1Click(currentRow); });
}

void Station::SetPaddr1Click(int currentRow) {
    Run(Entry::Command, [this, currentRow] { commands_->SetPaddr1Click(currentRow); });
}

void Station::S1Click(int currentRow) {
    Run(Entry::Command, [this, currentRow] { commands_->S1Click(currentRow); });
}

void Station::SndNke1Click(int currentRow) {
    Run(Entry::Command, [this, currentRow] { commands_->SndNke1Click(currentRow); });
}

void Station::SndNkeAll1Click() {
    Run(Entry::Command, [this] { commands_->SndNkeAll1Click(); });
}

void Station::AppRes1Click(int currentRow) {
    Run(Entry::Command, [this, currentRow] { commands_->AppRes1Click(currentRow); });
}

void Station::AppResAll1Click() {
    Run(Entry::Command, [this] { commands_->AppResAll1Click(); });
}

void Station::ReadPAdr01Click() {
    Run(Entry::Command, [this] { commands_->ReadPAdr01Click(); });
}

// --- The modem ---

void Station::Moddial_ButtonClick(const ModemNumber& number) {
    if (modem_->dialWaiting()) {
        // The dial's operation hangs up itself when the wait has ended.
        modem_->HangupAsked();
        return;
    }
    Run(Entry::Command, [this, &number] {
        if (modem_->buttonCaption() == ModemConnection::kDialCaption) {
            modem_->DialFromWindow(number);
        } else {
            modem_->Hangup();
        }
    });
}

// --- Tables ---

void Station::Save1_ButtonClick() {
    const QString name = prompter_.fileToSave(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        SaveCsv(tables_.slaveList(), WithCsvExtension(name), options_.separator);
    }
}

void Station::Save2_ButtonClick() {
    const QString name = prompter_.fileToSave(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        SaveCsv(tables_.dataTable(), WithCsvExtension(name), options_.separator);
    }
}

void Station::Load1_ButtonClick() {
    Run(Entry::TableEdit, [this] {
        const QString name = prompter_.fileToOpen(kFileFilter, kCsvPattern);
        if (!name.isEmpty()) {
            tables_.LoadSlaveList(name, options_.separator, options_.MB1Port_ComboBox);
        }
    });
}

void Station::Load2_ButtonClick() {
    const QString name = prompter_.fileToOpen(kFileFilter, kCsvPattern);
    if (!name.isEmpty()) {
        tables_.LoadDataTable(name, options_.separator);
    }
}

void Station::DD_ButtonClick() {
    Run(Entry::TableEdit, [this] {
        for (const QString& line : tables_.DeleteDuplicates()) {
            trace_.append(line);
        }
    });
}

void Station::Clearlist1Click() {
    Run(Entry::TableEdit, [this] { tables_.ClearGrid1(); });
}

void Station::Insertslave1Click(int currentRow) {
    Run(Entry::TableEdit,
        [this, currentRow] { tables_.InsertSlave(currentRow, options_.MB1Port_ComboBox); });
}

void Station::Appendslave1Click() {
    Run(Entry::TableEdit, [this] { tables_.AppendSlave(options_.MB1Port_ComboBox); });
}

void Station::Deleteslave1Click(int currentRow) {
    Run(Entry::TableEdit, [this, currentRow] { tables_.DeleteSlave(currentRow); });
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
    runState_.stop = true;
    runState_.polling = false;
    runState_.logging = false;
}

void Station::MDK_CheckBoxClick(bool on) {
    options_.MDK_CheckBox = on;
    if (runState_.busy) {
        mdkPending_ = true;
        return;
    }
    ApplyMdk();
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
