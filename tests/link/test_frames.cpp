// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/frames.h"

#include <QTest>

using namespace quorven;

Q_DECLARE_METATYPE(std::optional<QByteArray>)

class TestFrames : public QObject {
    Q_OBJECT
private slots:
    void builders_data();
    void builders();
    void idText_data();
    void idText();
    void longFrameCheck_data();
    void longFrameCheck();
};

void TestFrames::builders_data() {
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");

    const IdBytes id12345678{0x78, 0x56, 0x34, 0x12};
    QTest::newRow("REQ_UD2 to 250, checksum wraps")
        << BuildReqUd2(250, true) << QByteArray::fromHex("107BFA7516");
    QTest::newRow("set primary address 7")
        << *BuildSndUd(253, true, kCiDataSend, SetPrimaryAddressData(7))
        << QByteArray::fromHex("68060668 73FD51017A07 4316");
    QTest::newRow("select 12345678, FCB 0")
        << BuildSelectById(id12345678, false)
        << QByteArray::fromHex("680B0B68 53FD52 78563412 FFFFFFFF B216");
    QTest::newRow("set identification number")
        << *BuildSndUd(1, true, kCiDataSend, SetIdentNumberData(id12345678, 0x07))
        << QByteArray::fromHex("680D0D68 730151 0779 78563412 FFFFFF07 5D16");
    QTest::newRow("SND_UD with empty data is a control frame")
        << *BuildSndUd(1, false, 0x51, {}) << QByteArray::fromHex("68030368 530151 A516");
}

void TestFrames::builders() {
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QCOMPARE(built.toHex(' '), expected.toHex(' '));
}

void TestFrames::idText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("eight digits") << "12345678" << true << QByteArray::fromHex("78563412");
    QTest::newRow("four digits padded") << "1234" << true << QByteArray::fromHex("34120000");
    QTest::newRow("wildcards") << "1234FFFF" << true << QByteArray::fromHex("FFFF3412");
    QTest::newRow("blanks around") << " 42 " << true << QByteArray::fromHex("42000000");
    QTest::newRow("empty") << "" << true << QByteArray::fromHex("00000000");
    QTest::newRow("nine characters") << "123456789" << false << QByteArray();
    QTest::newRow("not hexadecimal") << "1234567G" << false << QByteArray();
    QTest::newRow("inner blank") << "12 45678" << false << QByteArray();
}

void TestFrames::idText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QByteArray, bytes);
    const auto id = IdTextToBytes(text);
    QCOMPARE(id.has_value(), valid);
    if (id) {
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(id->data()), 4).toHex(), bytes.toHex());
    }
}

void TestFrames::longFrameCheck_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("fault");
    const auto f = [](LongFrameFault x) { return static_cast<int>(x); };
    QTest::newRow("valid") << QByteArray::fromHex("680303680805727F16") << f(LongFrameFault::None);
    QTest::newRow("truncated") << QByteArray::fromHex("6804046808057200")
                               << f(LongFrameFault::TooShort);
    QTest::newRow("L zero") << QByteArray::fromHex("680000680805727F16")
                            << f(LongFrameFault::TooShort);
}

void TestFrames::longFrameCheck() {
    QFETCH(QByteArray, frame);
    QFETCH(int, fault);
    QCOMPARE(static_cast<int>(CheckLongFrame(frame)), fault);
}

QTEST_APPLESS_MAIN(TestFrames)
#include "test_frames.moc"
