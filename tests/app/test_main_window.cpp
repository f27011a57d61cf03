#include "window_fixture.h"

#include "app/lamp.h"
#include "app/modem_window.h"
#include "app/zoom_window.h"
#include "link/mb_sio.h"
#include "operations/station.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <stdexcept>

using namespace quorven;
using namespace quorven::testing;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void caption();
    void controlTexts_data();
    void controlTexts();
    void popupMenuOrder();
    void hintInStatusBar();
    void lists();
    void dailyLogNeverShown();
    void multiTelChecksSndNke();
    void mdkRecordsRtsMode();
    void exceptionGuard();
    void stationDrivesLampAndBars();
    void textAreaFollowsTrace();
    void zoomAndModemWindows();
};

void TestMainWindow::caption() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.windowTitle(), QString("Quorven V2.1"));
    QCOMPARE(w.Status_StaticText->text(), QString("szabad"));
    QCOMPARE(w.Shape1->color(), QColor(Qt::green));
    QCOMPARE(w.ZAnz_StaticText->text(), QString("0"));
}

void TestMainWindow::controlTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    const char* rows[][3] = {
        {"Label2", "mérök:", ""},
        {"Label3", "&COM-port:", "COM-port number"},
        {"MB1Port_ComboBox", "", "serial M-Bus port"},
        {"Label6", "Search baud rate(s):", ""},
        {"SB_ComboBox", "", "baudrate for slave search / modem"},
        {"NP_CheckBox", "GSM-modem (8N1)", "for GSM-modem operation (no parity)"},
        {"SND_NKE_CheckBox", "S&ND_NKE", "Normalize slave before reading"},
        {"MultiTel_CheckBox", "M&ulti Tel.", "Read multi telegrams"},
        {"AppRes_CheckBox", "App&. Res.", "Send application reset before reading"},
        {"PS_Button", "Cím keresés", "keresés elsodleges cím szerint"},
        {"IDS_Button", "Gy.sz.keresés", "keresés másodlagos cím (Gysz.) szerint"},
        {"MBRead_Button", "M-Bus olvasás", "minden M-Bus mérö olvasása"},
        {"Label1", "idoköz [s]:", "Cycle time for polling or logging"},
        {"PI_MaskEdit", "", "time between readouts when polling or logging"},
        {"Poll_Button", "&Poll M-Bus", "ismételt olvasás (adattáblát felülírja)"},
        {"Log_Button", "&Log M-Bus", "ismételt olvasás (adattábla végére ír)"},
        {"SStop_Button", "&Stop", "Stop all activities"},
        {"Modem_Button", "&Modem", "modem hívás ablak"},
        {"Label5", "állapot:", ""},
        {"LogFile_CheckBox", "irás log file-ba", "Write data to disk during logging"},
        {"Dailylog_CheckBox", "Daily log file", "Open a new log file each day"},
        {"IDS_CheckBox", "IDS+", "enhanced ID search"},
        {"MDK_CheckBox", "MDK", "Sensus MDK (DTR = +12V, RTS = -12V)"},
        {"Label4", "CS&V separator", ""},
        {"CSVSeparator_MaskEdit", "", "Cell delimiter in CSV-file"},
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
        {"Zoom_Button", "adat nagyítás", "adatlista teljes képernyön"},
        {"CL_Button", "olvasás törlés", "a log mezö törlése"},
        {"Exit_BitBtn", "kilép", "Exit program"},
    };
    for (const auto& r : rows) {
        QTest::newRow(r[0]) << QString(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]);
    }
}

void TestMainWindow::controlTexts() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    WindowFixture f;
    TForm1& w = f.start();
    auto* control = w.findChild<QWidget*>(name);
    QVERIFY2(control != nullptr, qPrintable(name));
    if (auto* b = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(b->text(), caption);
    } else if (auto* l = qobject_cast<QLabel*>(control)) {
        QCOMPARE(l->text(), caption);
    } else {
        QVERIFY(caption.isEmpty());
    }
    QCOMPARE(control->toolTip(), hint);
    QCOMPARE(control->statusTip(), hint); // shown in the status bar under the mouse
}

void TestMainWindow::popupMenuOrder() {
    WindowFixture f;
    TForm1& w = f.start();
    QStringList names;
    QStringList texts;
    for (QAction* a : w.PopupMenu1->actions()) {
        names << a->objectName();
        texts << a->text();
    }
    QCOMPARE(names, QStringList({"Insertslave1", "Appendslave1", "Deleteslave1", "Testslave1",
                                 "Clearlist1", "Clearlist2", "SetPaddr1", "S1", "SndNke1",
                                 "SndNkeAll1", "AppRes1", "AppResAll1", "ReadPAdr01"}));
    QCOMPARE(texts, QStringList({"mérot beszúr", "új méröt felvisz", "mérot töröl", "méröteszt",
                                 "méröt olvas", "listát töröl", "elsödleges cím beáll.",
                                 "gysz. beállítás", "SND_NKE címhez", "SND_NKE mindhez",
                                 "alk. Reset címhez", "alk. Reset mindhez", "0-cím olvasás"}));
}

void TestMainWindow::hintInStatusBar() {
    WindowFixture f;
    TForm1& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseMove(w.Import_Button);
    QTRY_COMPARE(w.StatusBar1->currentMessage(),
                 QString("Import from text data file (hex ascii with spaces: 68 2D 2D 68 08 01 "
                         "72 ..)"));
    QTest::mouseMove(w.Label1);
    QTRY_COMPARE(w.StatusBar1->currentMessage(), QString("Cycle time for polling or logging"));
    w.hide();
}

