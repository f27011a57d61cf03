// How the simulated meters answer the master: addressing, the FCB sequence
// of a multi-telegram meter, selection with wildcards, resets and address
// changes, on virtual time.
#include "bus_master.h"
#include "meters.h"

#include "link/frames.h"

#include <QTest>

using namespace quorven;
using namespace quorven::sim;
using namespace quorven::sim::test;

namespace {

QByteArray Select(const char* idText, const char* rest = "FFFFFFFF") {
    const IdBytes id = Id(idText);
    QByteArray data;
    for (std::uint8_t b : id) {
        data.append(static_cast<char>(b));
    }
    data.append(QByteArray::fromHex(rest));
    return *BuildSndUd(kSelectedSlaveAddress, true, kCiSelect, data);
}

MeterDescription Identified(std::uint8_t address, const char* id, const char* manufacturer,
                            std::uint8_t version, std::uint8_t medium) {
    MeterDescription meter = Meter(address, id);
    const QByteArray m(manufacturer);
    meter.manufacturer =
        static_cast<std::uint16_t>(((m[0] - 64) << 10) | ((m[1] - 64) << 5) | (m[2] - 64));
    meter.version = version;
    meter.medium = medium;
    return meter;
}

} // namespace

class TestMeterBehaviour : public QObject {
    Q_OBJECT
private slots:
    void answerCarriesTheMetersAddressAndId();
    void onlyAddressedMetersAnswer_data();
    void onlyAddressedMetersAnswer();
    void fcbSequenceOfAMultiTelegramMeter_data();
    void fcbSequenceOfAMultiTelegramMeter();
    void selection_data();
    void selection();
    void selectedMeterAnswersAt253UntilSndNke();
    void broadcastTakesEffectWithoutAnswer_data();
    void broadcastTakesEffectWithoutAnswer();
    void setPrimaryAddressThroughSelection();
    void setIdentification_data();
    void setIdentification();
    void invalidNewAddressIsConfirmedAndIgnored();
    void echoOnlyMeterSendsTheRequestBack();
    void rawTelegramIsSentAsWritten();
    void eachProtocolIsHeardOnlyAtItsParity_data();
    void eachProtocolIsHeardOnlyAtItsParity();
};

void TestMeterBehaviour::answerCarriesTheMetersAddressAndId() {
    OnBus t(Bus({Meter(7, "87654321")}));

    const QByteArray answer = t.master.send(BuildReqUd2(7, true));

    QByteArray expected = WaterAnswer(1000);
    expected[5] = 7;
    expected.replace(7, 4, Hex("21436587"));
    expected[expected.size() - 2] =
        static_cast<char>(FrameChecksum(expected, 4, expected.size() - 2));
    QCOMPARE(answer.toHex(' '), expected.toHex(' '));
    QCOMPARE(CheckLongFrame(answer), LongFrameFault::None);
    QVERIFY(t.master.lineErrors.empty());
}

void TestMeterBehaviour::onlyAddressedMetersAnswer_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("answered");
    QTest::newRow("REQ_UD2 to its address") << BuildReqUd2(7, true) << true;
    QTest::newRow("REQ_UD2 to 253 while not selected") << BuildReqUd2(253, true) << false;
    QTest::newRow("REQ_UD2 to the test address 254") << BuildReqUd2(254, true) << true;
    QTest::newRow("REQ_UD2 to the broadcast address 255") << BuildReqUd2(255, true) << false;
    QTest::newRow("request with a wrong checksum") << Hex("107B07FF16") << false;
}

void TestMeterBehaviour::onlyAddressedMetersAnswer() {
    QFETCH(QByteArray, request);
    QFETCH(bool, answered);
    OnBus t(Bus({Meter(7, "12345678")}));

    const QByteArray answer = t.master.send(request);

    QCOMPARE(!answer.isEmpty(), answered);
}

