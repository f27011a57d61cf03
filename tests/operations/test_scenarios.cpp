// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every scenario of scenarios/ on virtual time: the main window on a
// simulated bus with a slave list and settings, the steps of a user (clicks,
// menu entries, option changes, answers to dialogs) at given times, and then
// compares what came out with the files beside the scenario:
//   NAME.trace      the text area's lines, the lamp, the progress bars, the
//                   boxes, the modem window's status and button, and what the
//                   simulated modem hears and says, and the window's close,
//                   each with the virtual time it happened at
//   NAME.data.csv   the data table at the end
//   NAME.slaves.csv the slave list at the end (when "slaves" is expected)
//   NAME.FILE       each file the scenario names under "expect"/"files" (a
//                   log file); "files" at the top writes files before the start
// and the facts under "expect" (exit status, whether the window closed, the
// modem window's button caption and status text at the end).
// QUORVEN_UPDATE_GOLDEN=1 writes the files instead of comparing them.
#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/modem_window.h"
#include "common/scripted_prompter.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "sim/simulated_bus.h"
#include "tables/csv_writer.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace quorven;

namespace {

const QString kScenarioDir = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/operations/scenarios");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

QByteArray Lines(const QJsonValue& value) {
    QByteArray out;
    for (const QJsonValue& line : value.toArray()) {
        out += line.toString().toUtf8() + "\r\n";
    }
    return out;
}

QByteArray TableCsv(const GridModel& table) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.csv");
    SaveCsv(table, path, u',');
    return ReadAll(path);
}

// One run of a scenario.
class Run : public QObject {
public:
    Run(const QJsonObject& s, const QString& dir) : s_(s), dir_(dir) {}

    QByteArray log; // the lines of NAME.trace

    void start() {
        const QJsonValue bus = s_["bus"];
        if (bus.isObject()) {
            WriteAll(path("bus.json"), QJsonDocument(bus.toObject()).toJson());
        }
        WriteAll(path("quorven.ini"), "[Data]\r\n" + Lines(s_["settings"]));
        const QJsonObject files = s_["files"].toObject();
        for (auto f = files.begin(); f != files.end(); ++f) {
            QDir(dir_).mkpath(QFileInfo(path(f.key())).path());
            WriteAll(path(f.key()), Lines(f.value()));
        }
        if (s_.contains("slaveList")) {
            WriteAll(path("slist.csv"),
                     "Beép.hely,Mbus cím,Gy.sz.,Baud,Gyártó,Változat,Közeg,adatcsomag,COM "
                     "port\r\n" +
                         Lines(s_["slaveList"]));
        }
        StartupConfig config;
        config.programPath = QStringLiteral("/opt/quorven/quorven");
        config.configFolder = dir_;
        config.simulate = true;
        if (bus.isObject()) {
            config.simulationFile = path("bus.json");
        }
        for (const QJsonValue& sw : s_["switches"].toArray()) {
            config.switches << sw.toString().replace("$DIR", dir_);
        }
        form_ = std::make_unique<TForm1>(config, &prompter_, &clock_);
        form_->CreateZoomWindow();
        form_->CreateModemWindow();
        // Shown without a nested event loop, so that it is driven on virtual time.
        form_->showModemWindow = [](TForm4& window) { window.show(); };
        form_->installEventFilter(this);
        Station& st = form_->station();
        st.wallClock().Start(QDateTime(QDate(2025, 1, 31), QTime(8, 5, 0)), clock_);
        connect(&st.trace(), &Trace::lineAppended, this, [this](const QString& l) { note(l); });
        connect(&st, &Station::lampChanged, this,
                [this](bool busy) { note(busy ? "[lamp red foglalt]" : "[lamp green szabad]"); });
        connect(&st, &Station::progressChanged, this,
                [this](int bar, int pct) { note(QString("[bar%1 %2]").arg(bar).arg(pct)); });
        connect(&st, &Station::modemStatusChanged, this,
                [this](const QString& text) { note("[modem status " + text + "]"); });
        connect(&st, &Station::modemButtonChanged, this,
                [this](const QString& caption) { note("[modem button " + caption + "]"); });
        if (auto* bus = dynamic_cast<sim::SimulatedBus*>(st.ports().simulatedBus())) {
            bus->onModemTrace = [this](const QString& line) { note("[sim " + line + "]"); };
        }
        prompter_.onAsk = [this](const testing::ScriptedPrompter::Asked& a) {
            note("[" + a.kind + " " + a.caption + ": " + a.text + "]");
        };
        log.clear();
        for (const QString& line : st.trace().lines()) {
            note(line);
        }
    }

    void play() {
        std::vector<std::unique_ptr<ClockTimer>> timers;
        for (const QJsonValue& v : s_["steps"].toArray()) {
            const QJsonObject step = v.toObject();
            timers.push_back(clock_.callAfter(
                step["at"].toInt(), [this, step] { form_->Guarded([this, step] { act(step); }); }));
        }
        clock_.advanceBy(s_["runMs"].toInt(600000));
    }

