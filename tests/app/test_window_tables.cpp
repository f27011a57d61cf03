// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf_text.h"
#include "window_fixture.h"

#include "app/grid_view.h"
#include "app/zoom_window.h"
#include "link/clock.h"
#include "operations/station.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

const QByteArray kHeader = "Beép.hely,Mbus cím,Gy.sz.,Baud,Gyártó,Változat,Közeg,adatcsomag,"
                           "COM port\r\n";

QString WaterMeter() {
    return QStringLiteral(QUORVEN_SOURCE_DIR "/examples/telegrams/water-meter.hex");
}

// Prints through the window's button into a PDF file instead of a printer.
QString PrintedText(TForm1& w, QPushButton* button, const QString& pdf) {
    w.printerSetup = [pdf](QPrinter& printer, const std::function<void(bool)>& done) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        done(true);
    };
    QTest::mouseClick(button, Qt::LeftButton);
    return PdfText(pdf);
}

} // namespace

class TestWindowTables : public QObject {
    Q_OBJECT
private slots:
    void slaveListRestoredAndSaved();
    void unreadableSlaveListPutAside();
    void failedSlaveSaveStillWritesSettings();
    void garbledListKeepsPreviousFile();
    void menuRowOperations();
    void duplicatesRemoved();
    void editingHooks();
    void baudDropDownInTheView();
    void saveAndLoadThroughDialogs();
    void loadFailureShownByGuard();
    void importShowsRows();
    void importAtStart();
    void printToPdf();
    void zoomShowsDataTable();
    void separatorFollowsField();
};

void TestWindowTables::slaveListRestoredAndSaved() {
    WindowFixture f;
    f.writeFile("quorven.ini", "[Data]\nMB1Port=COM4\n");
    f.writeFile("slist.csv", "Place,Addr,Id,Baud,Man,Ver,Med,Sel,Port\r\n"
                             "Hall,1,12345678,2400,KAM,8,Heat,\"\",COM2\r\n"
                             "Roof,2,00000042,300,ACW,20,Water,1,\r\n");
    TForm1& w = f.start();
    const GridModel& list = w.station().tables().slaveList();
    QCOMPARE(list.RowCount(), 3);
    QCOMPARE(w.ZAnz_StaticText->text(), QString("2"));
    QCOMPARE(list.Cell(0, 0), QString("Beép.hely")); // the program's own headers
    QCOMPARE(list.Cell(8, 1), QString("COM2"));
    QCOMPARE(list.Cell(8, 2), QString("COM4")); // an empty port gets the selected one
    QVERIFY(w.FirstStart_Label->isHidden());    // no hint how to begin
    // Columns sized to their widest text plus 20 pixels.
    const QFontMetrics fm(w.AdvStringGrid1->font());
    QVERIFY(w.AdvStringGrid1->columnWidth(2) >= fm.horizontalAdvance("12345678") + 20);
    w.close();
    QCOMPARE(f.readFile("slist.csv"), kHeader + "Hall,1,12345678,2400,KAM,8,Heat,\"\",COM2\r\n"
                                                "Roof,2,00000042,300,ACW,20,Water,1,COM4\r\n");
}

void TestWindowTables::unreadableSlaveListPutAside() {
    WindowFixture f;
    const QByteArray binary("Place,Addr\r\n\0\0\0\x01\x02", 17);
    f.writeFile("slist.csv", binary);
    TForm1& w = f.start();
    QCOMPARE(w.station().tables().slaveList().RowCount(), 1);
    QVERIFY(f.traceLines().contains("The slave list was kept as " + f.path("slist.csv.bad")));
    w.close();
    QCOMPARE(f.readFile("slist.csv.bad"), binary); // not lost
    QCOMPARE(f.readFile("slist.csv"), kHeader);
}

