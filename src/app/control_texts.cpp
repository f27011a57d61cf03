// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/control_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace quorven {

// clang-format off
const ControlText kMainWindowTexts[] = {
    {"Label2", "mérök:", nullptr},
    {"Label3", "&COM-port:", "COM-port number"},
    {"MB1Port_ComboBox", nullptr, "serial M-Bus port"},
    {"Label6", "Search baud rate(s):", nullptr},
    {"SB_ComboBox", nullptr, "baudrate for slave search / modem"},
    {"NP_CheckBox", "GSM-modem (8N1)", "for GSM-modem operation (no parity)"},
    {"SND_NKE_CheckBox", "S&ND_NKE", "Normalize slave before reading"},
    {"MultiTel_CheckBox", "M&ulti Tel.", "Read multi telegrams"},
    {"AppRes_CheckBox", "App&. Res.", "Send application reset before reading"},
    {"PS_Button", "Cím keresés", "keresés elsodleges cím szerint"},
    {"IDS_Button", "Gy.sz.keresés", "keresés másodlagos cím (Gysz.) szerint"},
    {"MBRead_Button", "M-Bus olvasás", "minden M-Bus mérö olvasása"},
    {"Label1", "idoköz [s]:", "Cycle time for polling or logging"},
    {"PI_MaskEdit", nullptr, "time between readouts when polling or logging"},
    {"Poll_Button", "&Poll M-Bus", "ismételt olvasás (adattáblát felülírja)"},
    {"Log_Button", "&Log M-Bus", "ismételt olvasás (adattábla végére ír)"},
    {"SStop_Button", "&Stop", "Stop all activities"},
    {"Modem_Button", "&Modem", "modem hívás ablak"},
    {"Label5", "állapot:", nullptr},
    {"LogFile_CheckBox", "irás log file-ba", "Write data to disk during logging"},
    {"Dailylog_CheckBox", "Daily log file", "Open a new log file each day"},
    {"IDS_CheckBox", "IDS+", "enhanced ID search"},
    {"MDK_CheckBox", "MDK", "Sensus MDK (DTR = +12V, RTS = -12V)"},
    {"Label4", "CS&V separator", nullptr},
    {"CSVSeparator_MaskEdit", nullptr, "Cell delimiter in CSV-file"},
    {"Print1_Button", "mérölista nyomt.", "mérölistát printerre küld"},
    {"Save1_Button", "mérölista mentés", "mérölistát Excel-CSV file-ba lemezre írja"},
    {"Load1_Button", "mérölista betöltés", "mérölistát lemezrol betölt (Excel-CSV formátum)"},
    {"DD_Button", "duplák törlése", "duplán betöltött méro törlése"},
    {"Print2_Button", "adat nyomt.", "adatlistát printerre küld"},
    {"Save2_Button", "adat mentés", "adatlistát lemezre ír mint Excel-CSV file"},
    {"Load2_Button", "adat betöltés", "adatlistát lemezröl betölt (Excel –CSV)"},
    {"Clear2_Button", "adat törlés", "adatlista törlése"},
    {"Import_Button", "Import",
     "Import from text data file (hex ascii with spaces: 68 2D 2D 68 08 01 72 ..)"},
    {"Chart_Button", "grafikon", "a mért értékek grafikonja"},
    {"Zoom_Button", "adat nagyítás", "adatlista teljes képernyön"},
    {"CL_Button", "olvasás törlés", "a log mezö törlése"},
    {"Exit_BitBtn", "kilép", "Exit program"},
};
const int kMainWindowTextCount = int(std::size(kMainWindowTexts));

const ControlText kSlaveMenuTexts[] = {
    {"Insertslave1", "mérot beszúr", nullptr},
    {"Appendslave1", "új méröt felvisz", nullptr},
    {"Deleteslave1", "mérot töröl", nullptr},
    {"Testslave1", "méröteszt", nullptr},
    {"Clearlist1", "méröt olvas", nullptr},
    {"Clearlist2", "listát töröl", nullptr},
    {"SetPaddr1", "elsödleges cím beáll.", nullptr},
    {"S1", "gysz. beállítás", nullptr},
    {"SndNke1", "SND_NKE címhez", nullptr},
    {"SndNkeAll1", "SND_NKE mindhez", nullptr},
    {"AppRes1", "alk. Reset címhez", nullptr},
    {"AppResAll1", "alk. Reset mindhez", nullptr},
    {"ReadPAdr01", "0-cím olvasás", nullptr},
};
const int kSlaveMenuTextCount = int(std::size(kSlaveMenuTexts));
// clang-format on

void ApplyTexts(QWidget* root, const ControlText* texts, int count) {
    for (int i = 0; i < count; ++i) {
        const ControlText& t = texts[i];
        const QString name = QString::fromLatin1(t.name);
        QObject* o = root->objectName() == name ? root : root->findChild<QObject*>(name);
        if (o == nullptr) {
            continue;
        }
        const QString caption = t.caption ? QString::fromUtf8(t.caption) : QString();
        const QString hint = t.hint ? QString::fromUtf8(t.hint) : QString();
        if (auto* action = qobject_cast<QAction*>(o)) {
            if (t.caption) {
                action->setText(caption);
            }
            action->setToolTip(hint);
            action->setStatusTip(hint);
            continue;
        }
        auto* w = qobject_cast<QWidget*>(o);
        if (w == nullptr) {
            continue;
        }
        if (t.caption) {
            if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                b->setText(caption);
            } else if (auto* l = qobject_cast<QLabel*>(w)) {
                l->setText(caption);
            }
        }
        if (t.hint) {
            w->setToolTip(hint);
            w->setStatusTip(hint);
        }
    }
}

const ControlText kDataMenuTexts[] = {
    {"Chart1", "grafikon", nullptr},
    {"ChartFile1", "grafikon log file-ból...", nullptr},
};
const int kDataMenuTextCount = int(std::size(kDataMenuTexts));

} // namespace quorven
