// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The controls of the main window, named as the rest of the program calls
// them. Built by BuildMainWindowControls in the window's order.

#include "app/port_combo_box.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QStatusBar;

namespace quorven {

class GridView;
class Lamp;

struct MainWindowControls {
    GridView* AdvStringGrid1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* ZAnz_StaticText = nullptr;
    QLabel* Label3 = nullptr;
    PortComboBox* MB1Port_ComboBox = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* SB_ComboBox = nullptr;
    QCheckBox* NP_CheckBox = nullptr;
    QCheckBox* SND_NKE_CheckBox = nullptr;
    QCheckBox* MultiTel_CheckBox = nullptr;
    QCheckBox* AppRes_CheckBox = nullptr;
    QPushButton* PS_Button = nullptr;
    QPushButton* IDS_Button = nullptr;
    QPushButton* MBRead_Button = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* PI_MaskEdit = nullptr;
    QPushButton* Poll_Button = nullptr;
    QPushButton* Log_Button = nullptr;
    QPushButton* SStop_Button = nullptr;
    QPushButton* Modem_Button = nullptr;
    QLabel* Label5 = nullptr;
    Lamp* Shape1 = nullptr;
    QLabel* Status_StaticText = nullptr;
    QCheckBox* LogFile_CheckBox = nullptr;
    QCheckBox* Dailylog_CheckBox = nullptr;
    QCheckBox* IDS_CheckBox = nullptr;
    QCheckBox* MDK_CheckBox = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* CSVSeparator_MaskEdit = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QPushButton* Print1_Button = nullptr;
    QPushButton* Save1_Button = nullptr;
    QPushButton* Load1_Button = nullptr;
    QPushButton* DD_Button = nullptr;
    GridView* AdvStringGrid2 = nullptr;
    QPushButton* Print2_Button = nullptr;
    QPushButton* Save2_Button = nullptr;
    QPushButton* Load2_Button = nullptr;
    QPushButton* Clear2_Button = nullptr;
    QPushButton* Import_Button = nullptr;
    QPushButton* Zoom_Button = nullptr;
    QPushButton* Chart_Button = nullptr; // the chart of the data table
    QPlainTextEdit* Memo1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* CL_Button = nullptr;
    QPushButton* Exit_BitBtn = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // The panes of the slave list, the data table and the text area.
    QSplitter* Splitter1 = nullptr;
    QMenu* Language1 = nullptr;     // "Nyelv / Language"
    QAction* LanguageHu1 = nullptr; // Hungarian, the window's own language
    QAction* LanguageEn1 = nullptr; // English
    QMenu* Help1 = nullptr;
    QAction* About1 = nullptr;          // Help > About
    QLabel* FirstStart_Label = nullptr; // how to begin, in the status bar

    QMenu* PopupMenu1 = nullptr;
    QAction* Insertslave1 = nullptr;
    QAction* Appendslave1 = nullptr;
    QAction* Deleteslave1 = nullptr;
    QAction* Testslave1 = nullptr;
    QAction* Clearlist1 = nullptr; // "méröt olvas": reads the selected slave
    QAction* Clearlist2 = nullptr; // "listát töröl"
    QAction* SetPaddr1 = nullptr;
    QAction* S1 = nullptr;
    QAction* SndNke1 = nullptr;
    QAction* SndNkeAll1 = nullptr;
    QAction* AppRes1 = nullptr;
    QAction* AppResAll1 = nullptr;
    QAction* ReadPAdr01 = nullptr;

    // The data table's menu: its chart, or the chart of a log file.
    QMenu* PopupMenu2 = nullptr;
    QAction* Chart1 = nullptr;
    QAction* ChartFile1 = nullptr;
};

// The menu bar's texts and the hint of the first start, in the window's
// language: set when the window is built and again when the language changes
// (the tables' captions and hints: ApplyTexts).
void TranslateMenus(MainWindowControls& c);

// Creates every control on the window with its name, caption and hint, and
// arranges them: slave list top left with its buttons below, options and
// commands on the right, data table across, text area bottom left.
void BuildMainWindowControls(QMainWindow* window, MainWindowControls& c);

} // namespace quorven
