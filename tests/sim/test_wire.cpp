// The wire model: characters as bits on a wired-AND line and a UART that
// samples them, for clean lines, wrong settings, breaks and collisions.
#include "sim/wire.h"

#include <QTest>

using namespace quorven;
using namespace quorven::sim;

namespace {

struct Sender {
    Tick start = 0;
    LineSettings format;
    QByteArray bytes;
};

LineSettings Format(qint32 baud, Parity parity = Parity::Even) {
    return LineSettings{baud, 8, parity, 1};
}

// Bit times at 2400 baud, in ticks.
constexpr Tick kBit2400 = kTicksPerSecond / 2400;

} // namespace

Q_DECLARE_METATYPE(Sender)

class TestWire : public QObject {
    Q_OBJECT
private slots:
    void receiverMakesOfTheLine_data();
    void receiverMakesOfTheLine();
    void unfinishedCharacterIsNotReceivedYet();
};

void TestWire::receiverMakesOfTheLine_data() {
    QTest::addColumn<QList<Sender>>("senders");
    QTest::addColumn<LineSettings>("receiver");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("errors");
    const QByteArray none(4, 0);
    QTest::newRow("same settings: every byte clean")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("68E500FF")}} << Format(2400)
        << QByteArray::fromHex("68E500FF") << none;
    QTest::newRow("8N1 receiver: a parity bit 0 is a missing stop bit")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("0F07")}} << Format(2400, Parity::None)
        << QByteArray::fromHex("0F07") << QByteArray::fromHex("0800");
    QTest::newRow("8E1 receiver, 8N1 sender: the stop bit read as parity")
        << QList{Sender{0, Format(2400, Parity::None), QByteArray::fromHex("07")},
                 Sender{20 * kBit2400, Format(2400, Parity::None), QByteArray::fromHex("0F")}}
        << Format(2400) << QByteArray::fromHex("070F") << QByteArray::fromHex("0004");
    QTest::newRow("a whole character of space is a break")
        << QList{Sender{0, Format(300), QByteArray::fromHex("00")}} << Format(2400)
        << QByteArray::fromHex("00") << QByteArray::fromHex("10");
    QTest::newRow("pulses shorter than half a bit are no start bits")
        << QList{Sender{0, Format(38400), QByteArray::fromHex("FF")}} << Format(2400)
        << QByteArray() << QByteArray();
    QTest::newRow("in step: the bytes combine by AND, parity bits too")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("68")},
                 Sender{0, Format(2400), QByteArray::fromHex("0F")}}
        << Format(2400) << QByteArray::fromHex("08") << QByteArray::fromHex("04");
    QTest::newRow("5.5 bits out of step: a start bit inside the data")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("FF")},
                 Sender{11 * kBit2400 / 2, Format(2400), QByteArray::fromHex("FF")}}
        << Format(2400) << QByteArray::fromHex("EFFF") << QByteArray::fromHex("0404");
    QTest::newRow("9.5 bits out of step: a data bit on the stop bit")
        << QList{Sender{0, Format(2400), QByteArray::fromHex("FF")},
                 Sender{19 * kBit2400 / 2, Format(2400), QByteArray::fromHex("FE")}}
        << Format(2400) << QByteArray::fromHex("FF") << QByteArray::fromHex("08");
}

void TestWire::receiverMakesOfTheLine() {
    QFETCH(QList<Sender>, senders);
    QFETCH(LineSettings, receiver);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, errors);
    WireLine line;
    for (const Sender& s : senders) {
        line.add(Transmission(s.start, s.format, s.bytes, 1));
    }
    UartReceiver uart(receiver, 0);

    QByteArray heard;
    QByteArray flags;
    for (const ReceivedCharacter& c : uart.receiveUntil(line, kTicksPerSecond)) {
        heard.append(static_cast<char>(c.byte));
        flags.append(static_cast<char>(c.errors));
    }

    QCOMPARE(heard.toHex(' '), bytes.toHex(' '));
    QCOMPARE(flags.toHex(' '), errors.toHex(' '));
}

void TestWire::unfinishedCharacterIsNotReceivedYet() {
    WireLine line;
    line.add(Transmission(0, Format(2400), QByteArray::fromHex("1068"), 1));
    UartReceiver uart(Format(2400), 0);

    QCOMPARE(uart.receiveUntil(line, 11 * kBit2400 - 1).size(), std::size_t{0});
    QCOMPARE(uart.peek(line)->end, 11 * kBit2400);
    QCOMPARE(uart.receiveUntil(line, 11 * kBit2400).size(), std::size_t{1});
    QCOMPARE(uart.receiveUntil(line, kTicksPerSecond).size(), std::size_t{1});
    QVERIFY(!uart.peek(line));
}

QTEST_GUILESS_MAIN(TestWire)
#include "test_wire.moc"
