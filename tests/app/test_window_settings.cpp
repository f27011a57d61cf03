// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_fixture.h"

#include "app/ini_file.h"
#include "app/modem_window.h"
#include "app/window_geometry.h"
#include "cli/command_help.h"
#include "link/mb_sio.h"
#include "link/virtual_clock.h"
#include "operations/station.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestWindowSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultsWithoutFile();
    void startFromFile_data();
    void startFromFile();
    void badNumbersReportedAndStartGoesOn();
    void closeWritesBackKeepingForeignLines();
    void closeOnWriteProtectedFile();
    void windowPlaceKept();
    void windowPlace_data();
    void windowPlace();
    void modemSettingsRoundTrip();
    void commandLineReachesControls();
    void simulateMapsEveryPort();
    void simulationFileThatCannotBeRead();
    void portsSectionReachesTheLink();
};

void TestWindowSettings::defaultsWithoutFile() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.MB1Port_ComboBox->currentText(), QString("COM1"));
    QCOMPARE(w.SB_ComboBox->currentText(), QString("2400"));
    QVERIFY(w.SND_NKE_CheckBox->isChecked());
    QCOMPARE(w.PI_MaskEdit->text(), QString("5"));
    QCOMPARE(w.CSVSeparator_MaskEdit->text(), QString(","));
    QVERIFY(w.Form4() != nullptr && !w.Form4()->isVisible());
    QCOMPARE(w.Form4()->Conf_Edit->text(), QString("AT&FU1^M"));
    QVERIFY(f.traceLines().isEmpty());
    QVERIFY(!w.FirstStart_Label->isHidden());
    QVERIFY(w.FirstStart_Label->text().startsWith("To begin: search the bus"));
    w.About1->trigger();
    QCOMPARE(f.prompter.asked.back().caption, QString("About Quorven"));
    for (const QString& part : {"Quorven " + ProgramVersion(),
                                QString("Licence: GNU General Public License, version 3 or later"),
                                f.path("quorven.ini"), f.path("slist.csv")}) {
        QVERIFY2(f.prompter.asked.back().text.contains(part), qPrintable(part));
    }
    w.station().Appendslave1Click();
    QVERIFY(w.FirstStart_Label->isHidden()); // there is something to work on
    w.close();
    // The file is created at the first close.
    const IniFile ini = IniFile::load(f.path("quorven.ini"));
    QCOMPARE(*ini.value(u"Data", u"MB1Port"), QString("COM1"));
    QCOMPARE(*ini.value(u"Data", u"READMODE"), QString("SND_NKE"));
}

void TestWindowSettings::startFromFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<bool>("multiTel");
    QTest::addColumn<QString>("cycle");
    QTest::newRow("lower-case multitel with empty readmode checks SND_NKE")
        << QByteArray("[Data]\nREADMODE=\nTELMODE=multitel\n") << 0 << true << "5";
    QTest::newRow("COM0 selects no port")
        << QByteArray("[Data]\nMB1Port=COM0\n") << -1 << false << "5";
    QTest::newRow("COM12") << QByteArray("[data]\nmb1port=COM12\n") << 11 << false << "5";
    QTest::newRow("cycle time with a leading space shown unchanged")
        << QByteArray("[Data]\nTIMEINTERVAL= 10\n") << 0 << false << " 10";
}

void TestWindowSettings::startFromFile() {
    QFETCH(QByteArray, file);
    WindowFixture f;
    f.writeFile("quorven.ini", file);
    TForm1& w = f.start();
    QTEST(w.MB1Port_ComboBox->currentIndex(), "portIndex");
    QVERIFY(w.SND_NKE_CheckBox->isChecked());
    QTEST(w.MultiTel_CheckBox->isChecked(), "multiTel");
    QTEST(w.PI_MaskEdit->text(), "cycle");
    w.close();
    QFETCH(QString, cycle);
    const IniFile ini = IniFile::load(f.path("quorven.ini"));
    QCOMPARE(*ini.value(u"Data", u"TIMEINTERVAL"), cycle.trimmed()); // spaces removed
}

void TestWindowSettings::badNumbersReportedAndStartGoesOn() {
    WindowFixture f;
    f.writeFile("quorven.ini",
                "[Data]\nSTXRETRIES=x\nTIMEOUT=20\nTIMEINTERVAL=30\nIDSMODE=enhanced\nRTSMODE=mdk\n"
                "CSVSEPARATOR=abc\n");
    TForm1& w = f.start();
    QCOMPARE(f.traceLines(),
             QStringList({"Bad value \"x\" for STXRETRIES in settings file, default 5 used",
                          "Additional timeout 20 ms",
                          "Bad value \"abc\" for CSVSEPARATOR in settings file: \"a\" cannot "
                          "separate cells, \",\" used"}));
    QCOMPARE(w.CSVSeparator_MaskEdit->text(), QString(","));
    QCOMPARE(w.PI_MaskEdit->text(), QString("30"));
    QVERIFY(w.IDS_CheckBox->isChecked());
    QVERIFY(w.MDK_CheckBox->isChecked());
    QVERIFY(w.link().RtsOffMode());
    QCOMPARE(int(w.link().StxRetryCount()), 5);
    QCOMPARE(int(w.link().AdditionalTimeoutMs()), 20);
    QVERIFY(f.prompter.asked.empty());
}