// Each step is a telegram the master sends; the expected column gives the
// telegram index answered, -1 for an E5h acknowledgement.
void TestMeterBehaviour::fcbSequenceOfAMultiTelegramMeter_data() {
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::addColumn<QList<int>>("answers");
    const QByteArray fcb1 = BuildReqUd2(5, true);
    const QByteArray fcb0 = BuildReqUd2(5, false);
    const QByteArray nke = BuildSndNke(5);
    const QByteArray reset = BuildApplicationReset(5, true);
    QTest::newRow("first request answers the first telegram") << QList{fcb1} << QList{0};
    QTest::newRow("first request with FCB 0 answers the first telegram") << QList{fcb0} << QList{0};
    QTest::newRow("unchanged FCB repeats the last telegram")
        << QList{fcb1, fcb0, fcb0} << QList{0, 1, 1};
    QTest::newRow("last telegram is followed by the first")
        << QList{fcb1, fcb0, fcb1, fcb0} << QList{0, 1, 2, 0};
    QTest::newRow("SND_NKE returns to the first telegram")
        << QList{fcb1, fcb0, nke, fcb1} << QList{0, 1, -1, 0};
    QTest::newRow("SND_NKE forgets the FCB") << QList{fcb1, nke, fcb1, fcb0} << QList{0, -1, 0, 1};
    QTest::newRow("application reset returns to the first telegram")
        << QList{fcb1, fcb0, reset, fcb0} << QList{0, 1, -1, 0};
    QTest::newRow("REQ_UD2 without FCV repeats without moving")
        << QList{fcb1, BuildShortFrame(0x4B, 5), BuildShortFrame(0x6B, 5)} << QList{0, 0, 0};
}

void TestMeterBehaviour::fcbSequenceOfAMultiTelegramMeter() {
    QFETCH(QList<QByteArray>, requests);
    QFETCH(QList<int>, answers);
    const std::vector<QByteArray> telegrams{WaterAnswer(1, true), WaterAnswer(2, true),
                                            WaterAnswer(3)};
    OnBus t(Bus({Meter(5, "12345678", telegrams)}));

    for (int i = 0; i < requests.size(); ++i) {
        const QByteArray answer = t.master.send(requests[i]);
        const int expected = answers[i];
        QCOMPARE(answer, expected < 0 ? Ack() : telegrams[static_cast<std::size_t>(expected)]);
    }
}

void TestMeterBehaviour::selection_data() {
    QTest::addColumn<QByteArray>("select");
    QTest::addColumn<QList<bool>>("selected");
    // Meters: 12345678 ABB v1 water, 12399990 ABB v1 hot water, 87654321 KAM v2 water.
    QTest::newRow("wildcard prefix matching two") << Select("1FFFFFFF") << QList{true, true, false};
    QTest::newRow("wildcard digits in the middle")
        << Select("12F4F6F8") << QList{true, false, false};
    QTest::newRow("every digit a wildcard") << Select("FFFFFFFF") << QList{true, true, true};
    QTest::newRow("no meter with that prefix") << Select("2FFFFFFF") << QList{false, false, false};
    QTest::newRow("medium given") << Select("FFFFFFFF", "FFFFFF06") << QList{false, true, false};
    QTest::newRow("manufacturer given")
        << Select("FFFFFFFF", "2D2CFFFF") << QList{false, false, true};
    QTest::newRow("manufacturer not matching")
        << Select("12345678", "2D2CFFFF") << QList{false, false, false};
    QTest::newRow("selection to a primary address selects nobody")
        << *BuildSndUd(5, true, kCiSelect, Hex("78563412FFFFFFFF")) << QList{false, false, false};
}

void TestMeterBehaviour::selection() {
    QFETCH(QByteArray, select);
    QFETCH(QList<bool>, selected);
    OnBus t(Bus({Identified(1, "12345678", "ABB", 1, 7), Identified(2, "12399990", "ABB", 1, 6),
                 Identified(3, "87654321", "KAM", 2, 7)}));

    const QByteArray answer = t.master.send(select);

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(t.bus.meter(i).isSelected(), selected[i]);
    }
    // Identical acknowledgements sent at the same moment add up to one E5h.
    QCOMPARE(answer, selected.contains(true) ? Ack() : QByteArray());
}