void TestMainWindow::lists() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.MB1Port_ComboBox->count(), 255);
    QCOMPARE(w.MB1Port_ComboBox->itemText(0), QString("COM1"));
    QCOMPARE(w.MB1Port_ComboBox->itemText(254), QString("COM255"));
    QStringList baud;
    for (int i = 0; i < w.SB_ComboBox->count(); ++i) {
        baud << w.SB_ComboBox->itemText(i);
    }
    QCOMPARE(baud, QStringList({"2400", "300", "2400 + 300", "9600"}));
    QCOMPARE(w.SB_ComboBox->currentText(), QString("2400"));
}

void TestMainWindow::dailyLogNeverShown() {
    WindowFixture f;
    TForm1& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.SND_NKE_CheckBox->isVisible());
    QVERIFY(!w.Dailylog_CheckBox->isVisible());
    w.hide();
}

void TestMainWindow::multiTelChecksSndNke() {
    WindowFixture f;
    TForm1& w = f.start();
    w.SND_NKE_CheckBox->setChecked(false);
    QTest::mouseClick(w.MultiTel_CheckBox, Qt::LeftButton, {},
                      w.MultiTel_CheckBox->rect().center());
    QVERIFY(w.MultiTel_CheckBox->isChecked());
    QVERIFY(w.SND_NKE_CheckBox->isChecked());
    QTest::mouseClick(w.MultiTel_CheckBox, Qt::LeftButton, {},
                      w.MultiTel_CheckBox->rect().center());
    QVERIFY(!w.MultiTel_CheckBox->isChecked());
    QVERIFY(w.SND_NKE_CheckBox->isChecked()); // unchecking changes nothing else
}

void TestMainWindow::mdkRecordsRtsMode() {
    WindowFixture f;
    TForm1& w = f.start();
    QVERIFY(!w.link().RtsOffMode());
    QTest::mouseClick(w.MDK_CheckBox, Qt::LeftButton, {}, w.MDK_CheckBox->rect().center());
    QVERIFY(w.link().RtsOffMode());
    QVERIFY(!w.link().IsPortOpen()); // a closed port only records the mode
    QTest::mouseClick(w.MDK_CheckBox, Qt::LeftButton, {}, w.MDK_CheckBox->rect().center());
    QVERIFY(!w.link().RtsOffMode());
}

void TestMainWindow::exceptionGuard() {
    WindowFixture f;
    TForm1& w = f.start();
    w.ShowBusy(true);
    w.MBRead_Button->setEnabled(false);
    w.Guarded([] { throw std::runtime_error("Cannot open file x.csv"); });
    QCOMPARE(f.traceLines().last(), QString("Exception!"));
    QCOMPARE(f.prompter.asked.size(), std::size_t(1));
    QCOMPARE(f.prompter.asked[0].kind, QString("message"));
    QCOMPARE(f.prompter.asked[0].text, QString("Cannot open file x.csv"));
    QCOMPARE(w.Status_StaticText->text(), QString("szabad"));
    QCOMPARE(w.Shape1->color(), QColor(Qt::green));
    QVERIFY(w.MBRead_Button->isEnabled());
}

void TestMainWindow::stationDrivesLampAndBars() {
    WindowFixture f;
    TForm1& w = f.start();
    emit w.station().lampChanged(true);
    QCOMPARE(w.Status_StaticText->text(), QString("foglalt"));
    QCOMPARE(w.Shape1->color(), QColor(Qt::red));
    emit w.station().progressChanged(1, 40);
    emit w.station().progressChanged(2, 250);
    QCOMPARE(w.ProgressBar1->value(), 40);
    QCOMPARE(w.ProgressBar2->value(), 100);
    emit w.station().lampChanged(false);
    QCOMPARE(w.Status_StaticText->text(), QString("szabad"));
    QCOMPARE(w.Shape1->color(), QColor(Qt::green));
}

void TestMainWindow::textAreaFollowsTrace() {
    WindowFixture f;
    TForm1& w = f.start();
    for (int i = 0; i < 200; ++i) {
        w.trace().append(QString("line %1").arg(i));
    }
    QVERIFY(w.Memo1->isReadOnly());
    QCOMPARE(w.Memo1->maximumBlockCount(), int(w.trace().maxLines()));
    QCOMPARE(w.Memo1->document()->blockCount(), 200);
    QVERIFY(w.Memo1->toPlainText().endsWith("line 199"));
    QTest::mouseClick(w.CL_Button, Qt::LeftButton);
    QVERIFY(w.Memo1->toPlainText().isEmpty());
    QVERIFY(w.trace().lines().isEmpty());
}

void TestMainWindow::zoomAndModemWindows() {
    WindowFixture f;
    TForm1& w = f.start();
    QVERIFY(w.Form2() != nullptr && !w.Form2()->isVisible());
    QCOMPARE(w.Form2()->windowTitle(), QString("M-Bus data"));
    QCOMPARE(w.Form2()->Hide_Button->text(), QString("&Close"));
    QCOMPARE(w.Form2()->Hide_Button->toolTip(), QString("Close data list"));
    TForm4* m = w.Form4();
    QVERIFY(m != nullptr && !m->isVisible());
    QCOMPARE(m->windowTitle(), QString("Modem"));
    QCOMPARE(m->Conf_Edit->text(), QString("AT&FU1^M"));
    QCOMPARE(m->Moddial_Button->text(), QString("&Dial"));
    QCOMPARE(m->Modstat_StaticText->text(), QString("szabad"));
    QCOMPARE(m->Label1->text(), QString("&Modem configuration:"));
    QCOMPARE(m->Label2->text(), QString("&Phone number:"));
    QCOMPARE(m->Pulse_CheckBox->text(), QString("&Pulse dial"));
    QCOMPARE(m->Modclose_Button->toolTip(), QString("Close Modem window"));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
