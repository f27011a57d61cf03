// SPDX-License-Identifier: GPL-3.0-or-later
// Telegram files imported as the import button imports them, each compared
// with the expected files beside it in golden/: NAME.hex gives NAME.csv (the
// data table as saved, header row first) and NAME.lines (the questions asked,
// as "? caption: text", the messages shown, as "! caption: text", and the
// text area's lines, in the order they came).
// Telegrams of one file are separated by blank lines and imported in turn
// into one data table. Every question is answered No, or Yes when the file
// holds the remark line "* options: fix". With "* options: fill" the
// telegrams are not imported but put into the buffer and filled into the
// table as a read-out does, each after its "* set" line has set the read
// context (place, date, time, selection, position: the data write position,
// append=1: after the last row instead, multitel=1), and followed by the line
// "= selection, write position, record offset" they leave.
// QUORVEN_UPDATE_GOLDEN=FOLDER/NAME rewrites the expected files of NAME from
// what the import gives (to be reviewed before committing).
#include "common/golden.h"
#include "operations/hex_import.h"
#include "operations/station.h"
#include "tables/csv_writer.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <map>

using namespace quorven;

using quorven::testing::ReadFile;

namespace {

const QString kGolden = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/operations/golden");

// Answers every question alike and writes it down among the text area's lines.
class LoggingPrompter final : public Prompter {
public:
    explicit LoggingPrompter(QStringList& lines) : lines_(lines) {}
    bool fix = false;

    void showMessage(const QString& text, const QString& caption) override {
        log("! ", caption, text);
    }
    Answer askYesNo(const QString& text, const QString& caption) override {
        log("? ", caption, text);
        return fix ? Answer::Yes : Answer::No;
    }
    Answer askYesNoCancel(const QString& text, const QString& caption) override {
        return askYesNo(text, caption);
    }
    QString fileToOpen(const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&) override { return {}; }

private:
    void log(const char* kind, const QString& caption, QString text) {
        lines_ << kind + caption + ": " + text.replace('\n', "\\n").replace('\r', "\\r");
    }
    QStringList& lines_;
};

// Sets the read context from the part's "* set" line, fills the part's
// telegram into the table and writes down the context it leaves.
void Fill(Station& station, const QString& part, QStringList& lines) {
    ReadContext& ctx = station.readContext();
    const std::map<QString, QString*> texts{{"place", &ctx.installationPlace},
                                            {"date", &ctx.dateText},
                                            {"time", &ctx.timeText},
                                            {"selection", &ctx.recordSelection}};
    const QRegularExpression setting(QStringLiteral("(\\w+)=(\"[^\"]*\"|\\S*)"));
    const QString set = part.section(QStringLiteral("* set "), 1).section('\n', 0, 0);
    for (const auto& m : setting.globalMatch(set)) {
        const QString key = m.captured(1);
        const QString value = m.captured(2).remove('"');
        if (texts.count(key) != 0) {
            *texts.at(key) = value;
        } else if (key == "position") {
            station.tables().setDataWritePosition(value.toInt());
        }
        ctx.writePositionFlag = ctx.writePositionFlag && key != "append";
        station.options().MultiTel_CheckBox |= key == "multitel";
    }
    station.interpreter().StoreTelegram(ScanHexText(part.toStdString()));
    station.MBusToGrid();
    lines << QStringLiteral("= selection \"%1\", write position %2, record offset %3")
                 .arg(ctx.recordSelection)
                 .arg(station.tables().dataWritePosition())
                 .arg(ctx.recordOffset);
}

} // namespace

class TestImportGolden : public QObject {
    Q_OBJECT
private slots:
    void import_data();
    void import();
};

void TestImportGolden::import_data() {
    QTest::addColumn<QString>("base");
    QDirIterator files(kGolden, {"*.hex"}, QDir::Files, QDirIterator::Subdirectories);
    QStringList bases;
    while (files.hasNext()) {
        bases << files.next().chopped(4);
    }
    bases.sort();
    QVERIFY(bases.size() >= 20);
    for (const QString& base : bases) {
        QTest::newRow(qPrintable(base.mid(kGolden.size() + 1))) << base;
    }
}

void TestImportGolden::import() {
    QFETCH(QString, base);
    const QString text = QString::fromUtf8(ReadFile(base + ".hex"));
    QStringList lines;
    LoggingPrompter prompter(lines);
    prompter.fix = text.contains(QRegularExpression(QStringLiteral("^\\* options: fix$"),
                                                    QRegularExpression::MultilineOption));
    Station station(prompter);
    connect(&station.trace(), &Trace::lineAppended, [&lines](const QString& l) { lines << l; });
    const bool fill = text.contains(QRegularExpression(QStringLiteral("^\\* options: fill$"),
                                                       QRegularExpression::MultilineOption));
    for (const QString& part : text.split(QRegularExpression(QStringLiteral("\\n\\s*\\n")))) {
        if (!fill) {
            station.ImportText(part.toUtf8());
            continue;
        }
        Fill(station, part, lines);
    }
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    QVERIFY(WriteCsv(station.tables().dataTable(), u',', csv));
    const QByteArray log = lines.join('\n').toUtf8() + '\n';

    quorven::testing::CompareGolden(log, base + ".lines");
    quorven::testing::CompareGolden(csv.data(), base + ".csv");
}

QTEST_GUILESS_MAIN(TestImportGolden)
#include "test_import_golden.moc"