void TestWindowTables::failedSlaveSaveStillWritesSettings() {
    WindowFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir("slist.csv")); // a folder cannot be replaced by a file
    TForm1& w = f.start();
    w.MB1Port_ComboBox->setCurrentIndex(8);
    w.close();
    QCOMPARE(f.prompter.asked.size(), std::size_t(1));
    QVERIFY(f.prompter.asked[0].text.startsWith("Cannot Create file "));
    QVERIFY(f.readFile("quorven.ini").contains("MB1Port=COM9"));
}

// A list read with a wrong separator goes back garbled at close; the file
// it replaces is kept as slist.csv.bak, and a second start and close do not
// overwrite that copy. Without its copy the file is not replaced.
void TestWindowTables::garbledListKeepsPreviousFile() {
    const QByteArray good = "Place;Addr\r\nHall;1\r\n";
    WindowFixture f;
    f.writeFile("slist.csv", good);
    for (int start = 1; start <= 2; ++start) {
        f.start().close();
        QCOMPARE(f.readFile("slist.csv.bak"), good);
    }
    QVERIFY(f.readFile("slist.csv").startsWith(kHeader + "Hall;1,"));

    WindowFixture g;
    g.writeFile("slist.csv", good);
    QVERIFY(QDir(g.dir.path()).mkdir("slist.csv.bak"));
    g.start().close();
    QCOMPARE(g.readFile("slist.csv"), good);
    QVERIFY(
        g.prompter.asked.back().text.startsWith("Cannot Create file " + g.path("slist.csv.bak")));
}

void TestWindowTables::menuRowOperations() {
    WindowFixture f;
    TForm1& w = f.start();
    w.MB1Port_ComboBox->setCurrentIndex(6);
    const GridModel& list = w.station().tables().slaveList();
    w.Insertslave1->trigger(); // no current row: appends
    w.Appendslave1->trigger();
    QCOMPARE(list.RowCount(), 3);
    QCOMPARE(w.ZAnz_StaticText->text(), QString("2"));
    QCOMPARE(list.Cell(8, 2), QString("COM7")); // the port selected in the box
    w.station().tables().slaveList().SetCell(0, 1, "first");
    w.station().tables().slaveList().SetCell(0, 2, "second");
    w.AdvStringGrid1->setCurrentIndex(list.index(1, 0)); // table row 2
    w.Insertslave1->trigger();
    QCOMPARE(list.Cell(0, 1), QString("first"));
    QCOMPARE(list.Cell(0, 2), QString("")); // the new row takes the current row's place
    QCOMPARE(list.Cell(0, 3), QString("second"));
    w.AdvStringGrid1->setCurrentIndex(list.index(0, 0));
    w.Deleteslave1->trigger();
    QCOMPARE(list.Cell(0, 1), QString(""));
    QCOMPARE(w.ZAnz_StaticText->text(), QString("2"));
    w.Clearlist2->trigger(); // "listát töröl"
    QCOMPARE(list.RowCount(), 1);
    QCOMPARE(w.ZAnz_StaticText->text(), QString("0"));
}

void TestWindowTables::duplicatesRemoved() {
    WindowFixture f;
    f.writeFile("slist.csv", kHeader + "a,5,1234,2400,,,,,COM1\r\n"
                                       "b,05,00001234,9600,,,,,COM1\r\n"
                                       "c,6,1234,2400,,,,,COM1\r\n");
    TForm1& w = f.start();
    QTest::mouseClick(w.DD_Button, Qt::LeftButton);
    const GridModel& list = w.station().tables().slaveList();
    QCOMPARE(list.RowCount(), 3);
    QCOMPARE(list.Cell(0, 2), QString("c"));
    QCOMPARE(w.ZAnz_StaticText->text(), QString("2"));
    QCOMPARE(f.traceLines().last(), QString("PAdr:5   ID:00001234 9600 Baud deleted!"));
}

