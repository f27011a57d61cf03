#include "window_fixture.h"

#include "app/control_texts.h"
#include "app/lamp.h"
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

using namespace quorven;
using namespace quorven::testing;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void controlTexts();
    void hintInStatusBar();
    void lists();
    void multiTelChecksSndNke();
    void mdkRecordsRtsMode();
    void stationDrivesLampAndBars();
    void textAreaFollowsTrace();
};

void TestMainWindow::controlTexts() {
    WindowFixture f;
    TForm1& w = f.start();
    for (int i = 0; i < kMainWindowTextCount; ++i) {
        const ControlText& t = kMainWindowTexts[i];
        auto* control = w.findChild<QWidget*>(t.name);
        QVERIFY2(control != nullptr, t.name);
        const QString hint = QString::fromUtf8(t.hint ? t.hint : "");
        QCOMPARE(control->toolTip(), hint);
        QCOMPARE(control->statusTip(), hint);
        if (auto* b = qobject_cast<QAbstractButton*>(control)) {
            QCOMPARE(b->text(), QString::fromUtf8(t.caption));
        } else if (auto* l = qobject_cast<QLabel*>(control)) {
            QCOMPARE(l->text(), QString::fromUtf8(t.caption));
        } else {
            QVERIFY2(t.caption == nullptr, t.name);
        }
    }
    const QList<QAction*> items = w.PopupMenu1->actions();
    QCOMPARE(int(items.size()), kSlaveMenuTextCount);
    for (int i = 0; i < kSlaveMenuTextCount; ++i) {
        QCOMPARE(items[i]->objectName(), QString(kSlaveMenuTexts[i].name));
        QCOMPARE(items[i]->text(), QString::fromUtf8(kSlaveMenuTexts[i].caption));
    }
    // Spot checks of texts as the user sees them.
    QCOMPARE(w.Load2_Button->text(), QString("adat betöltés"));
    QCOMPARE(w.Label3->text(), QString("&COM-port:"));
    QCOMPARE(w.Clearlist2->text(), QString("listát töröl"));
}

void TestMainWindow::hintInStatusBar() {
    WindowFixture f;
    TForm1& w = f.start();
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

void TestMainWindow::lists() {
    WindowFixture f;
    TForm1& w = f.start();
    QCOMPARE(w.MB1Port_ComboBox->count(), 255);
    QCOMPARE(w.MB1Port_ComboBox->itemText(0), QString("COM1"));
    QCOMPARE(w.MB1Port_ComboBox->itemText(254), QString("COM255"));
    QCOMPARE(w.SB_ComboBox->currentText(), QString("2400"));
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
    QCOMPARE(w.windowTitle(), QString("Quorven V2.1"));
    QCOMPARE(w.Status_StaticText->text(), QString("szabad"));
    QCOMPARE(w.Shape1->color(), QColor(Qt::green));
    QCOMPARE(w.ZAnz_StaticText->text(), QString("0"));
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

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
