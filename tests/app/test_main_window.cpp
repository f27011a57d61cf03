// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_fixture.h"

#include "app/lamp.h"
#include "link/mb_sio.h"
#include "operations/station.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void textsAndHints();
    void multiTelChecksSndNke();
    void mdkRecordsRtsMode();
    void stationDrivesLampAndBars();
    void textAreaFollowsTrace();
};

// The texts come from one table; a few of them as the user sees them, and a
// hint shown in the status bar when the mouse is over its control.
void TestMainWindow::textsAndHints() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.Load2_Button->text(), QString("adat betöltés"));
    QCOMPARE(w.Label3->text(), QString("&COM-port:"));
    QCOMPARE(w.Clearlist2->text(), QString("listát töröl"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.SND_NKE_CheckBox->isVisible());
    QVERIFY(!w.Dailylog_CheckBox->isVisible()); // the daily log box is never shown
    QTest::mouseMove(w.Import_Button);
    QTRY_COMPARE(w.StatusBar1->currentMessage(),
                 QString("Import from text data file (hex ascii with spaces: 68 2D 2D 68 08 01 "
                         "72 ..)"));
    QTest::mouseMove(w.Label1);
    QTRY_COMPARE(w.StatusBar1->currentMessage(), QString("Cycle time for polling or logging"));
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

void TestMainWindow::stationDrivesLampAndBars() {
    WindowFixture f;
    TForm1& w = f.start();
    emit w.station().lampChanged(true);
    QCOMPARE(w.Status_StaticText->text(), QString("foglalt"));
    QCOMPARE(w.Shape1->color(), QColor(Qt::red));
    emit w.station().progressChanged(2, 250);
    QCOMPARE(w.ProgressBar2->value(), 100);
}

void TestMainWindow::textAreaFollowsTrace() {
    WindowFixture f;
    TForm1& w = f.start();
    w.trace().append("line");
    QCOMPARE(w.Memo1->toPlainText(), QString("line"));
    QCOMPARE(w.Memo1->maximumBlockCount(), int(w.trace().maxLines()));
    QTest::mouseClick(w.CL_Button, Qt::LeftButton);
    QVERIFY(w.Memo1->toPlainText().isEmpty());
    QVERIFY(w.trace().lines().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
