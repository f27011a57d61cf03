// SPDX-License-Identifier: GPL-3.0-or-later
// The telegram check and the fixed data header: the telegrams of
// telegrams.txt, and the buffer's own limits.
#include "common/golden.h"
#include "telegram_bytes.h"

#include <QFile>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestTelegramCheck : public QObject {
    Q_OBJECT
private slots:
    void startsEmpty();
    void overlongTelegramIsNotCut();
    void storingAgainClearsOldBytes();
    void telegrams();
};

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

// Each telegram of telegrams.txt (one a line in hex, "68*262" for 262 bytes
// 68h, "(none)" for no byte; "#" lines are copied) checked and its fixed data
// header read, shown in telegrams.out. QUORVEN_UPDATE_GOLDEN=telegrams rewrites it.
void TestTelegramCheck::telegrams() {
    const QString base = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/interpret/telegrams");
    QFile in(base + ".txt");
    QVERIFY(in.open(QIODevice::ReadOnly));
    QStringList out;
    for (const QString& line : QString::fromUtf8(in.readAll()).split('\n', Qt::SkipEmptyParts)) {
        out << line;
        if (line.startsWith('#')) {
            continue;
        }
        QByteArray bytes;
        for (const QString& token : QString(line).remove("(none)").split(' ', Qt::SkipEmptyParts)) {
            const QByteArray byte = QByteArray::fromHex(token.section('*', 0, 0).toLatin1());
            bytes += byte.repeated(token.contains('*') ? token.section('*', 1).toInt() : 1);
        }
        Interpreter i;
        Store(i, bytes);
        const bool valid = i.CheckTelegram();
        out << QStringLiteral("= %1 \"%2\"")
                   .arg(valid ? "valid" : "invalid", QString::fromStdString(i.TelegramError()));
        out << QStringLiteral("  kind %1, high byte first %2, address %3, ident %4, manufacturer "
                              "\"%5\", version %6, medium %7 \"%8\", status %9")
                   .arg(i.TelegramKind())
                   .arg(i.IsHighByteFirst() ? "yes" : "no")
                   .arg(i.PrimaryAddress())
                   .arg(QString::fromStdString(i.IdentNumber()),
                        QString::fromStdString(i.ManufacturerCode()))
                   .arg(i.VersionByte())
                   .arg(i.MediumCode())
                   .arg(QString::fromStdString(i.MediumText()))
                   .arg(i.StatusByte());
    }
    quorven::testing::CompareGolden(out.join('\n').toUtf8() + '\n', base + ".out");
}

QTEST_APPLESS_MAIN(TestTelegramCheck)
#include "test_telegram_check.moc"
