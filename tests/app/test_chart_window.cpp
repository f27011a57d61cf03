// SPDX-License-Identifier: GPL-3.0-or-later
// The chart window: it follows the data table while logging runs, charts a
// log file, zooms and reduces again, tells the values under the cursor, and
// exports a picture and a PDF whose texts stay text.
#include "app/chart_view.h"
#include "app/chart_window.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "pdf_text.h"
#include "window_fixture.h"

#include <QChart>
#include <QCheckBox>
#include <QDateTimeAxis>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace quorven;
using quorven::testing::WindowFixture;

namespace {

const QByteArray kLogHeader =
    "Beép.hely;dátum;időpont;Mbus cím;ID-no.;Gyártó;Szám;érték;egység;leírás;tipus;modul;"
    "állapot szám;tarifa\r\n";

QLineSeries* Line(ChartView* view, int i) {
    return qobject_cast<QLineSeries*>(view->chart()->series().at(i));
}

QDateTimeAxis* TimeAxis(ChartView* view) {
    return qobject_cast<QDateTimeAxis*>(view->chart()->axes(Qt::Horizontal).front());
}

} // namespace

class TestChartWindow : public QObject {
    Q_OBJECT
private slots:
    void followsLogging_data();
    void followsLogging();
    void logFileCharts();
    void unreadableLogFileIsReported();
    void manyMetersStayUsable();
    void zoomReducesAgain();
    void exportsPictureAndPdf();
};

void TestChartWindow::followsLogging_data() {
    QTest::addColumn<bool>("logFile");
    QTest::newRow("rows added below") << false;
    QTest::newRow("rows written anew, log file") << true;
}

void TestChartWindow::followsLogging() {
    QFETCH(bool, logFile);
    VirtualClock clock;
    WindowFixture f;
    TForm1& w = f.startOneMeter(clock);
    w.PI_MaskEdit->setText("10");
    w.LogFile_CheckBox->setChecked(logFile);
    f.prompter.fileNames = {f.path("log.csv")};

    w.Chart_ButtonClick();
    ChartWindow* chart = w.Chart();
    QVERIFY(chart != nullptr && chart->isVisible());
    QCOMPARE(chart->data().series().size(), std::size_t{0});

    w.Log_ButtonClick();
    QCoreApplication::processEvents();
    QCOMPARE(chart->data().series().size(), std::size_t{25});
    QCOMPARE(chart->data().series().front().points.size(), std::size_t{1});
    // The first record with a unit is picked: one chart, one line.
    QCOMPARE(chart->views().size(), std::size_t{1});
    QCOMPARE(Line(chart->views().front(), 0)->name(),
             QString("Hőközpont 06855817: 2 energy [kWh]"));

    for (int cycle = 2; cycle <= 3; ++cycle) {
        clock.advanceBy(11000);
        QCoreApplication::processEvents();
        for (const ChartSeries& s : chart->data().series()) {
            QCOMPARE(s.points.size(), std::size_t(cycle));
        }
    }
    QCOMPARE(Line(chart->views().front(), 0)->count(), 3);
    QCOMPARE(chart->Skipped_Label->text(), QString("9 rows without a number were skipped"));
    w.SStop_ButtonClick();
    clock.advanceBy(2000);
}