// The hooks follow the slave list's column table into the view: version and
// medium are not editable, the address takes three digits; the data table
// is not editable at all.
void TestWindowTables::editingHooks() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.AdvStringGrid1GetEditMask(1), QString("!999;0; "));
    w.Appendslave1->trigger();
    const GridModel& list = w.station().tables().slaveList();
    QVERIFY(list.flags(list.index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(!(list.flags(list.index(0, 5)) & Qt::ItemIsEditable));
    QVERIFY(!w.AdvStringGrid1CanEditCell(6));
    const GridModel& data = w.station().tables().dataTable();
    QVERIFY(!(data.flags(data.index(0, 0)) & Qt::ItemIsEditable));
}

void TestWindowTables::baudDropDownInTheView() {
    WindowFixture f;
    TForm1& w = f.start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Appendslave1->trigger();
    const QModelIndex baud = w.station().tables().slaveList().index(0, 3);
    w.AdvStringGrid1->setCurrentIndex(baud);
    w.AdvStringGrid1->edit(baud);
    auto* box = w.AdvStringGrid1->viewport()->findChild<QComboBox*>();
    QVERIFY(box != nullptr);
    QCOMPARE(box->currentText(), QString("2400"));
    box->setCurrentIndex(2);
    QTest::keyClick(box, Qt::Key_Return); // the view commits the choice from its event queue
    QTRY_COMPARE(w.station().tables().slaveList().Cell(3, 1), QString("9600"));
    w.hide();
}

void TestWindowTables::saveAndLoadThroughDialogs() {
    WindowFixture f;
    TForm1& w = f.start();
    w.Appendslave1->trigger();
    w.station().tables().slaveList().SetCell(0, 1, "Kazán; \"A\"");
    f.prompter.fileNames = {f.path("list")}; // no extension: ".csv" appended
    QTest::mouseClick(w.Save1_Button, Qt::LeftButton);
    QCOMPARE(f.prompter.asked.back().kind, QString("save"));
    QCOMPARE(f.prompter.asked.back().text, QString("adatcsomag"));
    QVERIFY(f.readFile("list.csv").contains("\"Kazán; \"\"A\"\"\""));

    w.Clearlist2->trigger();
    f.prompter.fileNames = {f.path("list.csv")};
    QTest::mouseClick(w.Load1_Button, Qt::LeftButton);
    QCOMPARE(f.prompter.asked.back().kind, QString("open"));
    QCOMPARE(w.station().tables().slaveList().Cell(0, 1), QString("Kazán; \"A\""));
    QCOMPARE(w.ZAnz_StaticText->text(), QString("1"));

    // The data table: saved with its header row, loaded back.
    f.prompter.fileNames = {f.path("data.txt")}; // an extension is kept
    QTest::mouseClick(w.Save2_Button, Qt::LeftButton);
    QVERIFY(f.readFile("data.txt").startsWith("Beép.hely,dátum,időpont,"));
    f.prompter.fileNames = {}; // cancelled: nothing happens
    QTest::mouseClick(w.Load2_Button, Qt::LeftButton);
    QCOMPARE(w.station().tables().dataTable().RowCount(), 1);
}

void TestWindowTables::loadFailureShownByGuard() {
    WindowFixture f;
    TForm1& w = f.start();
    f.prompter.fileNames = {f.path("missing.csv")};
    QTest::mouseClick(w.Load2_Button, Qt::LeftButton);
    QCOMPARE(f.traceLines().last(), QString("Exception!"));
    QCOMPARE(f.prompter.asked.back().text,
             "Cannot open file " + f.path("missing.csv") + ": No such file or directory");
    QCOMPARE(w.Status_StaticText->text(), QString("szabad"));
}

void TestWindowTables::importShowsRows() {
    WindowFixture f;
    TForm1& w = f.start();
    f.prompter.fileNames = {WaterMeter()};
    QTest::mouseClick(w.Import_Button, Qt::LeftButton);
    const GridModel& data = w.station().tables().dataTable();
    QVERIFY(data.RowCount() > 5);
    QCOMPARE(data.Cell(0, 1), QString("Beép.hely"));
    QCOMPARE(data.Cell(4, 1), QString("04990254"));
    QVERIFY(w.Memo1->toPlainText().contains("68 51 51 68 08 0B 72 54 02 99 04 C5 14 00 "));
    // Sized, and the last row is in view.
    const QFontMetrics fm(w.AdvStringGrid2->font());
    QVERIFY(w.AdvStringGrid2->columnWidth(4) >= fm.horizontalAdvance("04990254") + 20);
}

void TestWindowTables::importAtStart() {
    WindowFixture f;
    TForm1& w = f.start({}, nullptr, [](StartupConfig& c) { c.importFile = WaterMeter(); });
    QCOMPARE(w.station().tables().dataTable().RowCount(), 1);
    w.show(); // the import runs once the window shows
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(w.station().tables().dataTable().RowCount() > 5);
    const int rows = w.station().tables().dataTable().RowCount();
    w.hide();
    w.show(); // not again
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(50);
    QCOMPARE(w.station().tables().dataTable().RowCount(), rows);
    w.hide();
}

void TestWindowTables::printToPdf() {
    if (!HavePdfText()) {
        QSKIP("pdftotext (poppler-utils) is not installed");
    }
    WindowFixture f;
    TForm1& w = f.start();
    f.prompter.fileNames = {WaterMeter()};
    QTest::mouseClick(w.Import_Button, Qt::LeftButton);
    const QString data = PrintedText(w, w.Print2_Button, f.path("data.pdf"));
    QVERIFY2(data.contains("Meter data"), qPrintable(data));
    QVERIFY(data.contains("04990254"));
    QVERIFY(data.contains("állapot szám"));
    w.Appendslave1->trigger();
    const QString list = PrintedText(w, w.Print1_Button, f.path("slaves.pdf"));
    QVERIFY(list.contains("Slavelist"));
    QVERIFY(list.contains("00000000"));
}

void TestWindowTables::zoomShowsDataTable() {
    WindowFixture f;
    TForm1& w = f.start();
    f.prompter.fileNames = {WaterMeter()};
    QTest::mouseClick(w.Import_Button, Qt::LeftButton);
    QTest::mouseClick(w.Zoom_Button, Qt::LeftButton);
    QVERIFY(w.Form2()->isVisible());
    QVERIFY(w.station().runState().zoomOpen);
    // The same rows, no copy; the widths are the zoom view's own.
    QCOMPARE(w.Form2()->AdvStringGrid3->model(), &w.station().tables().dataTable());
    w.Form2()->AdvStringGrid3->setColumnWidth(7, 333);
    QVERIFY(w.AdvStringGrid2->columnWidth(7) != 333);
    // Its own Close button ends the zoom-open state; the frame only hides it.
    QTest::mouseClick(w.Form2()->Hide_Button, Qt::LeftButton);
    QVERIFY(!w.Form2()->isVisible());
    QVERIFY(!w.station().runState().zoomOpen);
}

void TestWindowTables::separatorFollowsField() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.station().options().separator, QChar(','));
    w.CSVSeparator_MaskEdit->clear();
    QTest::keyClicks(w.CSVSeparator_MaskEdit, ";");
    QCOMPARE(w.station().options().separator, QChar(';'));
    w.CSVSeparator_MaskEdit->clear();
    QTest::keyClicks(w.CSVSeparator_MaskEdit, "x"); // a letter cannot separate
    QCOMPARE(w.station().options().separator, QChar(','));
    QCOMPARE(w.CSVSeparator_MaskEdit->text(), QString(","));
    QCOMPARE(w.StatusBar1->currentMessage(), QString("\"x\" cannot separate cells: \",\" is used"));
    w.CSVSeparator_MaskEdit->setText(";");
    w.close();
    QVERIFY(f.readFile("slist.csv").startsWith("Beép.hely;Mbus cím;"));
}

QTEST_MAIN(TestWindowTables)
#include "test_window_tables.moc"
