// The telegram check and the fixed data header.
#include "telegram_bytes.h"

#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestTelegramCheck : public QObject {
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void startsEmpty();
    void overlongTelegramIsNotCut();
    void storingAgainClearsOldBytes();
    void header_data();
    void header();
};

void TestTelegramCheck::check_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("error");

    const QByteArray good = LongFrame(0x08, "05 72 78563412 2D2C 01 04 11 00 0000");

    QTest::newRow("empty") << QByteArray() << false << "Datensatz 0-Länge";
    QTest::newRow("single E5") << QByteArray("\xE5") << true << "";
    QTest::newRow("single other byte") << QByteArray("\x10") << false << "";
    QTest::newRow("two bytes") << QByteArray::fromHex("6803") << false
                               << "M-Bus Datensatzlänge zu kurz";
    QTest::newRow("short frame") << QByteArray::fromHex("107B058016") << false << "1. $68 fehlt";
    QTest::newRow("262 bytes") << QByteArray(262, '\x68') << false
                               << "M-Bus Datensatzlänge zu lang";
    QTest::newRow("L fields differ")
        << QByteArray::fromHex("6803046808057200001616") << false << "Längenfelder unterschiedlich";
    QTest::newRow("L and length differ") << QByteArray::fromHex("680404680805720016") << false
                                         << "Länge und Längenfeld unterschiedlich";
    QTest::newRow("second start missing")
        << QByteArray::fromHex("680303670805727F16") << false << "2. $68 fehlt";
    QTest::newRow("request C field")
        << QByteArray::fromHex("68030368530572CA16") << false << "C-Feld Fehler";
    QTest::newRow("wrong checksum") << QByteArray::fromHex("68030368080572"
                                                           "7E"
                                                           "16")
                                    << false << "Checksummenfehler 7F <> 7E";
    QTest::newRow("checksum 3A against 3B")
        << QByteArray::fromHex("680303680833FF3B16") << false << "Checksummenfehler 3A <> 3B";
    QTest::newRow("wrong stop") << QByteArray::fromHex("680303680805727F17") << false
                                << "Stopzeichen falsch";
    QTest::newRow("control frame answer")
        << QByteArray::fromHex("680303680805727F16") << true << "";
    QTest::newRow("C 38h") << QByteArray::fromHex("68030368380572AF16") << true << "";
    QTest::newRow("variable data") << good << true << "";
}

void TestTelegramCheck::check() {
    QFETCH(QByteArray, telegram);
    QFETCH(bool, valid);
    QFETCH(QString, error);
    Interpreter in;
    Store(in, telegram);
    QCOMPARE(in.CheckTelegram(), valid);
    QCOMPARE(QString::fromStdString(in.TelegramError()), error);
}

void TestTelegramCheck::startsEmpty() {
    Interpreter in;
    QCOMPARE(in.TelegramLength(), 0);
    QVERIFY(!in.CheckTelegram());
    QCOMPARE(QString::fromStdString(in.TelegramError()), QString("Datensatz 0-Länge"));
}

void TestTelegramCheck::overlongTelegramIsNotCut() {
    // A valid frame of L = 255 followed by one more byte must not pass as the frame.
    std::vector<std::uint8_t> frame(kTelegramCapacity, 0x00);
    frame[0] = frame[3] = 0x68;
    frame[1] = frame[2] = 255;
    frame[4] = 0x08;
    frame[5] = 0x05;
    frame[6] = 0x72;
    frame[259] = static_cast<std::uint8_t>(0x08 + 0x05 + 0x72);
    frame[260] = 0x16;
    QCOMPARE(frame.size(), kTelegramCapacity);

    Interpreter in;
    in.StoreTelegram(frame);
    QVERIFY(in.CheckTelegram());

    frame.push_back(0x16);
    in.StoreTelegram(frame);
    QCOMPARE(in.TelegramLength(), 262);
    QVERIFY(!in.CheckTelegram());
    QCOMPARE(QString::fromStdString(in.TelegramError()), QString("M-Bus Datensatzlänge zu lang"));
    QCOMPARE(in.Telegram(262), 0);

    std::vector<std::uint8_t> huge(100000, 0x68);
    in.StoreTelegram(huge);
    QCOMPARE(in.TelegramLength(), 65535);
    QVERIFY(!in.CheckTelegram());
}

void TestTelegramCheck::storingAgainClearsOldBytes() {
    Interpreter in;
    Store(in, LongFrame(0x08, "05 72 78563412 2D2C 01 04 11 00 0000"));
    const auto before = in.Revision();
    Store(in, "\xE5");
    QVERIFY(in.Revision() != before);
    QCOMPARE(in.Telegram(2), 0);
    QVERIFY(in.CheckTelegram());
}

void TestTelegramCheck::header_data() {
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

void TestTelegramCheck::header() {
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

QTEST_APPLESS_MAIN(TestTelegramCheck)
#include "test_telegram_check.moc"
