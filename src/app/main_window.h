// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"
#include "app/grid_edit_delegate.h"
#include "app/language.h"
#include "app/main_window_controls.h"
#include "app/settings.h"
#include "operations/handler_table.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QPrinter;

namespace quorven {

class Clock;
class ClockTimer;
class PortFactory;
class Prompter;
class SystemPortFactory;
class Station;
class StationPublishing;
class ChartWindow;
class TForm2;
class TForm4;
class TMB_Sio;
class Trace;
struct ProgramOptions;
struct WindowGeometry;

// What the program hands the main window at its start.
struct StartupConfig {
    QString programPath;  // full path of the program file, shown as "Dir: "
    QString configFolder; // holds the settings file and slist.csv
    QString settingsFileName = QStringLiteral("quorven.ini");
    QStringList switches; // the command line without the program's own options
    bool simulate = false;
    QString simulationFile; // empty: the built-in demonstration bus
    QString importFile;     // a hex-text telegram imported when the window first shows
    class TraceFile* traceFile = nullptr; // keeps a copy of the text area, from the start on
    QStringList optionProblems;           // shown in the text area at start
    QString mqttUrl;  // the broker of this run (--mqtt), in place of the settings file's
    QString language; // "en" or "hu" for this run (--language); empty: the one last chosen
    // The window's size and place are written back at close; not by a run
    // on a screen that is not the user's (the offscreen platform).
    bool keepWindowPlace = true;
};

// The start of a program run with the given options: the settings file is
// named after the program file and lives in configFolder.
StartupConfig StartupConfigFrom(const ProgramOptions& options, const QString& programPath,
                                const QString& configFolder);

// The main window: the slave list and data table, the options and commands,
// the text area, the lamp and status. It builds the controls, keeps the
// station's options in step with them, forwards each handler to the station,
// shows what the station reports, and runs every handler and timer tick
// inside one guard (HandleException). It reads the settings and slist.csv at
// start and writes them back at close.
class TForm1 : public QMainWindow, public MainWindowControls {
    Q_OBJECT
public:
    // prompter: message boxes and file dialogs; the window's own when null.
    // clock: every timer and wait; the real clock when null.
    explicit TForm1(StartupConfig config, Prompter* prompter = nullptr, Clock* clock = nullptr);
    ~TForm1() override;

    // Program start after the main window: the zoom window, then the modem
    // window with the modem settings read from the settings file.
    void CreateZoomWindow();
    void CreateModemWindow();
    TForm2* Form2() const { return form2_; }
    TForm4* Form4() const { return form4_; }

    Station& station() const { return *station_; }
    Trace& trace() const;
    // The station's link.
    TMB_Sio& link() const;
    Prompter& prompter() const { return *prompter_; }
    const StartupConfig& config() const { return config_; }
    QString settingsPath() const;
    QString slaveListPath() const;

    // Opens the printer setup dialog for a printout, without an event loop
    // of its own, so that an operation waiting underneath goes on; `done`
    // runs when it has closed, told whether to print. Tests replace it to
    // print into a PDF file.
    std::function<void(QPrinter&, std::function<void(bool)> done)> printerSetup;
    // Shows the modem window, modal to the main window, without an event
    // loop of its own.
    std::function<void(TForm4&)> showModemWindow;

    // --- Handlers, each also reachable through its control ---
    void MultiTel_CheckBoxClick();
    void MDK_CheckBoxClick();
    void CL_ButtonClick();
    void SStop_ButtonClick();
    void Modem_ButtonClick();
    // The modem window's dial button: dial, or hang up (the station decides).
    void Moddial_ButtonClick();
    // Parses the command line, writes its lines and applies its switches;
    // fills the automatic run's state and returns whether the line is valid.
    bool Check_Cmdlparms(CommandLineState& state);
    void MBRead_ButtonClick();
    void Readslave1Click();
    void Poll_ButtonClick();
    void Log_ButtonClick();
    void PS_ButtonClick();
    void IDS_ButtonClick();
    // The slave list's menu: the commands to meters.
    void Testslave1Click();
    void SetPaddr1Click();
    void S1Click();
    void SndNke1Click();
    void SndNkeAll1Click();
    void AppRes1Click();
    void AppResAll1Click();
    void ReadPAdr01Click();
    // "kilép": closes the window, once a running operation has ended.
    void Exit_BitBtnClick();

