// The main window's start-up, command line and shutdown.
#include "app/main_window.h"

#include "app/grid_view.h"
#include "app/modem_window.h"
#include "app/port_catalog.h"
#include "app/port_combo_box.h"
#include "app/port_config.h"
#include "app/program_options.h"
#include "app/wait_cursor.h"
#include "link/clock.h"
#include "link/mb_sio.h"
#include "link/system_port_factory.h"
#include "operations/station.h"
#include "sim/simulated_bus.h"
#include "tables/csv_writer.h"
#include "tables/file_error.h"

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
    return config;
}

void TForm1::CreateSimulatedBus() {
    const bool anySimulated = std::any_of(
        startSettings_.portDevices.begin(), startSettings_.portDevices.end(), [](const auto& e) {
            return e.second.trimmed().compare(QLatin1String(PortMap::kSimulatedDevice),
                                              Qt::CaseInsensitive) == 0;
        });
    if (!config_.simulate && !anySimulated) {
        return;
    }
    if (config_.simulationFile.isEmpty()) {
        simulatedBus_ = sim::SimulatedBus::demo(*clock_);
        settingsReport_.append(QStringLiteral("Simulated bus: the demonstration bus"));
        return;
    }
    QString error;
    simulatedBus_ = sim::SimulatedBus::fromFile(*clock_, config_.simulationFile, &error);
    settingsReport_.append(
        simulatedBus_ ? QStringLiteral("Simulated bus: ") + config_.simulationFile : error);
}

void TForm1::CreateLink() {
    CreateSimulatedBus();
    PortMap map = BuildPortMap(startSettings_, config_.simulate, &settingsReport_);
    ports_ = std::make_unique<SystemPortFactory>(*clock_, std::move(map), simulatedBus_.get());
    ports_->onNotice = [this](const QString& line) { station_->trace().append(line); };
    station_->AttachLink(*clock_, *ports_, QStringLiteral("COM0"));
    ShowPortTargets();
    MB1Port_ComboBox->beforePopup = [this] { ShowPortTargets(); };
}

void TForm1::ShowPortTargets() {
    const PortCatalog catalog(ports_->map(), AvailableSystemPorts());
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
    startSettings_ = ReadSettings(IniFile::load(settingsPath()), &settingsReport_);
    CreateLink();
    station_->runState() = RunState();
    cmdState_ = CommandLineState();
    cmdValid_ = false;

    PI_MaskEdit->setText(QStringLiteral("5"));
    station_->trace().clear();
    station_->tables().ClearGrid1();
    station_->tables().ClearGrid2();
    SB_ComboBox->setCurrentIndex(0);
    ShowBusy(false);
    ProgressBar1->setValue(0);
    ProgressBar2->setValue(0);

    for (const QString& line : config_.optionProblems + settingsReport_) {
        station_->trace().append(line);
    }
    ApplySettings(startSettings_);
    LoadStartSlaveList();
    AdvStringGrid1->sizeColumns();
    AdvStringGrid2->sizeColumns();
}

void TForm1::ApplySettings(const AppSettings& s) {
    MB1Port_ComboBox->setCurrentIndex(s.port - 1); // -1: no port selected
    station_->link().SetStxRetryCount(s.stxRetries);
    station_->link().SetAdditionalTimeoutMs(s.additionalTimeoutMs);
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
    const QString path = slaveListPath();
    const QFileInfo info(path);
    if (!info.exists()) {
        return;
    }
    if (!info.isFile()) {
        station_->trace().append(path + QStringLiteral(" is not a file"));
        return;
    }
    const WaitCursor wait;
    try {
        station_->tables().LoadSlaveList(path, station_->options().separator,
                                         station_->options().MB1Port_ComboBox);
    } catch (const FileError& e) {
        // The list is not lost by the save at close: the file is put aside.
        const QString aside = path + QStringLiteral(".bad");
        QFile::remove(aside);
        const bool kept = QFile::rename(path, aside);
        station_->trace().append(e.message());
        station_->trace().append(kept ? QStringLiteral("The slave list was kept as ") + aside
                                      : QStringLiteral("The slave list could not be put aside"));
        keepSlaveFile_ = !kept;
    }
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
    autoRunStep_ = 0;
    timerGlobal_->start(4500);
    if (!config_.importFile.isEmpty()) {
        // Once the window has its size, so the rows are shown scrolled to the end.
        startImport_ = clock_->callAfter(
            0, [this] { Guarded([this] { station_->ImportFile(config_.importFile); }); });
    }
}

void TForm1::Timer_GlobalTimer() {
    if (firstTick_) {
        firstTick_ = false;
        cmdValid_ = Check_Cmdlparms();
    }
}

bool TForm1::Check_Cmdlparms() {
    const CommandLine c = ParseCommandLine(config_.switches, config_.programPath);
    for (const QString& line : c.lines) {
        station_->trace().append(line);
    }
    cmdState_ = c.state;
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
    timerGlobal_->stop();
    // Each file is written even when the other one fails.
    SaveSlaveListAtClose();
    SaveSettingsAtClose();
}

void TForm1::SaveSlaveListAtClose() {
    if (keepSlaveFile_) {
        // The file that could not be loaded is not replaced by an empty list.
        prompter_->showMessage(slaveListPath() + QStringLiteral(" was not saved: it could not be "
                                                                "loaded and is kept as it was"),
                               QStringLiteral("Write error"));
        return;
    }
    try {
        SaveCsv(station_->tables().slaveList(), slaveListPath(), station_->options().separator);
    } catch (const FileError& e) {
        prompter_->showMessage(e.message(), QStringLiteral("Write error"));
    }
}

void TForm1::SaveSettingsAtClose() {
    const QString path = settingsPath();
    if (IniFile::isWriteProtected(path)) {
        prompter_->showMessage(QStringLiteral("Ini-file is write-protected!"),
                               QStringLiteral("Write error"));
        return;
    }
    // Read again, so that whatever else the file holds now is kept.
    IniFile ini = IniFile::load(path);
    WriteSettings(ini, CurrentSettings());
    QString error;
    if (!ini.save(path, &error)) {
        prompter_->showMessage(QStringLiteral("Cannot write the settings file ") + path +
                                   QStringLiteral(": ") + error,
                               QStringLiteral("Write error"));
    }
}

} // namespace quorven
