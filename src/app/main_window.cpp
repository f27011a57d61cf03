#include "app/main_window.h"

#include "app/exception_guard.h"
#include "app/grid_view.h"
#include "app/lamp.h"
#include "app/modem_window.h"
#include "app/port_config.h"
#include "app/program_options.h"
#include "app/widget_prompter.h"
#include "app/zoom_window.h"
#include "link/mb_sio.h"
#include "link/real_clock.h"
#include "link/system_port_factory.h"
#include "link/trace.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>

namespace quorven {

namespace {

const QString kFree = QStringLiteral("szabad");
const QString kBusy = QStringLiteral("foglalt");

} // namespace

TForm1::TForm1(StartupConfig config, Prompter* prompter, Clock* clock)
    : config_(std::move(config)), trace_(std::make_unique<Trace>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorven V2.1"));
    if (prompter == nullptr) {
        ownPrompter_ = std::make_unique<WidgetPrompter>(this);
        prompter = ownPrompter_.get();
    }
    prompter_ = prompter;
    if (clock == nullptr) {
        ownClock_ = std::make_unique<RealClock>();
        clock = ownClock_.get();
    }
    clock_ = clock;

    BuildMainWindowControls(this, *this);
    resize(786, 551 + statusBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    timerGlobal_ = clock_->createTimer();
    timerGlobal_->setSingleShot(false);
    timerGlobal_->setCallback([this] { Guarded([this] { Timer_GlobalTimer(); }); });

    ConnectControls();
    Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

template <class Sender, class Signal>
void TForm1::On(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::ConnectControls() {
    connect(trace_.get(), &Trace::lineAppended, Memo1, [this](const QString& line) {
        Memo1->appendPlainText(line);
        Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
    });
    connect(trace_.get(), &Trace::cleared, Memo1, &QPlainTextEdit::clear);

    On(MultiTel_CheckBox, &QCheckBox::toggled, &TForm1::MultiTel_CheckBoxClick);
    On(MDK_CheckBox, &QCheckBox::toggled, &TForm1::MDK_CheckBoxClick);
    On(CL_Button, &QPushButton::clicked, &TForm1::CL_ButtonClick);
    On(Modem_Button, &QPushButton::clicked, &TForm1::Modem_ButtonClick);
    connect(Exit_BitBtn, &QPushButton::clicked, this, &QWidget::close);
}

void TForm1::Guarded(const std::function<void()>& fn) {
    RunGuarded(fn, [this](const QString& message) {
        // The handler itself must not throw through the event loop either.
        RunGuarded([&] { HandleException(message); }, [](const QString&) {});
    });
}

QString TForm1::settingsPath() const {
    return QDir(config_.configFolder).filePath(config_.settingsFileName);
}

QString TForm1::slaveListPath() const {
    return QDir(config_.configFolder).filePath(QString::fromLatin1(kSlaveListFileName));
}

void TForm1::CreateZoomWindow() {
    if (form2_ == nullptr) {
        form2_ = new TForm2(this);
        form2_->hide();
    }
}

void TForm1::CreateModemWindow() {
    if (form4_ == nullptr) {
        form4_ = new TForm4(this);
        form4_->FormCreate(startSettings_.modemInit, startSettings_.phoneNumber,
                           startSettings_.pulseDial);
        form4_->hide();
    }
}

// --- Start-up and shutdown ---

void TForm1::CreateLink() {
    PortMap map = BuildPortMap(startSettings_, config_.simulate, &settingsReport_);
    ports_ = std::make_unique<SystemPortFactory>(std::move(map), simulatedBus_.get());
    sio_ = std::make_unique<TMB_Sio>(*clock_, *ports_, QStringLiteral("COM0"));
}

void TForm1::FormCreate() {
    // The settings file is read first: the port map of the link comes from it.
    startSettings_ = ReadSettings(IniFile::load(settingsPath()), &settingsReport_);
    CreateLink();
    modemConnected_ = false;

    PI_MaskEdit->setText(QStringLiteral("5"));
    trace_->clear();
    cmdState_ = CommandLineState();
    cmdValid_ = false;
    SB_ComboBox->setCurrentIndex(0);
    ShowBusy(false);
    ProgressBar1->setValue(0);
    ProgressBar2->setValue(0);

    for (const QString& problem : config_.optionProblems) {
        trace_->append(problem);
    }
    for (const QString& line : settingsReport_) {
        trace_->append(line);
    }
    ApplySettings(startSettings_);
}

void TForm1::ApplySettings(const AppSettings& s) {
    MB1Port_ComboBox->setCurrentIndex(s.port - 1); // -1: no port selected
    sio_->SetStxRetryCount(s.stxRetries);
    sio_->SetAdditionalTimeoutMs(s.additionalTimeoutMs);
    PI_MaskEdit->setText(s.cycleTime);
    // In this order; checking a box runs its handler.
    SND_NKE_CheckBox->setChecked(s.sndNke);
    AppRes_CheckBox->setChecked(s.appReset);
    MultiTel_CheckBox->setChecked(s.multiTel);
    MDK_CheckBox->setChecked(s.mdk);
    IDS_CheckBox->setChecked(s.enhancedIds);
    CSVSeparator_MaskEdit->setText(s.csvSeparator.left(1));
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
    if (firstTick_ && !timerGlobal_->isActive()) {
        Guarded([this] { FormShow(); });
    }
}

void TForm1::FormShow() {
    autoRunStep_ = 0;
    timerGlobal_->start(4500);
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
        trace_->append(line);
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

void TForm1::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        Guarded([this] { FormClose(); });
        closed_ = true;
    }
    event->accept();
}

void TForm1::FormClose() {
    timerGlobal_->stop();
    SaveAtClose();
}

void TForm1::SaveAtClose() {
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

// --- Handlers ---

void TForm1::MultiTel_CheckBoxClick() {
    if (MultiTel_CheckBox->isChecked()) {
        SND_NKE_CheckBox->setChecked(true);
    }
}

void TForm1::MDK_CheckBoxClick() {
    // With MDK the line powers the level converter: DTR +12 V, RTS -12 V.
    const bool mdk = MDK_CheckBox->isChecked();
    sio_->SetRtsOffMode(mdk);
    sio_->SetRts(!mdk);
    sio_->SetDtr(true);
}

void TForm1::CL_ButtonClick() {
    trace_->clear();
}

void TForm1::Modem_ButtonClick() {
    CreateModemWindow();
    form4_->exec();
}

void TForm1::Enable_Buttons() {
    for (QPushButton* b :
         {Print1_Button, Print2_Button, Save1_Button, Load1_Button, DD_Button, Save2_Button,
          Load2_Button, Clear2_Button, Import_Button, PS_Button, IDS_Button, MBRead_Button,
          Poll_Button, Log_Button, SStop_Button, Zoom_Button, CL_Button, Exit_BitBtn}) {
        b->setEnabled(true);
    }
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
}

void TForm1::HandleException(const QString& message) {
    trace_->append(QStringLiteral("Exception!"));
    prompter_->showMessage(message, QStringLiteral("Quorven"));
    Enable_Buttons();
    if (sio_ && sio_->IsPortOpen() && !modemConnected_) {
        sio_->ClosePort();
    }
    ShowBusy(false);
}

void TForm1::ShowBusy(bool busy) {
    Shape1->setColor(busy ? Qt::red : Qt::green);
    Status_StaticText->setText(busy ? kBusy : kFree);
}

} // namespace quorven