void TestMeterBehaviour::selectedMeterAnswersAt253UntilSndNke() {
    OnBus t(Bus({Meter(0, "12345678"), Meter(0, "87654321")}));

    QCOMPARE(t.master.send(Select("87654321")), Ack());
    const QByteArray answer = t.master.send(BuildReqUd2(kSelectedSlaveAddress, true));
    QCOMPARE(CheckLongFrame(answer), LongFrameFault::None);
    QCOMPARE(answer.mid(7, 4), Hex("21436587"));

    QCOMPARE(t.master.send(Select("12345678")), Ack());
    QVERIFY(!t.bus.meter(1).isSelected());
    QCOMPARE(t.master.send(BuildReqUd2(kSelectedSlaveAddress, false)).mid(7, 4), Hex("78563412"));

    QCOMPARE(t.master.send(BuildSndNke(kSelectedSlaveAddress)), Ack());
    QVERIFY(!t.bus.meter(0).isSelected());
    QCOMPARE(t.master.send(BuildReqUd2(kSelectedSlaveAddress, true)), QByteArray());
}

void TestMeterBehaviour::broadcastTakesEffectWithoutAnswer_data() {
    QTest::addColumn<QByteArray>("broadcast");
    QTest::addColumn<int>("telegramAfterwards");
    QTest::newRow("SND_NKE to 255 returns to the first telegram")
        << BuildSndNke(kBroadcastAddress) << 0;
    QTest::newRow("application reset to 255 returns to the first telegram")
        << BuildApplicationReset(kBroadcastAddress, true) << 0;
    QTest::newRow("REQ_UD2 to 255 changes nothing") << BuildReqUd2(kBroadcastAddress, true) << 1;
}

void TestMeterBehaviour::broadcastTakesEffectWithoutAnswer() {
    QFETCH(QByteArray, broadcast);
    QFETCH(int, telegramAfterwards);
    const std::vector<QByteArray> telegrams{WaterAnswer(1, true), WaterAnswer(2)};
    OnBus t(Bus({Meter(1, "12345678", telegrams), Meter(2, "87654321", telegrams)}));
    t.master.send(BuildReqUd2(1, true));
    t.master.send(BuildReqUd2(1, false));
    QCOMPARE(t.bus.meter(0).telegramIndex(), 1);

    QCOMPARE(t.master.send(broadcast, 3000), QByteArray());

    QCOMPARE(t.bus.meter(0).telegramIndex(), telegramAfterwards);
}

void TestMeterBehaviour::setPrimaryAddressThroughSelection() {
    OnBus t(Bus({Meter(5, "12345678"), Meter(6, "87654321")}));

    QCOMPARE(t.master.send(Select("12345678")), Ack());
    QCOMPARE(t.master.send(
                 *BuildSndUd(kSelectedSlaveAddress, false, kCiDataSend, SetPrimaryAddressData(9))),
             Ack());

    QCOMPARE(t.bus.meter(0).identity().address, 9);
    QCOMPARE(t.master.send(BuildReqUd2(5, true)), QByteArray());
    const QByteArray answer = t.master.send(BuildReqUd2(9, true));
    QCOMPARE(static_cast<int>(answer.at(5)), 9);
    QCOMPARE(CheckLongFrame(answer), LongFrameFault::None);
    QCOMPARE(t.bus.meter(1).identity().address, 6);
}

void TestMeterBehaviour::setIdentification_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("medium");
    QTest::newRow("enhanced identification, FFh keeps the rest")
        << SetIdentNumberData(Id("11223344"), 0xFF) << 7;
    QTest::newRow("enhanced identification with a new medium")
        << SetIdentNumberData(Id("11223344"), 0x06) << 6;
    QTest::newRow("identification number record 0Ch 79h") << Hex("0C7944332211") << 7;
}