void TestChartWindow::logFileCharts() {
    WindowFixture f;
    f.writeFile("log.csv",
                kLogHeader + "Hall;31.01.25;23:50:00;1;12345678;KAM;2;100;kWh;energy;;0;0;0\r\n"
                             "Hall;31.01.25;23:50:00;1;12345678;KAM;3;  1.5;m^3;volume;;0;0;0\r\n"
                             "Hall;31.01.25;23:50:00;1;12345678;KAM;4;70.5;°C;flow temp.;;0;0;0\r\n"
                             "Hall;31.01.25;23:50:00;1;12345678;KAM;5;$00;;M-Bus state;;;;\r\n"
                             "Roof;31.01.25;23:50:01;2;87654321;ACW;;Error;;;;;;\r\n"
                             "Hall;01.02.25;00:00:00;1;12345678;KAM;2;110;kWh;energy;;0;0;0\r\n"
                             "Hall;01.02.25;00:00:00;1;12345678;KAM;3;1.75;m^3;volume;;0;0;0\r\n"
                             "Hall;01.02.25;00:00:00;1;12345678;KAM;4;71;°C;flow temp.;;0;0;0\r\n");
    TForm1& w = f.start();
    w.CSVSeparator_MaskEdit->setText(";");
    ChartWindow* chart = w.ChartFile(f.path("log.csv"));
    QVERIFY(chart->isVisible());
    QCOMPARE(chart->Meters_ListBox->count(), 1);
    QCOMPARE(chart->Meters_ListBox->item(0)->text(), QString("Hall 12345678"));
    QCOMPARE(chart->Records_ListBox->count(), 3);
    QCOMPARE(chart->Records_ListBox->item(2)->text(), QString("4 flow temp. [°C]"));
    QCOMPARE(chart->Skipped_Label->text(), QString("2 rows without a number were skipped"));

    // Three units: two on the first chart, one on a second.
    chart->Pick({-1}, {-1});
    QCOMPARE(chart->views().size(), std::size_t{2});
    QChart* first = chart->views()[0]->chart();
    QCOMPARE(first->series().size(), 2);
    const auto left = first->axes(Qt::Vertical);
    QCOMPARE(left.size(), 2);
    QCOMPARE(left[0]->titleText(), QString("kWh"));
    QCOMPARE(left[1]->titleText(), QString("m^3"));
    QCOMPARE(first->axes(Qt::Vertical, first->series()[1]).front()->alignment(), Qt::AlignRight);
    QCOMPARE(Line(chart->views()[1], 0)->name(), QString("Hall 12345678: 4 flow temp. [°C]"));
    QCOMPARE(Line(chart->views()[0], 1)->at(1).y(), 1.75);

    // The cursor tells the time and the value of each axis under it.
    chart->resize(900, 700);
    QVERIFY(QTest::qWaitForWindowExposed(chart));
    QTest::qWait(50); // the charts' layout
    const QRectF plot = first->plotArea();
    const QString text = CursorText(*first, plot.center());
    QVERIFY2(text.startsWith("31.01.25 23:5") && text.contains(" kWh") && text.contains(" m^3"),
             qPrintable(text));
    QCOMPARE(CursorText(*first, plot.topLeft() - QPointF(5, 5)), QString());
}

void TestChartWindow::unreadableLogFileIsReported() {
    WindowFixture f;
    TForm1& w = f.start();
    w.Guarded([&] { w.ChartFile(f.path("missing.csv")); });
    QCOMPARE(f.prompter.asked.size(), std::size_t{1});
    QVERIFY(f.prompter.asked.back().text.startsWith("Cannot open file " + f.path("missing.csv")));
}

// A log of 250 meters: the first 10 are picked at first, and picking all
// draws no more than 200 lines.
void TestChartWindow::manyMetersStayUsable() {
    WindowFixture f;
    QByteArray log = kLogHeader;
    for (int m = 0; m < 250; ++m) {
        log += "Place " + QByteArray::number(m) + ";31.01.25;23:50:00;1;" +
               QByteArray::number(10000000 + m) + ";KAM;2;100;kWh;energy;;0;0;0\r\n";
    }
    f.writeFile("log.csv", log);
    ChartWindow chart;
    chart.OpenLogFile(f.path("log.csv"), u';');
    QCOMPARE(chart.Meters_ListBox->count(), 250);
    QCOMPARE(chart.views().front()->chart()->series().size(), 10);
    chart.Pick({-1}, {-1});
    QCOMPARE(chart.views().front()->chart()->series().size(), 200);
    QCOMPARE(chart.Skipped_Label->text(), QString("only the first 200 lines are drawn"));
}

