// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/exception_guard.h"
#include "app/grid_view.h"
#include "app/lamp.h"
#include "app/modem_window.h"
#include "app/program_options.h"
#include "app/trace_file.h"
#include "app/widget_prompter.h"
#include "app/zoom_window.h"
#include "link/mb_sio.h"
#include "link/real_clock.h"
#include "link/system_port_factory.h"
#include "operations/station.h"

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

const QString kFree = QStringLiteral("szabad");
const QString kBusy = QStringLiteral("foglalt");
constexpr int kStatusNoteMs = 5000;

} // namespace

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
        config_.traceFile->follow(station_->trace());
    }
    printerSetup = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    showModemWindow = [](TForm4& window) { window.exec(); };

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

template <class Sender, class Signal>
void TForm1::On(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
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
    connect(station_.get(), &Station::statusNote, this,
            [this](const QString& note) { StatusBar1->showMessage(note, kStatusNoteMs); });
    connect(station_.get(), &Station::lampChanged, this, &TForm1::ShowBusy);
    connect(station_.get(), &Station::progressChanged, this, [this](int bar, int percent) {
        (bar == 2 ? ProgressBar2 : ProgressBar1)->setValue(std::clamp(percent, 0, 100));
    });

    On(MultiTel_CheckBox, &QCheckBox::toggled, &TForm1::MultiTel_CheckBoxClick);
    On(MDK_CheckBox, &QCheckBox::toggled, &TForm1::MDK_CheckBoxClick);
    On(CL_Button, &QPushButton::clicked, &TForm1::CL_ButtonClick);
    On(SStop_Button, &QPushButton::clicked, &TForm1::SStop_ButtonClick);
    On(MBRead_Button, &QPushButton::clicked, &TForm1::MBRead_ButtonClick);
    On(Poll_Button, &QPushButton::clicked, &TForm1::Poll_ButtonClick);
    On(Log_Button, &QPushButton::clicked, &TForm1::Log_ButtonClick);
    On(Clearlist1, &QAction::triggered, &TForm1::Readslave1Click);
    On(Modem_Button, &QPushButton::clicked, &TForm1::Modem_ButtonClick);
    connect(Exit_BitBtn, &QPushButton::clicked, this, &QWidget::close);

    On(Save1_Button, &QPushButton::clicked, &TForm1::Save1_ButtonClick);
    On(Save2_Button, &QPushButton::clicked, &TForm1::Save2_ButtonClick);
    On(Load1_Button, &QPushButton::clicked, &TForm1::Load1_ButtonClick);
    On(Load2_Button, &QPushButton::clicked, &TForm1::Load2_ButtonClick);
    On(DD_Button, &QPushButton::clicked, &TForm1::DD_ButtonClick);
    On(Clear2_Button, &QPushButton::clicked, &TForm1::Clear2_ButtonClick);
    On(Import_Button, &QPushButton::clicked, &TForm1::Import_ButtonClick);
    On(Zoom_Button, &QPushButton::clicked, &TForm1::Zoom_ButtonClick);
    On(Print1_Button, &QPushButton::clicked, &TForm1::Print1_ButtonClick);
    On(Print2_Button, &QPushButton::clicked, &TForm1::Print2_ButtonClick);
    On(Insertslave1, &QAction::triggered, &TForm1::Insertslave1Click);
    On(Appendslave1, &QAction::triggered, &TForm1::Appendslave1Click);
    On(Deleteslave1, &QAction::triggered, &TForm1::Deleteslave1Click);
    On(Clearlist2, &QAction::triggered, &TForm1::Clearlist1Click);
    connect(AdvStringGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Guarded([this, at] { SlaveListMenu(at); }); });
    ConnectSearches();
}

void TForm1::ConnectSearches() {
    // The searches and the meter commands are the station's; the window
    // hands on the selected row and sizes the list when rows come.
    const auto forward = [this](auto* sender, auto signal, std::function<void()> fn) {
        connect(sender, signal, this, [this, fn] { Guarded(fn); });
    };
    Station& st = *station_;
    forward(PS_Button, &QPushButton::clicked, [&st] { st.PS_ButtonClick(); });
    forward(IDS_Button, &QPushButton::clicked, [&st] { st.IDS_ButtonClick(); });
    forward(Testslave1, &QAction::triggered,
            [this] { station_->Testslave1Click(CurrentSlaveRow()); });
    forward(SetPaddr1, &QAction::triggered,
            [this] { station_->SetPaddr1Click(CurrentSlaveRow()); });
    forward(S1, &QAction::triggered, [this] { station_->S1Click(CurrentSlaveRow()); });
    forward(SndNke1, &QAction::triggered, [this] { station_->SndNke1Click(CurrentSlaveRow()); });
    forward(AppRes1, &QAction::triggered, [this] { station_->AppRes1Click(CurrentSlaveRow()); });
    forward(SndNkeAll1, &QAction::triggered, [&st] { st.SndNkeAll1Click(); });
    forward(AppResAll1, &QAction::triggered, [&st] { st.AppResAll1Click(); });
    forward(ReadPAdr01, &QAction::triggered, [&st] { st.ReadPAdr01Click(); });
    connect(&st, &Station::slaveListFilled, this, [this] {
        AdvStringGrid1->sizeColumns();
        AdvStringGrid1->scrollToLastRow();
    });
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
    connect(station_.get(), &Station::modemButtonChanged, form4_->Moddial_Button,
            &QPushButton::setText);
    form4_->hide();
}

// --- Handlers ---

void TForm1::MultiTel_CheckBoxClick() {
    // Reading several telegrams of a meter starts with SND_NKE.
    if (MultiTel_CheckBox->isChecked()) {
        SND_NKE_CheckBox->setChecked(true);
    }
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
    CreateModemWindow();
    showModemWindow(*form4_);
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
    // In an unattended run the message goes into the text area.
    station_->prompter().showMessage(message, QStringLiteral("Quorven"));
    Enable_Buttons();
    station_->ExceptionHandled();
}

void TForm1::ShowBusy(bool busy) {
    Shape1->setColor(busy ? Qt::red : Qt::green);
    Status_StaticText->setText(busy ? kBusy : kFree);
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
        StatusBar1->showMessage(QStringLiteral("Closing when the running operation has ended"),
                                kStatusNoteMs);
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
