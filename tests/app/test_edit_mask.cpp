#include "app/edit_mask.h"

#include <QRegularExpressionValidator>
#include <QTest>

using namespace quorven;

class TestEditMask : public QObject {
    Q_OBJECT
private slots:
    void accepts_data();
    void accepts();
};

void TestEditMask::accepts_data() {
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

void TestEditMask::accepts() {
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QVERIFY(EditMaskPattern(mask).isValid());
    QCOMPARE(EditMaskPattern(mask).match(text).hasMatch(), accepted);
}

QTEST_GUILESS_MAIN(TestEditMask)
#include "test_edit_mask.moc"
