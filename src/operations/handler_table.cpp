// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/handler_table.h"

#include <algorithm>
#include <array>

namespace quorven {

namespace {

using enum Handler;
using enum Enters;

constexpr std::array kRows{
    HandlerRow{MBRead_Button, "Form1", "MBRead_Button", BusCommand},
    HandlerRow{Clearlist1, "Form1", "Clearlist1", BusCommand},
    HandlerRow{Poll_Button, "Form1", "Poll_Button", BusCommand},
    HandlerRow{Log_Button, "Form1", "Log_Button", BusCommand},
    // A search fills the slave list; the lamp turns red once its question
    // is answered.
    HandlerRow{PS_Button, "Form1", "PS_Button", TableEdit},
    HandlerRow{IDS_Button, "Form1", "IDS_Button", TableEdit},
    HandlerRow{Testslave1, "Form1", "Testslave1", BusCommand},
    HandlerRow{SetPaddr1, "Form1", "SetPaddr1", BusCommand},
    HandlerRow{S1, "Form1", "S1", BusCommand},
    HandlerRow{SndNke1, "Form1", "SndNke1", BusCommand},
    HandlerRow{SndNkeAll1, "Form1", "SndNkeAll1", BusCommand},
    HandlerRow{AppRes1, "Form1", "AppRes1", BusCommand},
    HandlerRow{AppResAll1, "Form1", "AppResAll1", BusCommand},
    HandlerRow{ReadPAdr01, "Form1", "ReadPAdr01", BusCommand},
    // Opens the modem window, which does not wait: its dial button is the command.
    HandlerRow{Modem_Button, "Form1", "Modem_Button", Free},
    HandlerRow{Load1_Button, "Form1", "Load1_Button", TableEdit},
    HandlerRow{DD_Button, "Form1", "DD_Button", TableEdit},
    HandlerRow{Clearlist2, "Form1", "Clearlist2", TableEdit},
    HandlerRow{Insertslave1, "Form1", "Insertslave1", TableEdit},
    HandlerRow{Appendslave1, "Form1", "Appendslave1", TableEdit},
    HandlerRow{Deleteslave1, "Form1", "Deleteslave1", TableEdit},
    // A read-out writes into the data table: it is neither replaced nor
    // emptied under it.
    HandlerRow{Load2_Button, "Form1", "Load2_Button", TableEdit},
    HandlerRow{Clear2_Button, "Form1", "Clear2_Button", TableEdit},
    // The import overwrites the telegram buffer a read-out uses.
    HandlerRow{Import_Button, "Form1", "Import_Button", TableEdit},
    HandlerRow{Save1_Button, "Form1", "Save1_Button", Free},
    HandlerRow{Save2_Button, "Form1", "Save2_Button", Free},
    HandlerRow{Print1_Button, "Form1", "Print1_Button", Free},
    HandlerRow{Print2_Button, "Form1", "Print2_Button", Free},
    HandlerRow{Zoom_Button, "Form1", "Zoom_Button", Free},
    // Charts read the data table or a log file, never the bus.
    HandlerRow{Chart_Button, "Form1", "Chart_Button", Free},
    HandlerRow{Chart1, "Form1", "Chart1", Free},
    HandlerRow{ChartFile1, "Form1", "ChartFile1", Free},
    HandlerRow{SStop_Button, "Form1", "SStop_Button", Free},
    HandlerRow{CL_Button, "Form1", "CL_Button", Free},
    // The window closes once a running operation has ended.
    HandlerRow{Exit_BitBtn, "Form1", "Exit_BitBtn", Free},
    HandlerRow{About1, "Form1", "About1", Free},
    // Only texts change: also while an operation waits.
    HandlerRow{LanguageHu1, "Form1", "LanguageHu1", Free},
    HandlerRow{LanguageEn1, "Form1", "LanguageEn1", Free},
    HandlerRow{MultiTel_CheckBox, "Form1", "MultiTel_CheckBox", Free},
    // The lines change when a running operation has ended.
    HandlerRow{MDK_CheckBox, "Form1", "MDK_CheckBox", Free},
    HandlerRow{NP_CheckBox, "Form1", "NP_CheckBox", Free},
    HandlerRow{SND_NKE_CheckBox, "Form1", "SND_NKE_CheckBox", Free},
    HandlerRow{AppRes_CheckBox, "Form1", "AppRes_CheckBox", Free},
    HandlerRow{LogFile_CheckBox, "Form1", "LogFile_CheckBox", Free},
    HandlerRow{Dailylog_CheckBox, "Form1", "Dailylog_CheckBox", Free},
    HandlerRow{IDS_CheckBox, "Form1", "IDS_CheckBox", Free},
    HandlerRow{Hide_Button, "Form2", "Hide_Button", Free},
    // Dials or hangs up; a hang-up asked for while the dial waits is taken
    // by the dial itself.
    HandlerRow{Moddial_Button, "Form4", "Moddial_Button", BusCommand},
    HandlerRow{Modclose_Button, "Form4", "Modclose_Button", Free},
    HandlerRow{Pulse_CheckBox, "Form4", "Pulse_CheckBox", Free},
};

constexpr bool InHandlerOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].handler) != i) {
            return false;
        }
    }
    return static_cast<std::size_t>(Pulse_CheckBox) + 1 == kRows.size();
}
static_assert(InHandlerOrder(), "one row per handler, in the order of Handler");

} // namespace

std::span<const HandlerRow> HandlerTable() {
    return kRows;
}

const HandlerRow& RowOf(Handler handler) {
    return kRows[static_cast<std::size_t>(handler)];
}

const HandlerRow* FindHandler(std::string_view window, std::string_view control) {
    const auto it = std::find_if(kRows.begin(), kRows.end(), [&](const HandlerRow& row) {
        return row.window == window && row.control == control;
    });
    return it != kRows.end() ? &*it : nullptr;
}

} // namespace quorven
