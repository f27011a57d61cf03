// SPDX-License-Identifier: GPL-3.0-or-later
// Receive errors of the system port: the marks the terminal puts into the
// byte stream, and the line-error flags made of them.

#include "link/line_error_flags.h"
#include "link/parmrk_parser.h"
#include "link/serial_port.h"

#include <QTest>

using namespace quorven;

Q_DECLARE_METATYPE(std::optional<ErrorCountGrowth>)

class TestReceiveErrors : public QObject {
    Q_OBJECT
private slots:
    void parser_data();
    void parser();
    void resetForgetsAHalfMarker();
    void flags_data();
    void flags();
};

void TestReceiveErrors::parser_data() {
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("data");
    // "position:byte" of each marked byte.
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<bool>("inMarker");

    const auto h = [](const char* text) { return QByteArray::fromHex(text); };
    QTest::newRow("plain bytes") << QList{h("68 03 03 68")} << h("68030368") << QStringList{}
                                 << false;
    QTest::newRow("a real FFh") << QList{h("FF FF")} << h("FF") << QStringList{} << false;
    QTest::newRow("a real FFh split")
        << QList{h("68 FF"), h("FF 16")} << h("68FF16") << QStringList{} << false;
    QTest::newRow("bad byte") << QList{h("68 FF 00 41 16")} << h("684116") << QStringList{"1:41"}
                              << false;
    QTest::newRow("break") << QList{h("FF 00 00")} << h("00") << QStringList{"0:00"} << false;
    QTest::newRow("marked FFh") << QList{h("FF 00 FF")} << h("FF") << QStringList{"0:FF"} << false;
    QTest::newRow("marker split after FF")
        << QList{h("10 FF"), h("00 41")} << h("1041") << QStringList{"1:41"} << false;
    QTest::newRow("marker split in three")
        << QList{h("FF"), h("00"), h("08"), h("16")} << h("0816") << QStringList{"0:08"} << false;
    QTest::newRow("chunk ends inside a marker")
        << QList{h("68 FF 00")} << h("68") << QStringList{} << true;
    QTest::newRow("marks in a row") << QList{h("FF 00 01 FF 00 00 FF FF FF 00 02")} << h("0100FF02")
                                    << QStringList{"0:01", "1:00", "3:02"} << false;
    QTest::newRow("FF before another byte is kept")
        << QList{h("FF 41 42")} << h("FF4142") << QStringList{} << false;
    QTest::newRow("empty chunks") << QList{QByteArray(), h("FF"), QByteArray(), h("FF")} << h("FF")
                                  << QStringList{} << false;
}

void TestReceiveErrors::parser() {
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, data);
    QFETCH(QStringList, marks);
    QFETCH(bool, inMarker);
    ParmrkParser parser;
    QByteArray out;
    std::vector<ParmrkParser::Mark> found;
    for (const QByteArray& chunk : chunks) {
        parser.feed(std::span(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                              static_cast<std::size_t>(chunk.size())),
                    out, found);
    }
    QCOMPARE(out.toHex(' '), data.toHex(' '));
    QStringList foundText;
    for (const auto& m : found) {
        foundText.append(
            QStringLiteral("%1:%2").arg(m.position).arg(m.byte, 2, 16, QChar('0')).toUpper());
    }
    QCOMPARE(foundText, marks);
    QCOMPARE(parser.inMarker(), inMarker);
}

void TestReceiveErrors::resetForgetsAHalfMarker() {
    ParmrkParser parser;
    QByteArray out;
    std::vector<ParmrkParser::Mark> marks;
    const std::uint8_t first[] = {0x68, 0xFF, 0x00};
    const std::uint8_t second[] = {0x41};
    parser.feed(first, out, marks);
    parser.reset();
    parser.feed(second, out, marks);
    QCOMPARE(out, QByteArray::fromHex("6841"));
    QVERIFY(marks.empty());
}

void TestReceiveErrors::flags_data() {
    QTest::addColumn<int>("marks");
    QTest::addColumn<bool>("markedZero");
    QTest::addColumn<std::optional<ErrorCountGrowth>>("counters");
    QTest::addColumn<int>("flags"); // -1: nothing to report

    using F = ErrorCountGrowth;
    constexpr int framing = LineErrorFlag::Framing;
    constexpr int parity = LineErrorFlag::Parity;
    constexpr int brk = LineErrorFlag::Break;
    const std::optional<F> none;
    QTest::newRow("clean read") << 0 << false << none << -1;
    QTest::newRow("framing counted") << 1 << false << std::optional{F{1, 0, 0, 0}} << framing;
    QTest::newRow("break counted") << 1 << true << std::optional{F{0, 0, 1, 0}} << brk;
    QTest::newRow("zero byte with framing counted")
        << 1 << true << std::optional{F{1, 0, 0, 0}} << framing;
    QTest::newRow("both counted") << 2 << false << std::optional{F{1, 1, 0, 0}}
                                  << (framing | parity);
    QTest::newRow("overrun alone is an other error")
        << 0 << false << std::optional{F{0, 0, 0, 3}} << 0;
    QTest::newRow("no counters: framing or parity") << 1 << false << none << (framing | parity);
    QTest::newRow("no counters: zero may be a break")
        << 1 << true << none << (framing | parity | brk);
    QTest::newRow("counters did not move")
        << 1 << false << std::optional{F{}} << (framing | parity);
}

void TestReceiveErrors::flags() {
    QFETCH(int, marks);
    QFETCH(bool, markedZero);
    QFETCH(std::optional<ErrorCountGrowth>, counters);
    QFETCH(int, flags);
    const auto result = LineErrorFlagsFor(ReceiveErrors{marks, markedZero, counters});
    QCOMPARE(result.has_value(), flags >= 0);
    if (result) {
        QCOMPARE(int(*result), flags);
    }
}

QTEST_GUILESS_MAIN(TestReceiveErrors)
#include "test_receive_errors.moc"
