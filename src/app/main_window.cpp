// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/exception_guard.h"
#include "app/grid_view.h"
#include "app/lamp.h"
#include "app/modem_window.h"
#include "app/program_options.h"
#include "app/shown_texts.h"
#include "app/trace_file.h"
#include "app/widget_prompter.h"
#include "app/zoom_window.h"
#include "link/mb_sio.h"
#include "link/real_clock.h"
#include "link/system_port_factory.h"
#include "operations/station.h"
#include "publish/station_publishing.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>

namespace quorven {

namespace {

constexpr int kStatusNoteMs = 5000;

} // namespace

// The main window's end of its rows of the handler table.
const TForm1::WindowHandler TForm1::kHandlers[] = {
    {Handler::MBRead_Button, &TForm1::MBRead_ButtonClick},
    {Handler::Clearlist1, &TForm1::Readslave1Click},
    {Handler::Poll_Button, &TForm1::Poll_ButtonClick},
    {Handler::Log_Button, &TForm1::Log_ButtonClick},
    {Handler::PS_Button, &TForm1::PS_ButtonClick},
    {Handler::IDS_Button, &TForm1::IDS_ButtonClick},
    {Handler::Testslave1, &TForm1::Testslave1Click},
    {Handler::SetPaddr1, &TForm1::SetPaddr1Click},
    {Handler::S1, &TForm1::S1Click},
    {Handler::SndNke1, &TForm1::SndNke1Click},
    {Handler::SndNkeAll1, &TForm1::SndNkeAll1Click},
    {Handler::AppRes1, &TForm1::AppRes1Click},
    {Handler::AppResAll1, &TForm1::AppResAll1Click},
    {Handler::ReadPAdr01, &TForm1::ReadPAdr01Click},
    {Handler::Modem_Button, &TForm1::Modem_ButtonClick},
    {Handler::Load1_Button, &TForm1::Load1_ButtonClick},
    {Handler::DD_Button, &TForm1::DD_ButtonClick},
    {Handler::Clearlist2, &TForm1::Clearlist1Click},
    {Handler::Insertslave1, &TForm1::Insertslave1Click},
    {Handler::Appendslave1, &TForm1::Appendslave1Click},
    {Handler::Deleteslave1, &TForm1::Deleteslave1Click},
    {Handler::Load2_Button, &TForm1::Load2_ButtonClick},
    {Handler::Clear2_Button, &TForm1::Clear2_ButtonClick},
    {Handler::Import_Button, &TForm1::Import_ButtonClick},
    {Handler::Save1_Button, &TForm1::Save1_ButtonClick},
    {Handler::Save2_Button, &TForm1::Save2_ButtonClick},
    {Handler::Print1_Button, &TForm1::Print1_ButtonClick},
    {Handler::Print2_Button, &TForm1::Print2_ButtonClick},
    {Handler::Zoom_Button, &TForm1::Zoom_ButtonClick},
    {Handler::Chart_Button, &TForm1::Chart_ButtonClick},
    {Handler::Chart1, &TForm1::Chart_ButtonClick},
    {Handler::ChartFile1, &TForm1::ChartFile1Click},
    {Handler::SStop_Button, &TForm1::SStop_ButtonClick},
    {Handler::CL_Button, &TForm1::CL_ButtonClick},
    {Handler::Exit_BitBtn, &TForm1::Exit_BitBtnClick},
    {Handler::About1, &TForm1::About1Click},
    {Handler::LanguageHu1, &TForm1::LanguageHu1Click},
    {Handler::LanguageEn1, &TForm1::LanguageEn1Click},
    {Handler::MultiTel_CheckBox, &TForm1::MultiTel_CheckBoxClick},
    {Handler::MDK_CheckBox, &TForm1::MDK_CheckBoxClick},
};

TForm1::TForm1(StartupConfig config, Prompter* prompter, Clock* clock)
    : config_(std::move(config)) {
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
    station_ = std::make_unique<Station>(*prompter_);
    if (config_.traceFile != nullptr) {
        config_.traceFile->follow(station_->trace(),
                                  [this] { return station_->wallClock().Now(*clock_); });
    }
    printerSetup = [this](QPrinter& printer, std::function<void(bool)> done) {
        auto* dialog = new QPrintDialog(&printer, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::finished, this,
                [done = std::move(done)](int result) { done(result == QDialog::Accepted); });
        dialog->open();
    };
    showModemWindow = [](TForm4& window) { window.open(); };

    BuildMainWindowControls(this, *this);

    station_->SetGuard([this](const std::function<void()>& fn) { Guarded(fn); });

    ConnectControls();
    ConnectTables();
    ConnectOptions();
    ConnectFrame();
    Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

Trace& TForm1::trace() const {
    return station_->trace();
}

TMB_Sio& TForm1::link() const {
    return station_->link();
}

void TForm1::ConnectControls() {
    Trace& t = station_->trace();
    // The text area keeps as many lines as the trace, dropping the oldest.
    Memo1->setMaximumBlockCount(static_cast<int>(t.maxLines()));
    connect(&t, &Trace::lineAppended, Memo1, [this](const QString& line) {
        Memo1->appendPlainText(line);
        Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
    });
    connect(&t, &Trace::cleared, Memo1, &QPlainTextEdit::clear);
    connect(station_.get(), &Station::statusNote, this, [this](const QString& note) {
        StatusBar1->showMessage(ShownText(note), kStatusNoteMs);
    });
    // The trace keeps the telegram check's German line; an English window
    // also says it in English, in the status bar.
    connect(&t, &Trace::lineAppended, this, [this](const QString& line) {
        if (language_.current() == Language::English && IsTelegramCheckText(line)) {
            StatusBar1->showMessage(ShownText(line), kStatusNoteMs);
        }
    });
    connect(station_.get(), &Station::lampChanged, this, &TForm1::ShowBusy);
    connect(station_.get(), &Station::progressChanged, this, [this](int bar, int percent) {
        (bar == 2 ? ProgressBar2 : ProgressBar1)->setValue(std::clamp(percent, 0, 100));
    });

    connect(AdvStringGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Guarded([this, at] { SlaveListMenu(at); }); });
    connect(station_.get(), &Station::slaveListFilled, this, [this] {
        AdvStringGrid1->sizeColumns();
        AdvStringGrid1->scrollToLastRow();
    });
    ConnectHandlers();
    ConnectCharts();
}

void TForm1::ConnectHandlers() {
    // Each control of this window with a handler here, found by its name in
    // the handler table; the option boxes without one follow the options.
    for (const WindowHandler& h : kHandlers) {
        const std::string_view name = RowOf(h.handler).control;
        QObject* control = findChild<QObject*>(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        const auto run = [this, fn = h.run] { Guarded([this, fn] { (this->*fn)(); }); };
        if (auto* action = qobject_cast<QAction*>(control)) {
            connect(action, &QAction::triggered, this, run);
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            connect(box, &QCheckBox::toggled, this, run);
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this, run);
        } else {
            qFatal("The handler table names a control the window lacks: %s", name.data());
        }
    }
}

void TForm1::Guarded(const std::function<void()>& fn) {
    RunGuarded(fn, [this](const QString& message) {
        // The handler itself must not throw through the event loop either.
        RunGuarded([&] { HandleException(message); }, [](const QString&) {});
    });
    if (closePending_ && !station_->operationRunning()) {
        closePending_ = false;
        close();
    }
}

QString TForm1::settingsPath() const {
    return QDir(config_.configFolder).filePath(config_.settingsFileName);
}

QString TForm1::slaveListPath() const {
    return QDir(config_.configFolder).filePath(QString::fromLatin1(kSlaveListFileName));
}

void TForm1::CreateZoomWindow() {
    if (form2_ != nullptr) {
        return;
    }
    form2_ = new TForm2(this);
    // The zoom window shows the data table's rows with column widths of its own.
    auto* zoom = static_cast<GridView*>(form2_->AdvStringGrid3);
    zoom->setModel(&station_->tables().dataTable());
    zoom->setRowWheel(false); // the zoom table scrolls as views do
    connect(form2_, &TForm2::hideClicked, this,
            [this] { Guarded([this] { station_->Hide_ButtonClick(); }); });
    form2_->hide();
}

void TForm1::CreateModemWindow() {
    if (form4_ != nullptr) {
        return;
    }
    form4_ = new TForm4(this);
    form4_->FormCreate(startSettings_.modemInit, startSettings_.phoneNumber,
                       startSettings_.pulseDial);
    connect(form4_, &TForm4::dialClicked, this,
            [this] { Guarded([this] { Moddial_ButtonClick(); }); });
    connect(station_.get(), &Station::modemStatusChanged, form4_, &TForm4::setModemStatus);
    connect(station_.get(), &Station::modemButtonChanged, form4_, &TForm4::setDialCaption);
    form4_->hide();
}

// --- Handlers ---

void TForm1::MultiTel_CheckBoxClick() {
    station_->Enter(Handler::MultiTel_CheckBox, [this] {
        // Reading several telegrams of a meter starts with SND_NKE.
        if (MultiTel_CheckBox->isChecked()) {
            SND_NKE_CheckBox->setChecked(true);
        }
    });
}

void TForm1::MDK_CheckBoxClick() {
    station_->MDK_CheckBoxClick(MDK_CheckBox->isChecked());
}

void TForm1::CL_ButtonClick() {
    station_->CL_ButtonClick();
}

void TForm1::SStop_ButtonClick() {
    station_->SStop_ButtonClick();
}

void TForm1::MBRead_ButtonClick() {
    station_->MBRead_ButtonClick();
}

void TForm1::Readslave1Click() {
    station_->Readslave1Click(CurrentSlaveRow());
}

void TForm1::Poll_ButtonClick() {
    station_->Poll_ButtonClick();
}

void TForm1::Log_ButtonClick() {
    station_->Log_ButtonClick();
}

void TForm1::PS_ButtonClick() {
    station_->PS_ButtonClick();
}

void TForm1::IDS_ButtonClick() {
    station_->IDS_ButtonClick();
}

void TForm1::Testslave1Click() {
    station_->Testslave1Click(CurrentSlaveRow());
}

void TForm1::SetPaddr1Click() {
    station_->SetPaddr1Click(CurrentSlaveRow());
}

void TForm1::S1Click() {
    station_->S1Click(CurrentSlaveRow());
}

void TForm1::SndNke1Click() {
    station_->SndNke1Click(CurrentSlaveRow());
}

void TForm1::SndNkeAll1Click() {
    station_->SndNkeAll1Click();
}

void TForm1::AppRes1Click() {
    station_->AppRes1Click(CurrentSlaveRow());
}

void TForm1::AppResAll1Click() {
    station_->AppResAll1Click();
}

void TForm1::ReadPAdr01Click() {
    station_->ReadPAdr01Click();
}

void TForm1::Exit_BitBtnClick() {
    station_->Enter(Handler::Exit_BitBtn, [this] { close(); });
}

const CommandLineState& TForm1::commandLineState() const {
    return station_->automaticRun().commandLine();
}

bool TForm1::commandLineValid() const {
    return station_->automaticRun().commandLineValid();
}

int TForm1::exitStatus() const {
    return station_->automaticRun().exitStatus();
}

void TForm1::Modem_ButtonClick() {
    station_->Enter(Handler::Modem_Button, [this] {
        CreateModemWindow();
        showModemWindow(*form4_);
    });
}

void TForm1::Moddial_ButtonClick() {
    station_->Moddial_ButtonClick({form4_->Conf_Edit->text(), form4_->Dial_Edit->text(),
                                   form4_->Pulse_CheckBox->isChecked()});
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
    // The operation the error left has given back the port, the lamp and the
    // station already (its scope).
    station_->trace().append(QStringLiteral("Exception!"));
    // In an unattended run the message goes into the text area. The box
    // does not hold up an operation that still waits underneath.
    station_->prompter().showMessageNoWait(message, QStringLiteral("Quorven"));
    Enable_Buttons();
    station_->ExceptionHandled(message);
}

void TForm1::ShowBusy(bool busy) {
    busy_ = busy;
    Shape1->setColor(busy ? Qt::red : Qt::green);
    Status_StaticText->setText(busy ? tr("foglalt") : tr("szabad"));
}

void TForm1::LanguageHu1Click() {
    station_->Enter(Handler::LanguageHu1, [this] {
        chosenLanguage_ = Language::Hungarian;
        UseLanguage(Language::Hungarian);
    });
}

void TForm1::LanguageEn1Click() {
    station_->Enter(Handler::LanguageEn1, [this] {
        chosenLanguage_ = Language::English;
        UseLanguage(Language::English);
    });
}

void TForm1::UseLanguage(Language language) {
    language_.Use(language);
    (language == Language::English ? LanguageEn1 : LanguageHu1)->setChecked(true);
    // The other windows follow through their LanguageChange events; this
    // one at once.
    RetranslateUi();
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
}

void TForm1::RetranslateUi() {
    TranslateMenus(*this);
    Status_StaticText->setText(busy_ ? tr("foglalt") : tr("szabad"));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (station_->operationRunning()) {
        // Nothing may go while an operation still waits on it: stop it, and
        // close when it has ended.
        station_->SStop_ButtonClick();
        closePending_ = true;
        StatusBar1->showMessage(tr("Closing when the running operation has ended"), kStatusNoteMs);
        event->ignore();
        return;
    }
    closed_ = true;
    Guarded([this] { FormClose(); });
    if (form2_ != nullptr) {
        form2_->close();
    }
    event->accept();
}

} // namespace quorven
