// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up, command line and shutdown.
#include "app/main_window.h"

#include "app/grid_view.h"
#include "app/modem_window.h"
#include "app/port_catalog.h"
#include "app/port_combo_box.h"
#include "app/program_options.h"
#include "app/wait_cursor.h"
#include "app/window_geometry.h"
#include "link/clock.h"
#include "link/mb_sio.h"
#include "operations/station.h"
#include "publish/station_publishing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QShowEvent>

#include <algorithm>

namespace quorven {

StartupConfig StartupConfigFrom(const ProgramOptions& options, const QString& programPath,
                                const QString& configFolder) {
    StartupConfig config;
    config.programPath = programPath;
    config.configFolder = configFolder;
    config.settingsFileName = SettingsFileName(programPath);
    config.switches = options.switches;
    config.simulate = options.simulate;
    config.simulationFile = options.simulationFile;
    config.importFile = options.importFile;
    config.optionProblems = options.problems;
    config.mqttUrl = options.mqttUrl;
    config.language = options.language;
    return config;
}

void TForm1::CreateLink() {
    PortSetup setup;
    setup.portDevices = startSettings_.portDevices;
    setup.simulateAll = config_.simulate;
    setup.simulationFile = config_.simulationFile;
    station_->ConnectPorts(*clock_, setup, &settingsReport_);
    station_->ports().systemPorts().onNotice = [this](const QString& line) {
        station_->trace().append(line);
    };
    ShowPortTargets();
    MB1Port_ComboBox->beforePopup = [this] { ShowPortTargets(); };
}

void TForm1::ShowPortTargets() {
    const PortCatalog catalog(station_->ports().systemPorts().map(), AvailableSystemPorts());
    QFont bold = MB1Port_ComboBox->font();
    bold.setBold(true);
    for (int n = 1; n <= kPortCount; ++n) {
        const PortDescription port = catalog.describe(n);
        MB1Port_ComboBox->setItemData(n - 1, PortToolTip(port), Qt::ToolTipRole);
        MB1Port_ComboBox->setItemData(n - 1, port.present ? QVariant(bold) : QVariant(),
                                      Qt::FontRole);
    }
}

void TForm1::FormCreate() {
    // The settings file is read first: its Ports section decides where the
    // link's port names lead.
    const IniFile ini = IniFile::load(settingsPath());
    startSettings_ = ReadSettings(ini, &settingsReport_);
    ChooseStartLanguage(ini);
    PlaceFrame(ReadWindowGeometry(ini));
    CreateLink();
    station_->runState() = RunState();
    station_->SetAutomaticRunHooks(
        {[this](CommandLineState& state) { return Check_Cmdlparms(state); },
         [this] { LogFile_CheckBox->setChecked(true); }, [this] { close(); },
         [this] {
             station_->AutomaticDial(
                 {startSettings_.modemInit, startSettings_.phoneNumber, startSettings_.pulseDial});
         }});

    PI_MaskEdit->setText(QStringLiteral("5"));
    station_->trace().clear();
    station_->tables().ClearGrid1();
    station_->tables().ClearGrid2();
    SB_ComboBox->setCurrentIndex(0);
    station_->ResetIndicators();

    for (const QString& line : config_.optionProblems + settingsReport_) {
        station_->trace().append(line);
    }
    StartPublishing(ini);
    ApplySettings(startSettings_);
    LoadStartSlaveList();
    AdvStringGrid1->sizeColumns();
    AdvStringGrid2->sizeColumns();
}

void TForm1::ChooseStartLanguage(const IniFile& ini) {
    chosenLanguage_ = ReadLanguage(ini);
    const auto ofRun = LanguageOfCode(config_.language);
    UseLanguage(ofRun.value_or(chosenLanguage_.value_or(Language::Hungarian)));
}

void TForm1::StartPublishing(const IniFile& ini) {
    QStringList report;
    const MqttSettings mqtt = MqttSettingsOfRun(ini.entries(QString::fromUtf16(kMqttSection)),
                                                config_.mqttUrl, config_.configFolder, &report);
    for (const QString& line : report) {
        station_->trace().append(line);
    }
    if (!mqtt.enabled()) {
        return;
    }
    publishing_ =
        std::make_unique<StationPublishing>(*station_, mqtt, MqttStoreFolder(config_.configFolder));
    if (!publishing_->Start()) {
        publishing_.reset();
    }
}

void TForm1::ApplySettings(const AppSettings& s) {
    MB1Port_ComboBox->setCurrentIndex(s.port - 1); // -1: no port selected
    station_->ApplyLinkSettings(s.stxRetries, s.additionalTimeoutMs);
    PI_MaskEdit->setText(s.cycleTime);
    // In this order; checking a box runs its handler.
    SND_NKE_CheckBox->setChecked(s.sndNke);
    AppRes_CheckBox->setChecked(s.appReset);
    MultiTel_CheckBox->setChecked(s.multiTel);
    MDK_CheckBox->setChecked(s.mdk);
    IDS_CheckBox->setChecked(s.enhancedIds);
    CSVSeparator_MaskEdit->setText(s.csvSeparator.left(1));
}

void TForm1::LoadStartSlaveList() {
    if (!QFileInfo::exists(slaveListPath())) {
        ShowFirstStartHint();
        return;
    }
    const WaitCursor wait;
    station_->LoadSlaveListAtStart(slaveListPath());
}

AppSettings TForm1::CurrentSettings() const {
    AppSettings s = startSettings_;
    s.port = MB1Port_ComboBox->currentIndex() + 1;
    if (form4_ != nullptr) {
        s.modemInit = form4_->Conf_Edit->text();
        s.phoneNumber = form4_->Dial_Edit->text();
        s.pulseDial = form4_->Pulse_CheckBox->isChecked();
    }
    s.sndNke = SND_NKE_CheckBox->isChecked();
    s.appReset = AppRes_CheckBox->isChecked();
    s.multiTel = MultiTel_CheckBox->isChecked();
    s.mdk = MDK_CheckBox->isChecked();
    s.enhancedIds = IDS_CheckBox->isChecked();
    s.cycleTime = PI_MaskEdit->text();
    s.csvSeparator = CSVSeparator_MaskEdit->text();
    return s;
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        Guarded([this] { FormShow(); });
    }
}