void TestMeterBehaviour::setIdentification() {
    QFETCH(QByteArray, data);
    QFETCH(int, medium);
    OnBus t(Bus({Meter(5, "12345678")}));

    QCOMPARE(t.master.send(*BuildSndUd(5, true, kCiDataSend, data)), Ack());

    QCOMPARE(t.master.send(Select("12345678")), QByteArray());
    QCOMPARE(t.master.send(Select("11223344")), Ack());
    const QByteArray answer = t.master.send(BuildReqUd2(kSelectedSlaveAddress, true));
    QCOMPARE(answer.mid(7, 4), Hex("44332211"));
    QCOMPARE(static_cast<int>(answer.at(14)), medium);
    QCOMPARE(CheckLongFrame(answer), LongFrameFault::None);
}

void TestMeterBehaviour::invalidNewAddressIsConfirmedAndIgnored() {
    OnBus t(Bus({Meter(5, "12345678")}));

    QCOMPARE(t.master.send(*BuildSndUd(5, true, kCiDataSend, SetPrimaryAddressData(251))), Ack());
    QCOMPARE(
        t.master.send(*BuildSndUd(5, false, kCiDataSend, SetIdentNumberData(Id("1234FFFF"), 0xFF))),
        Ack());

    QCOMPARE(t.bus.meter(0).identity().address, 5);
    QCOMPARE(t.bus.meter(0).identity().id, Id("12345678"));
}

void TestMeterBehaviour::echoOnlyMeterSendsTheRequestBack() {
    MeterDescription echo = Meter(3, "12345678", {});
    echo.echoOnly = true;
    OnBus t(Bus({echo}));

    QCOMPARE(t.master.send(BuildReqUd2(3, true)), BuildReqUd2(3, true));
    QCOMPARE(t.master.send(BuildReqUd2(4, true)), QByteArray());
    QCOMPARE(t.master.send(Select("12345678")), QByteArray());
}

void TestMeterBehaviour::rawTelegramIsSentAsWritten() {
    const QByteArray wrongLength = Hex("681F2068080572785634121316");
    MeterDescription raw = Meter(3, "12345678", {wrongLength});
    raw.raw = true;
    OnBus t(Bus({raw}));

    QCOMPARE(t.master.send(BuildReqUd2(3, true)), wrongLength);
}

// An M-Bus meter at 7 and, at 8, an STX meter without telegrams holding block
// 00FFh. Each protocol's characters reach the other's receivers as parity
// errors.
void TestMeterBehaviour::eachProtocolIsHeardOnlyAtItsParity_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("odd");
    QTest::addColumn<QByteArray>("answer");
    const QByteArray toStx = Hex("080300FF000874A5");
    QTest::newRow("STX request at odd parity")
        << toStx << true << Hex("080310000300000000000000000000E24000018EA9");
    QTest::newRow("STX request at even parity") << toStx << false << QByteArray();
    QTest::newRow("STX request for a block the meter lacks")
        << Hex("0803003F00087499") << true << QByteArray();
    QTest::newRow("STX request with a wrong CRC")
        << Hex("080300FF000874A6") << true << QByteArray();
    QTest::newRow("REQ_UD2 at odd parity") << BuildReqUd2(7, true) << true << QByteArray();
    QTest::newRow("REQ_UD2 to the meter without telegrams")
        << BuildReqUd2(8, true) << false << QByteArray();
    QTest::newRow("SND_NKE to the meter without telegrams")
        << BuildSndNke(8) << false << QByteArray();
}

void TestMeterBehaviour::eachProtocolIsHeardOnlyAtItsParity() {
    QFETCH(QByteArray, request);
    QFETCH(bool, odd);
    QFETCH(QByteArray, answer);
    MeterDescription stx = Meter(8, "00000000", {});
    stx.stx = StxDescription{{{0x00FF, Hex("000300000000000000000000E2400001")}}, {}};
    OnBus t(Bus({Meter(7, "12345678"), stx}));
    t.master.port().setLineSettings({2400, 8, odd ? Parity::Odd : Parity::Even, 1});

    QCOMPARE(t.master.send(request).toHex(), answer.toHex());
}

QTEST_GUILESS_MAIN(TestMeterBehaviour)
#include "test_meter_behaviour.moc"
