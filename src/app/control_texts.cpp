// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/control_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace quorven {

// clang-format off
const ControlText kMainWindowTexts[] = {
    {"Label2", QT_TRANSLATE_NOOP("MainWindow", "mérök:"), nullptr},
    {"Label3", QT_TRANSLATE_NOOP("MainWindow", "&COM-port:"), QT_TRANSLATE_NOOP("MainWindow", "COM-port number")},
    {"MB1Port_ComboBox", nullptr, QT_TRANSLATE_NOOP("MainWindow", "serial M-Bus port")},
    {"Label6", QT_TRANSLATE_NOOP("MainWindow", "Search baud rate(s):"), nullptr},
    {"SB_ComboBox", nullptr, QT_TRANSLATE_NOOP("MainWindow", "baudrate for slave search / modem")},
    {"NP_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "GSM-modem (8N1)"), QT_TRANSLATE_NOOP("MainWindow", "for GSM-modem operation (no parity)")},
    {"SND_NKE_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "S&ND_NKE"), QT_TRANSLATE_NOOP("MainWindow", "Normalize slave before reading")},
    {"MultiTel_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "M&ulti Tel."), QT_TRANSLATE_NOOP("MainWindow", "Read multi telegrams")},
    {"AppRes_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "App&. Res."), QT_TRANSLATE_NOOP("MainWindow", "Send application reset before reading")},
    {"PS_Button", QT_TRANSLATE_NOOP("MainWindow", "Cím keresés"), QT_TRANSLATE_NOOP("MainWindow", "keresés elsodleges cím szerint")},
    {"IDS_Button", QT_TRANSLATE_NOOP("MainWindow", "Gy.sz.keresés"), QT_TRANSLATE_NOOP("MainWindow", "keresés másodlagos cím (Gysz.) szerint")},
    {"MBRead_Button", QT_TRANSLATE_NOOP("MainWindow", "M-Bus olvasás"), QT_TRANSLATE_NOOP("MainWindow", "minden M-Bus mérö olvasása")},
    {"Label1", QT_TRANSLATE_NOOP("MainWindow", "idoköz [s]:"), QT_TRANSLATE_NOOP("MainWindow", "Cycle time for polling or logging")},
    {"PI_MaskEdit", nullptr, QT_TRANSLATE_NOOP("MainWindow", "time between readouts when polling or logging")},
    {"Poll_Button", QT_TRANSLATE_NOOP("MainWindow", "&Poll M-Bus"), QT_TRANSLATE_NOOP("MainWindow", "ismételt olvasás (adattáblát felülírja)")},
    {"Log_Button", QT_TRANSLATE_NOOP("MainWindow", "&Log M-Bus"), QT_TRANSLATE_NOOP("MainWindow", "ismételt olvasás (adattábla végére ír)")},
    {"SStop_Button", QT_TRANSLATE_NOOP("MainWindow", "&Stop"), QT_TRANSLATE_NOOP("MainWindow", "Stop all activities")},
    {"Modem_Button", QT_TRANSLATE_NOOP("MainWindow", "&Modem"), QT_TRANSLATE_NOOP("MainWindow", "modem hívás ablak")},
    {"Label5", QT_TRANSLATE_NOOP("MainWindow", "állapot:"), nullptr},
    {"LogFile_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "irás log file-ba"), QT_TRANSLATE_NOOP("MainWindow", "Write data to disk during logging")},
    {"Dailylog_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "Daily log file"), QT_TRANSLATE_NOOP("MainWindow", "Open a new log file each day")},
    {"IDS_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "IDS+"), QT_TRANSLATE_NOOP("MainWindow", "enhanced ID search")},
    {"MDK_CheckBox", QT_TRANSLATE_NOOP("MainWindow", "MDK"), QT_TRANSLATE_NOOP("MainWindow", "Sensus MDK (DTR = +12V, RTS = -12V)")},
    {"Label4", QT_TRANSLATE_NOOP("MainWindow", "CS&V separator"), nullptr},
    {"CSVSeparator_MaskEdit", nullptr, QT_TRANSLATE_NOOP("MainWindow", "Cell delimiter in CSV-file")},
    {"Print1_Button", QT_TRANSLATE_NOOP("MainWindow", "mérölista nyomt."), QT_TRANSLATE_NOOP("MainWindow", "mérölistát printerre küld")},
    {"Save1_Button", QT_TRANSLATE_NOOP("MainWindow", "mérölista mentés"), QT_TRANSLATE_NOOP("MainWindow", "mérölistát Excel-CSV file-ba lemezre írja")},
    {"Load1_Button", QT_TRANSLATE_NOOP("MainWindow", "mérölista betöltés"), QT_TRANSLATE_NOOP("MainWindow", "mérölistát lemezrol betölt (Excel-CSV formátum)")},
    {"DD_Button", QT_TRANSLATE_NOOP("MainWindow", "duplák törlése"), QT_TRANSLATE_NOOP("MainWindow", "duplán betöltött méro törlése")},
    {"Print2_Button", QT_TRANSLATE_NOOP("MainWindow", "adat nyomt."), QT_TRANSLATE_NOOP("MainWindow", "adatlistát printerre küld")},
    {"Save2_Button", QT_TRANSLATE_NOOP("MainWindow", "adat mentés"), QT_TRANSLATE_NOOP("MainWindow", "adatlistát lemezre ír mint Excel-CSV file")},
    {"Load2_Button", QT_TRANSLATE_NOOP("MainWindow", "adat betöltés"), QT_TRANSLATE_NOOP("MainWindow", "adatlistát lemezröl betölt (Excel –CSV)")},
    {"Clear2_Button", QT_TRANSLATE_NOOP("MainWindow", "adat törlés"), QT_TRANSLATE_NOOP("MainWindow", "adatlista törlése")},
    {"Import_Button", QT_TRANSLATE_NOOP("MainWindow", "Import"), QT_TRANSLATE_NOOP("MainWindow", "Import from text data file (hex ascii with spaces: 68 2D 2D 68 08 01 72 ..)")},
    {"Chart_Button", QT_TRANSLATE_NOOP("MainWindow", "grafikon"), QT_TRANSLATE_NOOP("MainWindow", "a mért értékek grafikonja")},
    {"Zoom_Button", QT_TRANSLATE_NOOP("MainWindow", "adat nagyítás"), QT_TRANSLATE_NOOP("MainWindow", "adatlista teljes képernyön")},
    {"CL_Button", QT_TRANSLATE_NOOP("MainWindow", "olvasás törlés"), QT_TRANSLATE_NOOP("MainWindow", "a log mezö törlése")},
    {"Exit_BitBtn", QT_TRANSLATE_NOOP("MainWindow", "kilép"), QT_TRANSLATE_NOOP("MainWindow", "Exit program")},
};
const int kMainWindowTextCount = int(std::size(kMainWindowTexts));

const ControlText kSlaveMenuTexts[] = {
    {"Insertslave1", QT_TRANSLATE_NOOP("MainWindow", "mérot beszúr"), nullptr},
    {"Appendslave1", QT_TRANSLATE_NOOP("MainWindow", "új méröt felvisz"), nullptr},
    {"Deleteslave1", QT_TRANSLATE_NOOP("MainWindow", "mérot töröl"), nullptr},
    {"Testslave1", QT_TRANSLATE_NOOP("MainWindow", "méröteszt"), nullptr},
    {"Clearlist1", QT_TRANSLATE_NOOP("MainWindow", "méröt olvas"), nullptr},
    {"Clearlist2", QT_TRANSLATE_NOOP("MainWindow", "listát töröl"), nullptr},
    {"SetPaddr1", QT_TRANSLATE_NOOP("MainWindow", "elsödleges cím beáll."), nullptr},
    {"S1", QT_TRANSLATE_NOOP("MainWindow", "gysz. beállítás"), nullptr},
    {"SndNke1", QT_TRANSLATE_NOOP("MainWindow", "SND_NKE címhez"), nullptr},
    {"SndNkeAll1", QT_TRANSLATE_NOOP("MainWindow", "SND_NKE mindhez"), nullptr},
    {"AppRes1", QT_TRANSLATE_NOOP("MainWindow", "alk. Reset címhez"), nullptr},
    {"AppResAll1", QT_TRANSLATE_NOOP("MainWindow", "alk. Reset mindhez"), nullptr},
    {"ReadPAdr01", QT_TRANSLATE_NOOP("MainWindow", "0-cím olvasás"), nullptr},
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
        const QString caption =
            t.caption ? QCoreApplication::translate(kControlTextContext, t.caption) : QString();
        const QString hint =
            t.hint ? QCoreApplication::translate(kControlTextContext, t.hint) : QString();
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
    {"Chart1", QT_TRANSLATE_NOOP("MainWindow", "grafikon"), nullptr},
    {"ChartFile1", QT_TRANSLATE_NOOP("MainWindow", "grafikon log file-ból..."), nullptr},
};
const int kDataMenuTextCount = int(std::size(kDataMenuTexts));

} // namespace quorven
