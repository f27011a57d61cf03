// SPDX-License-Identifier: GPL-3.0-or-later
// The record walk kept with the buffer: records read in any order, out of
// range, and walked again when the buffer changes; and every telegram of the
// shared corpus (when present) decoded whole. (Where the walk finds records,
// and real meters decoded record by record, are golden telegrams of the
// import.)
#include "telegram_bytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

bool IsUtf8(const std::string& text) {
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Every telegram of the corpus: one per .hex file, one per hex line of the
// telegram lists ("*" lines are comments).
QList<QPair<QString, QByteArray>> CorpusTelegrams(const QString& root) {
    QList<QPair<QString, QByteArray>> telegrams;
    QDirIterator files(root, {"*.hex", "*.txt"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray content = file.readAll();
        if (path.endsWith(".hex")) {
            telegrams.append({path, QByteArray::fromHex(content)});
            continue;
        }
        int line = 0;
        for (const QByteArray& text : content.split('\n')) {
            ++line;
            const QByteArray trimmed = text.trimmed();
            if (!trimmed.isEmpty() && !trimmed.startsWith('*')) {
                telegrams.append(
                    {path + ":" + QString::number(line), QByteArray::fromHex(trimmed)});
            }
        }
    }
    return telegrams;
}

} // namespace

class TestRecordWalk : public QObject {
    Q_OBJECT
private slots:
    void moreFollowWithoutRecords();
    void otherKindsHaveNoRecords_data();
    void otherKindsHaveNoRecords();
    void indexOutOfRangeLeavesRecord();
    void walkFollowsTheBuffer();
    void recordsMatchAFreshWalk();
    void wholeCorpus();
};

// Fillers, then 1Fh: no record, yet more follow.
void TestRecordWalk::moreFollowWithoutRecords() {
    Interpreter in;
    Store(in, VariableTelegram("2F 1F"));
    QCOMPARE(in.CountRecords(), 0);
    QVERIFY(in.MoreRecordsFollow());
}

void TestRecordWalk::otherKindsHaveNoRecords_data() {
    QTest::addColumn<QByteArray>("telegram");
    QTest::newRow("acknowledgement") << QByteArray("\xE5");
    QTest::newRow("CI 78h") << LongFrame(0x08, "05 78 01 13 05");
    QTest::newRow("empty buffer") << QByteArray();
}

void TestRecordWalk::otherKindsHaveNoRecords() {
    QFETCH(QByteArray, telegram);
    Interpreter in;
    Store(in, telegram);
    QCOMPARE(in.CountRecords(), 0);
    QVERIFY(!in.GetRecord(0));
    QVERIFY(!in.MoreRecordsFollow());
}

void TestRecordWalk::indexOutOfRangeLeavesRecord() {
    Interpreter in;
    Store(in, VariableTelegram("01 13 05 01 13 06"));
    QVERIFY(in.GetRecord(1));
    const DecodedRecord before = in.CurrentRecord();
    QVERIFY(!in.GetRecord(2));
    QVERIFY(!in.GetRecord(-1));
    QCOMPARE(in.CurrentRecord(), before);
    QCOMPARE(in.CurrentRecord().Value, "6");
}

// A new telegram of the same length is walked again, not read through the
// old positions.
void TestRecordWalk::walkFollowsTheBuffer() {
    Interpreter in;
    Store(in, VariableTelegram("01 13 05 1F 0000"));
    QCOMPARE(in.CountRecords(), 1);
    QVERIFY(in.MoreRecordsFollow());
    Store(in, VariableTelegram("01 13 07 01 13 08"));
    QVERIFY(in.GetRecord(1));
    QCOMPARE(in.CurrentRecord().Value, "8");
    QVERIFY(!in.MoreRecordsFollow());
    QCOMPARE(in.CountRecords(), 2);
}

// Reading records in any order from the kept walk gives what a fresh
// interpreter gives for each record alone.
void TestRecordWalk::recordsMatchAFreshWalk() {
    const QByteArray telegram =
        VariableTelegram("0C 78 78563412 84 10 06 E7910000 04 6D 1A2F6511 2F 0D 13 FA 00 010203 "
                         "02 FD 17 3412 05 5B 0000C03F 1F");
    Interpreter kept;
    Store(kept, telegram);
    const int count = kept.CountRecords();
    QCOMPARE(count, 7);
    for (int i = count - 1; i >= 0; --i) {
        QVERIFY(kept.GetRecord(i));
        Interpreter fresh;
        Store(fresh, telegram);
        QVERIFY(fresh.GetRecord(i));
        QCOMPARE(kept.CurrentRecord(), fresh.CurrentRecord());
    }
}

// Every telegram decodes whole: each record, valid UTF-8 texts, nothing past
// the count, and each record as a fresh interpreter decodes it alone.
void TestRecordWalk::wholeCorpus() {
    const QString root = QStringLiteral(QUORVEN_SHARED_DIR "/corpus");
    if (!QDir(root).exists()) {
        QSKIP("the shared corpus is not present");
    }
    const auto telegrams = CorpusTelegrams(root);
    QVERIFY(telegrams.size() >= 100);
    int records = 0;
    for (const auto& [name, telegram] : telegrams) {
        Interpreter in;
        Store(in, telegram);
        const bool valid = in.CheckTelegram();
        if (name.contains("/test-frames/")) {
            QVERIFY2(valid, qPrintable(name));
        }
        const int count = in.CountRecords();
        for (int i = 0; i < count; ++i) {
            QVERIFY2(in.GetRecord(i), qPrintable(name));
            const DecodedRecord& record = in.CurrentRecord();
            for (const std::string* text :
                 {&record.Description, &record.Value, &record.UnitText, &record.FunctionText}) {
                QVERIFY2(IsUtf8(*text), qPrintable(name));
            }
            Interpreter fresh;
            Store(fresh, telegram);
            QVERIFY(fresh.GetRecord(i));
            QVERIFY2(fresh.CurrentRecord() == record, qPrintable(name));
        }
        QVERIFY(!in.GetRecord(count));
        records += count;
    }
    QVERIFY(records > 1000);
}

QTEST_APPLESS_MAIN(TestRecordWalk)
#include "test_record_walk.moc"
