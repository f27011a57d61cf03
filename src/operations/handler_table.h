// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quorven {

// Every handler the windows can trigger: each button, each menu item, each
// check box and each dialog, named after its control.
enum class Handler {
    // Main window: the bus.
    MBRead_Button,
    Clearlist1, // "méröt olvas": reads the current slave
    Poll_Button,
    Log_Button,
    PS_Button,
    IDS_Button,
    Testslave1,
    SetPaddr1,
    S1,
    SndNke1,
    SndNkeAll1,
    AppRes1,
    AppResAll1,
    ReadPAdr01,
    Modem_Button,
    // Main window: the tables.
    Load1_Button,
    DD_Button,
    Clearlist2, // clears the slave list
    Insertslave1,
    Appendslave1,
    Deleteslave1,
    Load2_Button,
    Clear2_Button,
    Import_Button,
    Save1_Button,
    Save2_Button,
    Print1_Button,
    Print2_Button,
    Zoom_Button,
    Chart_Button,
    Chart1,     // the data table's menu: its chart
    ChartFile1, // the data table's menu: the chart of a log file
    // Main window: the rest.
    SStop_Button,
    CL_Button,
    Exit_BitBtn,
    About1,
    LanguageHu1, // "Nyelv / Language": the window in Hungarian
    LanguageEn1, // and in English
    MultiTel_CheckBox,
    MDK_CheckBox,
    NP_CheckBox,
    SND_NKE_CheckBox,
    AppRes_CheckBox,
    LogFile_CheckBox,
    Dailylog_CheckBox,
    IDS_CheckBox,
    // The zoom window.
    Hide_Button,
    // The modem window.
    Moddial_Button,
    Modclose_Button,
    Pulse_CheckBox,
};

// How a handler enters the station.
enum class Enters {
    // Uses the bus or the modem: one operation at a time, refused with a
    // note while another runs.
    BusCommand,
    // Changes the rows of a table: refused with a note while an operation runs.
    TableEdit,
    // Always runs, also while an operation waits (Stop, zoom, print, save,
    // the option boxes, dialogs that leave the bus alone).
    Free,
};

struct HandlerRow {
    Handler handler;
    std::string_view window;  // the window's object name: "Form1", "Form2" or "Form4"
    std::string_view control; // the control's object name
    Enters enters;
};

// The table, one row per handler, in the order of Handler.
std::span<const HandlerRow> HandlerTable();
const HandlerRow& RowOf(Handler handler);
// The row of a window's control; nullptr when the control has none.
const HandlerRow* FindHandler(std::string_view window, std::string_view control);

} // namespace quorven
