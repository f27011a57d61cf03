#include "telegram_bytes.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestTelegramHeader : public QObject {
    Q_OBJECT
private slots:
    void header_data();
    void header();
};

void TestTelegramHeader::header_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("highByteFirst");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("ident");
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("medium");
    QTest::addColumn<QString>("mediumText");
    QTest::addColumn<int>("status");

    QTest::newRow("variable, normal order")
        << LongFrame(0x08, "05 72 78563412 2D2C 01 04 11 00 0000") << 2 << false << 5 << "12345678"
        << "KAM" << 1 << 4 << "Heat Outlet" << 0;
    QTest::newRow("variable, high byte first")
        << LongFrame(0x08, "05 76 78563412 2C2D 01 07 11 05 0000") << 2 << true << 5 << "78563412"
        << "KAM" << 1 << 7 << "Water" << 5;
    QTest::newRow("medium 30 is reserved")
        << LongFrame(0x08, "01 72 00000000 0000 00 1E 00 00 0000") << 2 << false << 1 << "00000000"
        << "@@@" << 0 << 26 << "Reserved" << 0;
    QTest::newRow("manufacturer top bit unmasked")
        << LongFrame(0x08, "01 72 00000000 0080 00 00 00 00 0000") << 2 << false << 1 << "00000000"
        << "`@@" << 0 << 0 << "Other" << 0;
    // Medium/unit bytes C5h 85h: medium code 3 | 2 << 2 = 11, read high byte first.
    QTest::newRow("fixed structure, medium 11")
        << LongFrame(0x08, "09 73 12345678 0A 01 C5 85 00012345 00000000") << 1 << true << 9
        << "12345678"
        << "   " << 0 << 11 << "Heat" << 1;
    QTest::newRow("fixed structure, normal order")
        << LongFrame(0x08, "09 73 78563412 0A 00 45 05 45230100 00000000") << 1 << false << 9
        << "12345678"
        << "   " << 0 << 1 << "Oil" << 0;
    QTest::newRow("fixed structure, CI 77h")
        << LongFrame(0x08, "09 77 12345678 0A 00 05 05 00012345 00000000") << 1 << true << 9
        << "12345678"
        << "   " << 0 << 0 << "Other" << 0;
    QTest::newRow("acknowledgement") << QByteArray("\xE5") << 0 << false << 0 << "00000000"
                                     << "   " << 0 << 0 << "" << 0;
    QTest::newRow("other CI") << LongFrame(0x08, "05 78 78563412 2D2C 01 04") << 3 << false << 0
                              << "00000000"
                              << "   " << 0 << 0 << "" << 0;
}

void TestTelegramHeader::header() {
    QFETCH(QByteArray, telegram);
    Interpreter in;
    Store(in, telegram);
    QTEST(in.TelegramKind(), "kind");
    QTEST(in.IsHighByteFirst(), "highByteFirst");
    QTEST(int(in.PrimaryAddress()), "address");
    QTEST(QString::fromStdString(in.IdentNumber()), "ident");
    QTEST(QString::fromStdString(in.ManufacturerCode()), "manufacturer");
    QTEST(int(in.VersionByte()), "version");
    QTEST(int(in.MediumCode()), "medium");
    QTEST(QString::fromStdString(in.MediumText()), "mediumText");
    QTEST(int(in.StatusByte()), "status");
}

QTEST_APPLESS_MAIN(TestTelegramHeader)
#include "test_telegram_header.moc"
