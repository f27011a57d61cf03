// SPDX-License-Identifier: GPL-3.0-or-later
// The grid views: the mouse wheel, column widths, and the editors with their
// drop-down lists and edit masks.
#include "app/grid_edit_delegate.h"
#include "app/grid_view.h"

#include "app/edit_mask.h"
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStandardItemModel>
#include <QTest>
#include <QWheelEvent>

using namespace quorven;

namespace {

void Fill(QStandardItemModel& m, int rows, int columns) {
    m.setRowCount(rows);
    m.setColumnCount(columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            m.setData(m.index(r, c), QStringLiteral("%1").arg(r + 1));
        }
    }
}

void Wheel(GridView& v, int delta) {
    const QPointF at = v.viewport()->rect().center();
    QWheelEvent e(at, v.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v.viewport(), &e);
}

CellEditing SlaveLike(int column) {
    using K = CellEditing::Kind;
    switch (column) {
    case 1:
        return {K::Masked, "!999;0; ", {}};
    case 3:
        return {K::DropDown, {}, {"300", "2400", "9600", "38400"}};
    case 5:
        return {K::None, {}, {}};
    default:
        return {K::PlainText, {}, {}};
    }
}

} // namespace

class TestGridViews : public QObject {
    Q_OBJECT
private slots:
    void wheelOnEmptyTable();
    void wheelMovesOneRow();
    void columnsSizedToWidestText();
    void dropDownOffersOnlyItsItems();
    void maskRefusesWhatItDoesNotAllow();
    void accepts_data();
    void accepts();
};

void TestGridViews::wheelOnEmptyTable() {
    QStandardItemModel m;
    Fill(m, 0, 3);
    GridView v;
    v.setModel(&m);
    QVERIFY(!v.wheelDown());
    QVERIFY(!v.wheelUp());
    Wheel(v, -120); // taken without harm
    QCOMPARE(v.topRow(), 0);
}

void TestGridViews::wheelMovesOneRow() {
    QStandardItemModel m;
    Fill(m, 100, 3);
    GridView v;
    v.setModel(&m);
    v.resize(300, 200);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QVERIFY(!v.wheelUp()); // nothing above the top
    Wheel(v, 120);
    QCOMPARE(v.topRow(), 0);
    Wheel(v, -120);
    QCOMPARE(v.topRow(), 1);
    Wheel(v, -360); // three notches, three rows
    QCOMPARE(v.topRow(), 4);
    Wheel(v, 120);
    QCOMPARE(v.topRow(), 3);
    Wheel(v, -60); // half a notch: nothing yet
    QCOMPARE(v.topRow(), 3);
    Wheel(v, -60);
    QCOMPARE(v.topRow(), 4);
    // At the end the last row stays in view.
    for (int i = 0; i < 200; ++i) {
        v.wheelDown();
    }
    QVERIFY(v.topRow() + v.visibleRowCount() >= 100);
    QVERIFY(v.topRow() <= 100 - v.visibleRowCount() + 1);
}

void TestGridViews::columnsSizedToWidestText() {
    QStandardItemModel m;
    Fill(m, 3, 2);
    m.setHeaderData(0, Qt::Horizontal, "H");
    m.setHeaderData(1, Qt::Horizontal, "A rather long header text");
    m.setData(m.index(2, 0), "the widest cell of column zero");
    GridView v;
    v.setModel(&m);
    v.sizeColumns();
    const QFontMetrics fm(v.font());
    const QFontMetrics hm(v.horizontalHeader()->font());
    QCOMPARE(v.columnWidth(0), fm.horizontalAdvance("the widest cell of column zero") + 20);
    QCOMPARE(v.columnWidth(1), std::max(fm.horizontalAdvance("A rather long header text"),
                                        hm.horizontalAdvance("A rather long header text")) +
                                   20);
}

void TestGridViews::dropDownOffersOnlyItsItems() {
    QStandardItemModel m;
    Fill(m, 1, 4);
    m.setData(m.index(0, 3), "2400");
    GridEditDelegate d(SlaveLike);
    QWidget parent;
    auto* box = qobject_cast<QComboBox*>(d.createEditor(&parent, {}, m.index(0, 3)));
    QVERIFY(box != nullptr);
    QVERIFY(!box->isEditable());
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    QCOMPARE(items, QStringList({"300", "2400", "9600", "38400"}));
    d.setEditorData(box, m.index(0, 3));
    QCOMPARE(box->currentText(), QString("2400"));
    box->setCurrentIndex(3);
    d.setModelData(box, &m, m.index(0, 3));
    QCOMPARE(m.index(0, 3).data().toString(), QString("38400"));
    // A cell holding something not offered stays as it is unless a choice is made.
    m.setData(m.index(0, 3), "4800");
    d.setEditorData(box, m.index(0, 3));
    QCOMPARE(box->currentIndex(), -1);
    d.setModelData(box, &m, m.index(0, 3));
    QCOMPARE(m.index(0, 3).data().toString(), QString("4800"));
}

void TestGridViews::maskRefusesWhatItDoesNotAllow() {
    QStandardItemModel m;
    Fill(m, 1, 2);
    GridEditDelegate d(SlaveLike);
    QWidget parent;
    auto* edit = qobject_cast<QLineEdit*>(d.createEditor(&parent, {}, m.index(0, 1)));
    QVERIFY(edit != nullptr);
    edit->clear();
    QTest::keyClicks(edit, "12a345");
    QCOMPARE(edit->text(), QString("123"));
    d.setModelData(edit, &m, m.index(0, 1));
    QCOMPARE(m.index(0, 1).data().toString(), QString("123"));
}

void TestGridViews::accepts_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("address: empty") << "!999;0; "
                                    << "" << true;
    QTest::newRow("address: three digits") << "!999;0; "
                                           << "250" << true;
    QTest::newRow("address: four digits") << "!999;0; "
                                          << "2500" << false;
    QTest::newRow("address: letter") << "!999;0; "
                                     << "2a" << false;
    QTest::newRow("ident: eight digits") << "!99999999;0; "
                                         << "12345678" << true;
    QTest::newRow("manufacturer: three letters") << "!ccc;0; "
                                                 << "ABB" << true;
    QTest::newRow("manufacturer: four") << "!ccc;0; "
                                        << "ABBA" << false;
    QTest::newRow("required digit missing") << "00"
                                            << "1" << false;
    QTest::newRow("literal and escape") << "99\\9-99"
                                        << "12"
                                           "9-34"
                                        << true;
    QTest::newRow("regex characters are literal") << "9.9"
                                                  << "1x2" << false;
}

void TestGridViews::accepts() {
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QVERIFY(EditMaskPattern(mask).isValid());
    QCOMPARE(EditMaskPattern(mask).match(text).hasMatch(), accepted);
}

QTEST_MAIN(TestGridViews)
#include "test_grid_views.moc"