void TestWindowSettings::closeWritesBackKeepingForeignLines() {
    WindowFixture f;
    f.writeFile("quorven.ini", "; site B\r\n[Data]\r\nSTXRETRIES=7\r\nMB1Port=COM2\r\nX=1\r\n"
                               "\r\n[Ports]\r\nCOM2=/dev/ttyUSB0\r\n");
    TForm1& w = f.start();
    w.MB1Port_ComboBox->setCurrentIndex(4);
    w.AppRes_CheckBox->setChecked(true);
    w.CSVSeparator_MaskEdit->setText(";");
    w.close();
    const QByteArray after = f.readFile("quorven.ini");
    QVERIFY(after.startsWith("; site B\r\n[Data]\r\nSTXRETRIES=7\r\nMB1Port=COM5\r\nX=1\r\n"));
    QVERIFY(after.contains("\r\nRESETMODE=APPRES\r\n"));
    QVERIFY(after.contains("\r\nCSVSEPARATOR=;\r\n\r\n[Ports]\r\nCOM2=/dev/ttyUSB0\r\n"));
}

void TestWindowSettings::closeOnWriteProtectedFile() {
    WindowFixture f;
    const QByteArray before = "[Data]\nMB1Port=COM2\n";
    f.writeFile("quorven.ini", before);
    QFile::setPermissions(f.path("quorven.ini"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    TForm1& w = f.start();
    w.MB1Port_ComboBox->setCurrentIndex(6);
    w.close();
    QCOMPARE(f.prompter.asked.size(), std::size_t(1));
    QCOMPARE(f.prompter.asked[0].text, QString("Ini-file is write-protected!"));
    QCOMPARE(f.prompter.asked[0].caption, QString("Write error"));
    QCOMPARE(f.readFile("quorven.ini"), before);
}

// Size, place and splitter come back from section "Window"; growing, the
// window gives its room to the data table.
void TestWindowSettings::windowPlaceKept() {
    WindowFixture f;
    f.writeFile("quorven.ini", "[Data]\nMB1Port=COM2\n[Window]\nLeft=20\nTop=30\nWidth=600\n"
                               "Height=560\nSplitter=260,150,90\n");
    TForm1& w = f.start();
    QCOMPARE(w.geometry(), QRect(20, 30, 600, 560));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QList<int> before = w.Splitter1->sizes();
    QCOMPARE(before[0], 260);
    w.resize(w.width(), 590);
    QTRY_VERIFY(w.Splitter1->sizes() != before);
    const QList<int> after = w.Splitter1->sizes();
    QCOMPARE(after[0], before[0]);
    QCOMPARE(after[2], before[2]);
    w.close();
    const IniFile ini = IniFile::load(f.path("quorven.ini"));
    QCOMPARE(*ini.value(u"Window", u"Height"), QString("590"));
    QCOMPARE(*ini.value(u"Window", u"Splitter"),
             QString("%1,%2,%3").arg(after[0]).arg(after[1]).arg(after[2]));
    QCOMPARE(*ini.value(u"Data", u"MB1Port"), QString("COM2"));
}

void TestWindowSettings::windowPlace_data() {
    QTest::addColumn<QRect>("kept");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("placed");
    const QRect laptop(0, 0, 1366, 728);
    QTest::newRow("first start on a laptop: all columns, centred")
        << QRect() << laptop << QRect(13, 24, 1340, 680);
    QTest::newRow("smaller screen: the window fits")
        << QRect() << QRect(0, 0, 1024, 600) << QRect(8, 24, 1008, 552);
    QTest::newRow("kept place on the screen")
        << QRect(100, 50, 900, 600) << laptop << QRect(100, 50, 900, 600);
    QTest::newRow("kept place on a screen gone: centred")
        << QRect(2000, 50, 900, 600) << laptop << QRect(233, 64, 900, 600);
    QTest::newRow("kept size too small for anything")
        << QRect(10, 10, 50, 50) << laptop << QRect(10, 10, 480, 360);
}

void TestWindowSettings::windowPlace() {
    QFETCH(QRect, kept);
    QFETCH(QRect, screen);
    QTEST(PlaceWindow(kept, screen, QSize(1340, 680)), "placed");
}

void TestWindowSettings::modemSettingsRoundTrip() {
    WindowFixture f;
    f.writeFile("quorven.ini", "[Data]\nTelini=ATZ^M\nTelnr=0612345\nTelpuls=1\n");
    TForm1& w = f.start();
    QCOMPARE(w.Form4()->Conf_Edit->text(), QString("ATZ^M"));
    QCOMPARE(w.Form4()->Dial_Edit->text(), QString("0612345"));
    QVERIFY(w.Form4()->Pulse_CheckBox->isChecked());
    w.Form4()->Pulse_CheckBox->setChecked(false);
    w.Form4()->Dial_Edit->setText("999");
    w.close();
    const IniFile ini = IniFile::load(f.path("quorven.ini"));
    QCOMPARE(*ini.value(u"Data", u"Telpuls"), QString("0"));
    QCOMPARE(*ini.value(u"Data", u"Telnr"), QString("999"));
    QCOMPARE(*ini.value(u"Data", u"Telini"), QString("ATZ^M"));
}

void TestWindowSettings::commandLineReachesControls() {
    WindowFixture f;
    // In order: /U checks SND_NKE again after /NN.
    TForm1& w =
        f.start({"/c:3", "/b:300", "/T:0612", "/K:ATX^M", "/W", "/I:60", "/NP", "/NN", "/U"});
    w.station().Timer_GlobalTimer();
    QVERIFY(w.commandLineValid());
    QCOMPARE(w.MB1Port_ComboBox->currentText(), QString("COM3"));
    QCOMPARE(w.SB_ComboBox->currentText(), QString("300"));
    QCOMPARE(w.Form4()->Dial_Edit->text(), QString("0612"));
    QCOMPARE(w.Form4()->Conf_Edit->text(), QString("ATX^M"));
    QVERIFY(w.Form4()->Pulse_CheckBox->isChecked());
    QCOMPARE(w.PI_MaskEdit->text(), QString("60"));
    QVERIFY(w.NP_CheckBox->isChecked());
    QVERIFY(w.MultiTel_CheckBox->isChecked());
    QVERIFY(w.SND_NKE_CheckBox->isChecked());
}

void TestWindowSettings::simulateMapsEveryPort() {
    VirtualClock clock;
    WindowFixture f;
    TForm1& w = f.start({}, &clock, [](StartupConfig& c) { c.simulate = true; });
    QVERIFY(f.traceLines().contains("Simulated bus: the demonstration bus"));
    TMB_Sio& link = w.link();
    link.SetPort("COM77");
    QVERIFY(link.IsPortOpen());
    // Meter 1 of the demonstration bus answers on any port.
    QCOMPARE(int(link.ReqUD2(1)), 0);
    QVERIFY(link.RxLength() > 20);
    link.ClosePort();
}

void TestWindowSettings::simulationFileThatCannotBeRead() {
    VirtualClock clock;
    WindowFixture f;
    f.writeFile("bus.json", "{\"meters\": [{\"adress\": 1}]}");
    TForm1& w = f.start({}, &clock, [&](StartupConfig& c) {
        c.simulate = true;
        c.simulationFile = f.path("bus.json");
    });
    QVERIFY(f.traceLines().size() == 1);
    QVERIFY2(f.traceLines().first().startsWith(f.path("bus.json")),
             qPrintable(f.traceLines().first()));
    // A port on the missing bus cannot be opened: the guard reports it.
    w.Guarded([&] { w.link().SetPort("COM2"); });
    QCOMPARE(f.traceLines().last(), QString("Exception!"));
    QVERIFY(!w.link().IsPortOpen());
}

void TestWindowSettings::portsSectionReachesTheLink() {
    VirtualClock clock;
    WindowFixture f;
    f.writeFile("quorven.ini", "[Ports]\nCOM4=sim\nCOM9=relative/path\nCOM7=tcp://gw:1?baud=300\n");
    TForm1& w = f.start({}, &clock);
    QCOMPARE(f.traceLines(),
             QStringList({"Simulated bus: the demonstration bus",
                          "Ports: \"COM9=relative/path\" in settings file ignored"}));
    // Each entry names where it leads; those that lead somewhere now are bold.
    const std::vector<std::tuple<int, QString, bool>> entries{
        {7, "tcp://gw:1?baud=300: TCP gateway, bus at 300 baud", true},
        {9, "/dev/ttyS8: not present", false}};
    for (const auto& [port, toolTip, bold] : entries) {
        QCOMPARE(w.MB1Port_ComboBox->itemData(port - 1, Qt::ToolTipRole).toString(), toolTip);
        QCOMPARE(w.MB1Port_ComboBox->itemData(port - 1, Qt::FontRole).value<QFont>().bold(), bold);
    }
    w.link().SetPort("COM4");
    QVERIFY(w.link().IsPortOpen());
    QCOMPARE(int(w.link().ReqUD2(2)), 0);
    w.link().ClosePort();
}

QTEST_MAIN(TestWindowSettings)
#include "test_window_settings.moc"
