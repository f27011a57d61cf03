// Every telegram of the shared corpus (when present) decoded whole. (Real
// meters decoded record by record are golden telegrams of the import.)
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

class TestCorpusDecode : public QObject {
    Q_OBJECT
private slots:
    void wholeCorpus();
};

// Every telegram decodes whole: each record, valid UTF-8 texts, nothing past
// the count, and each record as a fresh interpreter decodes it alone.
void TestCorpusDecode::wholeCorpus() {
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

QTEST_APPLESS_MAIN(TestCorpusDecode)
#include "test_corpus_decode.moc"