    TForm1& form() { return *form_; }
    QString path(const QString& name) const { return QDir(dir_).filePath(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_.get() && event->type() == QEvent::Close && event->isAccepted()) {
            note(QStringLiteral("[window closes]"));
        }
        return false;
    }

private:
    void note(QString line) {
        line.replace(dir_, QStringLiteral("$DIR"), Qt::CaseInsensitive);
        log += QByteArray::number(clock_.now()) + "\t" + line.toUtf8() + "\n";
    }

    void act(const QJsonObject& step) {
        TForm1& w = *form_;
        if (step.contains("answerFile")) {
            prompter_.fileNames.push_back(path(step["answerFile"].toString()));
        }
        if (step.contains("answer")) {
            const QString a = step["answer"].toString();
            prompter_.answers.push_back(a == "yes"      ? Prompter::Answer::Yes
                                        : a == "cancel" ? Prompter::Answer::Cancel
                                                        : Prompter::Answer::No);
        }
        if (step.contains("check")) {
            w.findChild<QCheckBox*>(step["check"].toString())->setChecked(step["on"].toBool(true));
        }
        if (step.contains("text")) {
            w.findChild<QLineEdit*>(step["text"].toString())->setText(step["value"].toString());
        }
        if (step.contains("select")) {
            w.findChild<QComboBox*>(step["select"].toString())
                ->setCurrentText(step["value"].toString());
        }
        if (step.contains("row")) {
            const int row = step["row"].toInt();
            w.AdvStringGrid1->setCurrentIndex(row > 0 ? w.AdvStringGrid1->model()->index(row - 1, 0)
                                                      : QModelIndex());
        }
        if (step.contains("mkdir")) {
            QDir(dir_).mkpath(step["mkdir"].toString());
        }
        if (step.contains("remove")) {
            QDir(path(step["remove"].toString())).removeRecursively();
            QFile::remove(path(step["remove"].toString()));
        }
        if (step.contains("show")) {
            w.show();
        }
        if (step.contains("close")) {
            w.close();
        }
        if (step.contains("click")) {
            w.findChild<QAbstractButton*>(step["click"].toString())->click();
        }
        if (step.contains("menu")) {
            w.findChild<QAction*>(step["menu"].toString())->trigger();
        }
    }

    QJsonObject s_;
    QString dir_;
    VirtualClock clock_;
    testing::ScriptedPrompter prompter_;
    std::unique_ptr<TForm1> form_;
};

} // namespace

class TestScenarios : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void scenario_data();
    void scenario();
};

void TestScenarios::scenario_data() {
    QTest::addColumn<QString>("name");
    const QStringList files = QDir(kScenarioDir).entryList({"*.json"}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString& f : files) {
        const QString name = f.chopped(5);
        QTest::newRow(qPrintable(name)) << name;
    }
}

void TestScenarios::scenario() {
    QFETCH(QString, name);
    QJsonParseError error{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(ReadAll(kScenarioDir + "/" + name + ".json"), &error);
    QVERIFY2(doc.isObject(), qPrintable(error.errorString()));
    const QJsonObject s = doc.object();
    QTemporaryDir dir;
    Run run(s, dir.path());
    run.start();
    run.play();
    const QJsonObject expect = s["expect"].toObject();

    std::vector<std::pair<QString, QByteArray>> outputs = {
        {".trace", run.log}, {".data.csv", TableCsv(run.form().station().tables().dataTable())}};
    if (expect["slaves"].toBool()) {
        outputs.push_back({".slaves.csv", TableCsv(run.form().station().tables().slaveList())});
    }
    for (const QJsonValue& f : expect["files"].toArray()) {
        outputs.push_back(
            {"." + QString(f.toString()).replace('/', '-'), ReadAll(run.path(f.toString()))});
    }
    const bool update = qEnvironmentVariableIntValue("QUORVEN_UPDATE_GOLDEN") == 1;
    for (const auto& [suffix, actual] : outputs) {
        const QString golden = kScenarioDir + "/" + name + suffix;
        if (update) {
            WriteAll(golden, actual);
            continue;
        }
        const QByteArray wanted = ReadAll(golden);
        if (actual != wanted) {
            const QList<QByteArray> a = actual.split('\n');
            const QList<QByteArray> b = wanted.split('\n');
            int i = 0;
            while (i < a.size() && i < b.size() && a[i] == b[i]) {
                ++i;
            }
            QFAIL(
                qPrintable(QString("%1 differs at line %2:\n  got:  %3\n  want: %4")
                               .arg(name + suffix)
                               .arg(i + 1)
                               .arg(QString::fromUtf8(a.value(i)), QString::fromUtf8(b.value(i)))));
        }
    }
    if (expect.contains("exitStatus")) {
        QCOMPARE(run.form().exitStatus(), expect["exitStatus"].toInt());
    }
    if (expect.contains("closed")) {
        QCOMPARE(run.form().isClosed(), expect["closed"].toBool());
    }
    if (expect.contains("modemButton")) {
        QCOMPARE(run.form().Form4()->Moddial_Button->text(), expect["modemButton"].toString());
        QCOMPARE(run.form().Form4()->Modstat_StaticText->text(), expect["modemStatus"].toString());
    }
}

QTEST_MAIN(TestScenarios)
#include "test_scenarios.moc"