void TestChartWindow::zoomReducesAgain() {
    WindowFixture f;
    QByteArray log = kLogHeader;
    const QDateTime start(QDate(2025, 1, 1), QTime(0, 0));
    constexpr int kRows = 20000;
    for (int i = 0; i < kRows; ++i) {
        const QDateTime at = start.addSecs(i * 60);
        const double v = i == 12345 ? 500.0 : std::sin(i * 0.01) * 10;
        log += "Hall;" + at.toString("dd.MM.yy;hh:mm:ss").toUtf8() + ";1;12345678;KAM;5;" +
               QByteArray::number(v, 'f', 3) + ";°C;flow temp.;;0;0;0\r\n";
    }
    f.writeFile("log.csv", log);
    ChartWindow chart;
    chart.resize(1000, 600);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.OpenLogFile(f.path("log.csv"), u';');
    QTest::qWait(50); // the chart's layout
    ChartView* view = chart.views().front();
    QLineSeries* line = Line(view, 0);
    const int columns = static_cast<int>(view->chart()->plotArea().width());
    QVERIFY(columns > 100);
    QVERIFY(line->count() <= 2 * columns + 2);
    // The peak of one reading stays.
    const auto points = line->points();
    QVERIFY(std::any_of(points.begin(), points.end(), [](QPointF p) { return p.y() == 500.0; }));

    const qint64 fullMs =
        TimeAxis(view)->max().toMSecsSinceEpoch() - TimeAxis(view)->min().toMSecsSinceEpoch();
    const QRectF plot = view->chart()->plotArea();
    view->chart()->zoomIn(QRectF(plot.left(), plot.top(), plot.width() / 10, plot.height()));
    const QDateTime from = TimeAxis(view)->min();
    const QDateTime to = TimeAxis(view)->max();
    QVERIFY(to.toMSecsSinceEpoch() - from.toMSecsSinceEpoch() < fullMs / 5);
    // Reduced again to the narrower range: about a tenth of the points, all
    // of them within it but the neighbours at its edges.
    QVERIFY(line->count() > 100 && line->count() < kRows / 5);
    QVERIFY(line->at(0).x() <= from.toMSecsSinceEpoch());
    QVERIFY(line->at(1).x() >= from.toMSecsSinceEpoch());
    QVERIFY(line->at(line->count() - 1).x() >= to.toMSecsSinceEpoch());

    chart.ZoomReset_Button->click();
    view = chart.views().front();
    QCOMPARE(TimeAxis(view)->max().toMSecsSinceEpoch() - TimeAxis(view)->min().toMSecsSinceEpoch(),
             fullMs);
}

void TestChartWindow::exportsPictureAndPdf() {
    WindowFixture f;
    f.writeFile("log.csv", kLogHeader +
                               "Hall;31.01.25;23:50:00;1;12345678;KAM;2;100;kWh;energy;;0;0;0\r\n"
                               "Hall;01.02.25;00:00:00;1;12345678;KAM;2;110;kWh;energy;;0;0;0\r\n");
    ChartWindow chart;
    chart.resize(900, 600);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.OpenLogFile(f.path("log.csv"), u';');
    QTest::qWait(50);
    QVERIFY(chart.ExportPng(f.path("chart.png")));
    QVERIFY(!QImage(f.path("chart.png")).isNull());
    QVERIFY(chart.ExportPdf(f.path("chart.pdf")));
    QVERIFY(!chart.ExportPdf(f.path("no-such-folder/chart.pdf")));
    if (!testing::HavePdfText()) {
        QSKIP("pdftotext is not installed");
    }
    // Drawn as text, not as a picture.
    const QString text = testing::PdfText(f.path("chart.pdf"));
    QVERIFY2(text.contains("Hall 12345678: 2 energy [kWh]") && text.contains("kWh"),
             qPrintable(text));
}

QTEST_MAIN(TestChartWindow)
#include "test_chart_window.moc"
