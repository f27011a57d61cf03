// The table handlers of the station: files chosen through the prompter, the
// separator option, duplicates reported in the trace.
#include "operations/station.h"
#include "tables/file_error.h"
#include "tables/table_layouts.h"

#include "common/scripted_prompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using quorven::testing::ScriptedPrompter;

class TestStationTables : public QObject {
    Q_OBJECT
private slots:
    void separatorField_data();
    void separatorField();
    void saveAndLoadThroughDialogs();
    void cancelledDialogsDoNothing();
    void failedLoadThrowsAndKeepsList();
    void duplicatesGoToTrace();
};

void TestStationTables::separatorField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("semicolon") << ";" << QChar(u';');
    QTest::newRow("emptied field") << "" << QChar(u',');
    QTest::newRow("quote refused") << "\"" << QChar(u',');
}

void TestStationTables::separatorField() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    ScriptedPrompter prompter;
    Station station(prompter);
    station.CSVSeparator_MaskEditChange("|");
    station.CSVSeparator_MaskEditChange(text);
    QCOMPARE(station.options().separator, separator);
}

void TestStationTables::saveAndLoadThroughDialogs() {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    prompter.fileNames = {dir.filePath("list"), dir.filePath("list.csv")};
    Station station(prompter);
    station.CSVSeparator_MaskEditChange(";");
    station.options().MB1Port_ComboBox = "COM4";
    station.Appendslave1Click();
    station.tables().slaveList().SetCell(kSlavePlace, 1, "Kazán; hátul");
    station.tables().slaveList().SetCell(kSlavePort, 1, "");
    station.Save1_ButtonClick();
    QCOMPARE(prompter.asked.at(0).kind, QString("save"));
    QCOMPARE(prompter.asked.at(0).text, QString("adatcsomag"));
    QVERIFY(QFile::exists(dir.filePath("list.csv")));

    station.Clearlist1Click();
    QCOMPARE(station.tables().SlaveCount(), 0);
    station.options().MB1Port_ComboBox = "COM9";
    station.Load1_ButtonClick();
    QCOMPARE(station.tables().SlaveCount(), 1);
    QCOMPARE(station.tables().slaveList().Cell(kSlavePlace, 1), QString("Kazán; hátul"));
    QCOMPARE(station.tables().slaveList().Cell(kSlavePort, 1), QString("COM9"));
}

void TestStationTables::cancelledDialogsDoNothing() {
    ScriptedPrompter prompter;
    Station station(prompter);
    station.Save1_ButtonClick();
    station.Save2_ButtonClick();
    station.Load1_ButtonClick();
    station.Load2_ButtonClick();
    QCOMPARE(prompter.asked.size(), std::size_t{4});
    QCOMPARE(station.tables().slaveList().Cell(0, 0), QString("Beép.hely"));
}

// A slave list that cannot be loaded stays as it was, so the list saved at
// shutdown still holds the meters.
void TestStationTables::failedLoadThrowsAndKeepsList() {
    ScriptedPrompter prompter;
    prompter.fileNames = {"/nonexistent/slist.csv"};
    Station station(prompter);
    station.Appendslave1Click();
    try {
        station.Load1_ButtonClick();
        QFAIL("no error");
    } catch (const FileError& e) {
        QCOMPARE(e.message(), QString("Cannot open file /nonexistent/slist.csv"));
        QCOMPARE(QString(e.what()), e.message());
    }
    QCOMPARE(station.tables().SlaveCount(), 1);
    QVERIFY(!station.operationRunning());
}

void TestStationTables::duplicatesGoToTrace() {
    ScriptedPrompter prompter;
    Station station(prompter);
    station.Appendslave1Click();
    station.Appendslave1Click();
    station.tables().slaveList().SetCell(kSlaveBaud, 2, "300");
    station.DD_ButtonClick();
    QCOMPARE(station.trace().lines(), QStringList{"PAdr:0   ID:00000000 300 Baud deleted!"});
    QCOMPARE(station.tables().SlaveCount(), 1);
}

QTEST_GUILESS_MAIN(TestStationTables)
#include "test_station_tables.moc"