void TForm1::FormShow() {
    station_->FormShow();
    if (!config_.importFile.isEmpty()) {
        // Once the window has its size, so the rows are shown scrolled to the end.
        startImport_ = clock_->callAfter(0, [this] {
            Guarded([this] {
                station_->Run(Entry::TableEdit,
                              [this] { station_->ImportFile(config_.importFile); });
            });
        });
    }
}

bool TForm1::Check_Cmdlparms(CommandLineState& state) {
    const CommandLine c = ParseCommandLine(config_.switches, config_.programPath, slaveListPath());
    for (const QString& line : c.lines) {
        station_->trace().append(line);
    }
    state = c.state;
    station_->pollingLogging().setLogFileName(state.logFileName);
    for (const CommandAction& a : c.actions) {
        ApplyCommandAction(a);
    }
    return c.valid;
}

void TForm1::ApplyCommandAction(const CommandAction& a) {
    using Kind = CommandAction::Kind;
    switch (a.kind) {
    case Kind::SndNke:
        SND_NKE_CheckBox->setChecked(a.flag);
        break;
    case Kind::MultiTel:
        MultiTel_CheckBox->setChecked(a.flag);
        break;
    case Kind::AppReset:
        AppRes_CheckBox->setChecked(a.flag);
        break;
    case Kind::NoParity:
        NP_CheckBox->setChecked(a.flag);
        break;
    case Kind::PulseDial:
        startSettings_.pulseDial = a.flag;
        if (form4_ != nullptr) {
            form4_->Pulse_CheckBox->setChecked(a.flag);
        }
        break;
    case Kind::PhoneNumber:
        startSettings_.phoneNumber = a.text;
        if (form4_ != nullptr) {
            form4_->Dial_Edit->setText(a.text);
        }
        break;
    case Kind::ModemInit:
        startSettings_.modemInit = a.text;
        if (form4_ != nullptr) {
            form4_->Conf_Edit->setText(a.text);
        }
        break;
    case Kind::CycleTime:
        startSettings_.cycleTime = a.text;
        PI_MaskEdit->setText(a.text);
        break;
    case Kind::SearchBaud:
        SB_ComboBox->setCurrentIndex(a.number);
        break;
    case Kind::Port:
        MB1Port_ComboBox->setCurrentIndex(a.number - 1);
        break;
    }
}

void TForm1::FormClose() {
    // Rows that have not reached the log file go into a rescue file beside it.
    station_->pollingLogging().FinishLog();
    // Each file is written even when the other one fails.
    station_->SaveSlaveListAtClose(slaveListPath());
    SaveSettingsAtClose();
    if (publishing_) {
        publishing_->Finish(kFinishWaitMs);
    }
}

void TForm1::SaveSettingsAtClose() {
    const QString path = settingsPath();
    if (IniFile::isWriteProtected(path)) {
        prompter_->showMessage(tr("Ini-file is write-protected!"), tr("Write error"));
        return;
    }
    // Read again, so that whatever else the file holds now is kept.
    IniFile ini = IniFile::load(path);
    WriteSettings(ini, CurrentSettings());
    if (config_.keepWindowPlace) {
        WriteWindowGeometry(ini, CurrentFrame());
    }
    if (chosenLanguage_) {
        WriteLanguage(ini, *chosenLanguage_);
    }
    QString error;
    if (!ini.save(path, &error)) {
        prompter_->showMessage(tr("Cannot write the settings file %1: %2").arg(path, error),
                               tr("Write error"));
    }
}

} // namespace quorven