    void Save1_ButtonClick();
    void Save2_ButtonClick();
    void Load1_ButtonClick();
    void Load2_ButtonClick();
    void DD_ButtonClick();
    void Clear2_ButtonClick();
    void Import_ButtonClick();
    void Zoom_ButtonClick();
    // The chart of the data table (also its menu's "grafikon"); it follows
    // the table while logging adds cycles.
    void Chart_ButtonClick();
    // The data table's "grafikon log file-ból...": a log file chosen in a
    // dialog, charted in a window of its own.
    void ChartFile1Click();
    ChartWindow* ChartFile(const QString& fileName);
    ChartWindow* Chart() const { return chart_; }
    void Print1_ButtonClick();
    void Print2_ButtonClick();
    void Insertslave1Click();
    void Appendslave1Click();
    void Deleteslave1Click();
    void Clearlist1Click();
    // Help > About: the version, the licence and where the files live.
    void About1Click();
    // "Nyelv / Language": every window in Hungarian or in English at once;
    // the choice is kept in the settings file.
    void LanguageHu1Click();
    void LanguageEn1Click();
    void UseLanguage(Language language);
    Language language() const { return language_.current(); }

    // The slave list's editing hooks, asked per column before a cell is edited.
    bool AdvStringGrid1CanEditCell(int column) const;
    CellEditing::Kind AdvStringGrid1GetEditorType(int column) const;
    QString AdvStringGrid1GetEditMask(int column) const;

    // Restores the normal state of every command control and the cursor.
    void Enable_Buttons();
    // The one handler of errors no operation handles itself.
    void HandleException(const QString& message);
    // Runs fn under the exception guard; a close asked for while an operation
    // ran happens when the last one has ended.
    void Guarded(const std::function<void()>& fn);

    // The busy/free indication, as the station reports it: red "foglalt" or
    // green "szabad".
    void ShowBusy(bool busy);

    // The settings as the controls hold them now.
    AppSettings CurrentSettings() const;
    const CommandLineState& commandLineState() const;
    bool commandLineValid() const;
    // What the program's exit status is to tell a scheduler.
    int exitStatus() const;
    bool closePending() const { return closePending_; }
    // The window has closed (the program's end).
    bool isClosed() const { return closed_; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void CreateLink();
    // Each port-box entry's tool tip names where it leads; entries that lead
    // to a device present now are shown in bold.
    void ShowPortTargets();
    void LoadStartSlaveList();
    void ApplySettings(const AppSettings& s);
    // With a broker in [MQTT] (or --mqtt), every reading goes to it.
    void StartPublishing(const IniFile& ini);
    void ApplyCommandAction(const CommandAction& a);
    void FormShow();
    void FormClose();
    void SaveSettingsAtClose();

    // The window's size and place, its splitter, Help > About and the hint
    // of the first start.
    void ConnectFrame();
    void PlaceFrame(const WindowGeometry& kept);
    WindowGeometry CurrentFrame() const;
    void ShowFirstStartHint();

    // Every text of this window anew, in the language now chosen.
    void RetranslateUi();
    // The language of the run: --language, else the one kept in the settings.
    void ChooseStartLanguage(const IniFile& ini);

    void ConnectControls();
    // Connects each control named in kHandlers to its handler, run under the guard.
    void ConnectHandlers();
    void ConnectTables();
    void ConnectOptions();

    // The window's handler of a row of the handler table.
    struct WindowHandler {
        Handler handler;
        void (TForm1::*run)();
    };
    static const WindowHandler kHandlers[];
    // The data table's menu; the chart buttons are rows of the handler table.
    void ConnectCharts();

    // The slave list's current table row (1 = first meter), 0 when none.
    int CurrentSlaveRow() const;
    void SlaveListMenu(const QPoint& at);
    void DataTableFilled();
    void PrintGrid(const class QAbstractItemModel& model, bool slaveList);

    StartupConfig config_;
    std::unique_ptr<Prompter> ownPrompter_;
    Prompter* prompter_ = nullptr;
    std::unique_ptr<Clock> ownClock_;
    Clock* clock_ = nullptr;
    std::unique_ptr<Station> station_;
    // Before the station goes: every reading to the broker, when there is one.
    std::unique_ptr<StationPublishing> publishing_;
    std::unique_ptr<ClockTimer> startImport_;
    TForm2* form2_ = nullptr;
    TForm4* form4_ = nullptr;
    ChartWindow* chart_ = nullptr;

    WindowLanguage language_;
    // The language chosen in the menu (or kept from an earlier run): written
    // back at close. --language does not change it.
    std::optional<Language> chosenLanguage_;
    bool busy_ = false;

    AppSettings startSettings_;  // what was read, for the keys the controls do not hold
    QStringList settingsReport_; // lines about the settings file for the text area
    bool shown_ = false;
    bool closePending_ = false;
    bool closed_ = false;
};

} // namespace quorven
