// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every scenario of scenarios/ on virtual time: the main window on a
// simulated bus with a slave list and settings, the steps of a user (clicks,
// menu entries, option changes, answers to dialogs) at given times, and then
// compares what came out with the files beside the scenario ("faults" puts
// faults of the ports on the bus given, or on the demonstration bus):
//   NAME.trace      the text area's lines, the lamp, the progress bars, the
//                   boxes, the status-bar notes, the modem window's status and
//                   button, what the simulated modem hears and says, and the
//                   window's close, each with the virtual time it happened at
//   NAME.data.csv   the data table at the end
//   NAME.slaves.csv the slave list at the end (when "slaves" is expected)
//   NAME.FILE       each file the scenario names under "expect"/"files" (a
//                   log file); "files" at the top writes files before the start;
//                   a step's "diskSpace" leaves that many bytes for the log file
// and the facts under "expect" (exit status, whether the window closed, the
// modem window's button caption and status text at the end; "absent" names
// files the run must not leave).
// The keys a scenario may hold are the tables kScenarioKeys, kStepKeys and
// kExpectKeys below; anything else, a control that the windows do not have,
// a combo-box item that is not there and a file that was not written fail the
// scenario with its file, line and key. The scenarios of refused/ must fail
// so, each with the text refused/refusals.txt gives it.
// QUORVEN_UPDATE_GOLDEN=NAME writes the files of the scenarios it names
// instead of comparing them (common/golden.h).
#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/modem_window.h"
#include "common/data_rows.h"
#include "common/golden.h"
#include "common/json_keys.h"
#include "common/scripted_prompter.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "sim/bus_file.h"
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

#include <cerrno>
#include <map>
#include <memory>
#include <vector>

#include <unistd.h>

using namespace quorven;
using quorven::testing::JsonKey;
using quorven::testing::JsonKind;
using quorven::testing::ReadFile;

namespace {

const QString kScenarioDir = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/operations/scenarios");
const QString kRefusedDir = kScenarioDir + QStringLiteral("/refused");

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
    return ReadFile(path);
}

// A file a scenario names lies inside the run's folder.
bool InsideRunFolder(const QString& name) {
    return !name.isEmpty() && QDir::isRelativePath(name) && !name.split(u'/').contains("..");
}

const JsonKey kScenarioKeys[] = {
    {"about", JsonKind::String}, {"bus", JsonKind::Any},         {"settings", JsonKind::Lines},
    {"files", JsonKind::Object}, {"slaveList", JsonKind::Lines}, {"switches", JsonKind::Lines},
    {"steps", JsonKind::Array},  {"runMs", JsonKind::Number},    {"expect", JsonKind::Object},
    {"faults", JsonKind::Array},
};

const JsonKey kExpectKeys[] = {
    {"slaves", JsonKind::Bool},        {"files", JsonKind::Lines},
    {"exitStatus", JsonKind::Number},  {"closed", JsonKind::Bool},
    {"modemButton", JsonKind::String}, {"modemStatus", JsonKind::String},
    {"absent", JsonKind::Lines},
};

// One step of a scenario: its keys and the line each stands on.
struct Step {
    QJsonObject keys;
    std::map<QString, int> lines;
    std::string path; // "steps[3]"
};

class Run;
using StepAction = void (Run::*)(const Step&, const QJsonValue&);

// The keys of a step, in the order their actions run; a key without an
// action belongs with another one.
struct StepKey {
    JsonKey key;
    StepAction action;
};

// One run of a scenario. The first problem it meets ends its steps and is
// the scenario's failure.
class Run : public QObject {
public:
    Run(const QJsonObject& s, std::vector<Step> steps, const QString& file, const QString& dir)
        : s_(s), steps_(std::move(steps)), file_(file), dir_(dir) {}

    QString problem;

    static const std::vector<StepKey>& StepKeys();

    void start() {
        QJsonValue bus = s_["bus"];
        if (s_.contains("faults")) {
            // The faults of the port, on the bus given or the demonstration bus.
            QJsonObject withFaults = bus.isObject()
                                         ? bus.toObject()
                                         : QJsonDocument::fromJson(sim::DemoBusJson()).object();
            withFaults["faults"] = s_["faults"];
            bus = withFaults;
        }
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
        connect(&st, &Station::statusNote, this,
                [this](const QString& text) { note("[note " + text + "]"); });
        connect(&st, &Station::modemButtonChanged, this,
                [this](const QString& caption) { note("[modem button " + caption + "]"); });
        if (auto* bus = dynamic_cast<sim::SimulatedBus*>(st.ports().simulatedBus())) {
            bus->onModemTrace = [this](const QString& line) { note("[sim " + line + "]"); };
        }
        prompter_.onAsk = [this](const testing::ScriptedPrompter::Asked& a) {
            note("[" + a.kind + " " + a.caption + ": " + a.text + "]");
        };
        log_.clear();
        for (const QString& line : st.trace().lines()) {
            note(line);
        }
    }

    void play() {
        std::vector<std::unique_ptr<ClockTimer>> timers;
        for (const Step& step : steps_) {
            timers.push_back(clock_.callAfter(step.keys["at"].toInt(), [this, &step] {
                form_->Guarded([this, &step] { act(step); });
            }));
        }
        clock_.advanceBy(s_["runMs"].toInt(600000));
    }

    // The lines of NAME.trace.
    QByteArray trace() {
        endRepeats();
        return log_;
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
    // A line that comes a fourth time in a row and after is counted instead
    // (a progress bar that stands still for a long cycle).
    void note(QString line) {
        line.replace(dir_, QStringLiteral("$DIR"), Qt::CaseInsensitive);
        const QByteArray text = line.toUtf8();
        if (text == last_ && ++repeats_ >= kShownRepeats) {
            lastAt_ = clock_.now();
            return;
        }
        if (text != last_) {
            endRepeats();
            last_ = text;
        }
        log_ += QByteArray::number(clock_.now()) + "\t" + text + "\n";
    }
    void endRepeats() {
        if (repeats_ >= kShownRepeats) {
            log_ += QByteArray::number(lastAt_) + "\t(the line above " +
                    QByteArray::number(repeats_ - kShownRepeats + 1) + " times more)\n";
        }
        repeats_ = 0;
    }

    void fail(const Step& step, const QString& key, const QString& what) {
        if (problem.isEmpty()) {
            problem =
                QStringLiteral("%1:%2: %3: %4")
                    .arg(file_)
                    .arg(step.lines.count(key) != 0 ? step.lines.at(key) : 0)
                    .arg(QString::fromStdString(sim::JsonMemberPath(step.path, key.toStdString())),
                         what);
        }
    }

    void act(const Step& step) {
        for (const StepKey& k : StepKeys()) {
            const QString key = QString::fromLatin1(k.key.name);
            if (problem.isEmpty() && k.action != nullptr && step.keys.contains(key)) {
                (this->*k.action)(step, step.keys[key]);
            }
        }
    }

    // The control of that name and kind in the windows; a failure when there is none.
    template <typename Control>
    Control* named(const Step& step, const QString& key, const char* kind) {
        const QString name = step.keys[key].toString();
        auto* control = form_->findChild<Control*>(name);
        if (control == nullptr) {
            fail(step, key, QStringLiteral("the windows have no %1 \"%2\"").arg(kind, name));
        }
        return control;
    }
    // A file of the run's folder.
    bool inside(const Step& step, const QString& key) {
        if (!InsideRunFolder(step.keys[key].toString())) {
            fail(step, key, QStringLiteral("not a file of the run's folder"));
            return false;
        }
        return true;
    }

    void answerFile(const Step& step, const QJsonValue& v) {
        if (inside(step, "answerFile")) {
            prompter_.fileNames.push_back(path(v.toString()));
        }
    }
    void answer(const Step& step, const QJsonValue& v) {
        static const std::map<QString, Prompter::Answer> kAnswers{
            {"yes", Prompter::Answer::Yes},
            {"no", Prompter::Answer::No},
            {"cancel", Prompter::Answer::Cancel}};
        const auto found = kAnswers.find(v.toString());
        if (found == kAnswers.end()) {
            fail(step, "answer", QStringLiteral("expected \"yes\", \"no\" or \"cancel\""));
            return;
        }
        prompter_.answers.push_back(found->second);
    }
    void check(const Step& step, const QJsonValue&) {
        if (auto* box = named<QCheckBox>(step, "check", "check box")) {
            box->setChecked(step.keys["on"].toBool(true));
        }
    }
    void text(const Step& step, const QJsonValue&) {
        if (auto* edit = named<QLineEdit>(step, "text", "text field")) {
            edit->setText(step.keys["value"].toString());
        }
    }
    void select(const Step& step, const QJsonValue&) {
        auto* box = named<QComboBox>(step, "select", "drop-down list");
        const QString item = step.keys["value"].toString();
        if (box != nullptr && !box->isEditable() && box->findText(item) < 0) {
            fail(step, "value",
                 QStringLiteral("\"%1\" is not an item of %2").arg(item, box->objectName()));
        } else if (box != nullptr) {
            box->setCurrentText(item);
        }
    }
    void row(const Step&, const QJsonValue& v) {
        const int row = v.toInt();
        form_->AdvStringGrid1->setCurrentIndex(
            row > 0 ? form_->AdvStringGrid1->model()->index(row - 1, 0) : QModelIndex());
    }
    void mkdir(const Step& step, const QJsonValue& v) {
        if (inside(step, "mkdir")) {
            QDir(dir_).mkpath(v.toString());
        }
    }
    void remove(const Step& step, const QJsonValue& v) {
        if (inside(step, "remove")) {
            QDir(path(v.toString())).removeRecursively();
            QFile::remove(path(v.toString()));
        }
    }
    void show(const Step&, const QJsonValue&) { form_->show(); }
    void close(const Step&, const QJsonValue&) { form_->close(); }
    void click(const Step& step, const QJsonValue&) {
        if (auto* button = named<QAbstractButton>(step, "click", "button")) {
            button->click();
        }
    }
    void menu(const Step& step, const QJsonValue&) {
        if (auto* action = named<QAction>(step, "menu", "menu entry")) {
            action->trigger();
        }
    }
    // The log file's disk has this many bytes free from now on (-1: plenty).
    void diskSpace(const Step&, const QJsonValue& v) {
        auto left = std::make_shared<qint64>(v.toInteger());
        form().station().pollingLogging().setLogWrite([left](int fd, const char* data,
                                                             qint64 size) -> qint64 {
            if (*left == 0) {
                errno = ENOSPC;
                return -1;
            }
            const qint64 n = ::write(fd, data, size_t(*left < 0 ? size : std::min(size, *left)));
            *left -= *left > 0 && n > 0 ? n : 0;
            return n;
        });
    }

    static constexpr int kShownRepeats = 3;
    QByteArray log_;
    QByteArray last_;
    int repeats_ = 0;
    qint64 lastAt_ = 0;
    QJsonObject s_;
    std::vector<Step> steps_;
    QString file_;
    QString dir_;
    VirtualClock clock_;
    testing::ScriptedPrompter prompter_;
    std::unique_ptr<TForm1> form_;
};

const std::vector<StepKey>& Run::StepKeys() {
    static const std::vector<StepKey> keys{
        {{"at", JsonKind::Number}, nullptr},
        {{"answerFile", JsonKind::String}, &Run::answerFile},
        {{"answer", JsonKind::String}, &Run::answer},
        {{"check", JsonKind::String}, &Run::check},
        {{"on", JsonKind::Bool, "check"}, nullptr},
        {{"text", JsonKind::String}, &Run::text},
        {{"select", JsonKind::String, "value"}, &Run::select},
        {{"value", JsonKind::String, "text|select"}, nullptr},
        {{"row", JsonKind::Number}, &Run::row},
        {{"mkdir", JsonKind::String}, &Run::mkdir},
        {{"remove", JsonKind::String}, &Run::remove},
        {{"diskSpace", JsonKind::Number}, &Run::diskSpace},
        {{"show", JsonKind::True}, &Run::show},
        {{"close", JsonKind::True}, &Run::close},
        {{"click", JsonKind::String}, &Run::click},
        {{"menu", JsonKind::String}, &Run::menu},
    };
    return keys;
}

// What a scenario produced, each output beside the suffix of its golden file.
using Outputs = std::vector<std::pair<QString, QByteArray>>;

// Reads the scenario NAME of `folder`, checks its keys, plays it and
// collects what it produced; the first problem met, or nothing.
QString Play(const QString& folder, const QString& name, Outputs& outputs) {
    const QString file = name + QStringLiteral(".json");
    const QByteArray bytes = ReadFile(folder + "/" + file);
    std::string error;
    const auto tree = sim::ReadJson(bytes.toStdString(), &error);
    if (!tree) {
        return file + ": " + QString::fromStdString(error);
    }
    QString problem = testing::CheckJsonKeys(*tree, kScenarioKeys, file, "");
    std::vector<Step> steps;
    const QJsonObject s = QJsonDocument::fromJson(bytes).object();
    if (const sim::JsonValue* bus = testing::JsonMember(*tree, "bus");
        problem.isEmpty() && bus != nullptr && bus->kind != sim::JsonValue::Kind::Object &&
        !(bus->kind == sim::JsonValue::Kind::String && bus->text == "demo")) {
        problem = testing::JsonProblem(file, *bus, "bus",
                                       QStringLiteral("expected a meters file or \"demo\""));
    }
    if (const sim::JsonValue* expect = testing::JsonMember(*tree, "expect");
        problem.isEmpty() && expect != nullptr) {
        problem = testing::CheckJsonKeys(*expect, kExpectKeys, file, "expect");
    }
    if (const sim::JsonValue* files = testing::JsonMember(*tree, "files"); files != nullptr) {
        for (const sim::JsonMember& f : files->members) {
            const QString kind = testing::JsonKindProblem(f.value, JsonKind::Lines);
            if (problem.isEmpty() &&
                (!kind.isEmpty() || !InsideRunFolder(QString::fromStdString(f.key)))) {
                problem = testing::JsonProblem(
                    file, f.value, sim::JsonMemberPath("files", f.key),
                    kind.isEmpty() ? QStringLiteral("not a file of the run's folder") : kind);
            }
        }
    }
    const sim::JsonValue* stepList = testing::JsonMember(*tree, "steps");
    std::vector<JsonKey> stepKeys;
    for (const StepKey& k : Run::StepKeys()) {
        stepKeys.push_back(k.key);
    }
    for (std::size_t i = 0; problem.isEmpty() && stepList != nullptr && i < stepList->items.size();
         ++i) {
        const sim::JsonValue& item = stepList->items[i];
        const std::string path = sim::JsonItemPath("steps", i);
        problem = testing::CheckJsonKeys(item, stepKeys, file, path);
        if (problem.isEmpty() && testing::JsonMember(item, "at") == nullptr) {
            problem = testing::JsonProblem(file, item, path, QStringLiteral("no \"at\""));
        } else if (problem.isEmpty() && item.members.size() < 2) {
            problem = testing::JsonProblem(file, item, path, QStringLiteral("does nothing"));
        }
        Step step{s["steps"].toArray().at(qsizetype(i)).toObject(), {}, path};
        for (const sim::JsonMember& m : item.members) {
            step.lines[QString::fromStdString(m.key)] = m.value.line;
        }
        steps.push_back(std::move(step));
    }
    if (!problem.isEmpty()) {
        return problem;
    }

    QTemporaryDir dir;
    Run run(s, std::move(steps), file, dir.path());
    run.start();
    run.play();
    if (!run.problem.isEmpty()) {
        return run.problem;
    }
    static const sim::JsonValue kNone;
    const sim::JsonValue* expectNode = testing::JsonMember(*tree, "expect");
    const sim::JsonValue& expected = expectNode != nullptr ? *expectNode : kNone;
    outputs = {{".trace", run.trace()},
               {".data.csv", TableCsv(run.form().station().tables().dataTable())}};
    if (s["expect"].toObject()["slaves"].toBool()) {
        outputs.push_back({".slaves.csv", TableCsv(run.form().station().tables().slaveList())});
    }
    const sim::JsonValue* files = testing::JsonMember(expected, "files");
    for (std::size_t i = 0; files != nullptr && i < files->items.size(); ++i) {
        const QString name = QString::fromStdString(files->items[i].text);
        const std::string at = sim::JsonItemPath("expect.files", i);
        if (!InsideRunFolder(name)) {
            return testing::JsonProblem(file, files->items[i], at,
                                        QStringLiteral("not a file of the run's folder"));
        }
        if (!QFileInfo(run.path(name)).isFile()) {
            return testing::JsonProblem(file, files->items[i], at,
                                        QStringLiteral("the run wrote no file \"%1\"").arg(name));
        }
        outputs.push_back({"." + QString(name).replace('/', '-'), ReadFile(run.path(name))});
    }
    // Files the run must not have left behind (a list it must not save).
    const sim::JsonValue* absent = testing::JsonMember(expected, "absent");
    for (std::size_t i = 0; absent != nullptr && i < absent->items.size(); ++i) {
        const QString name = QString::fromStdString(absent->items[i].text);
        if (!InsideRunFolder(name) || QFileInfo::exists(run.path(name))) {
            return testing::JsonProblem(file, absent->items[i],
                                        sim::JsonItemPath("expect.absent", i),
                                        QStringLiteral("the run left a file \"%1\"").arg(name));
        }
    }
    // The facts at the end, each compared with the value written in the file.
    TForm1& w = run.form();
    const std::map<std::string, QString> facts{
        {"exitStatus", QString::number(w.exitStatus())},
        {"closed", w.isClosed() ? "true" : "false"},
        {"modemButton", w.Form4()->Moddial_Button->text()},
        {"modemStatus", w.Form4()->Modstat_StaticText->text()}};
    for (const sim::JsonMember& m : expected.members) {
        const auto fact = facts.find(m.key);
        const QString wanted = QString::fromStdString(m.value.kind == sim::JsonValue::Kind::Bool
                                                          ? (m.value.boolean ? "true" : "false")
                                                          : m.value.text);
        if (fact != facts.end() && fact->second != wanted) {
            return testing::JsonProblem(
                file, m.value, "expect." + m.key,
                QStringLiteral("got \"%1\", want \"%2\"").arg(fact->second, wanted));
        }
    }
    return {};
}

QStringList ScenarioNames(const QString& folder) {
    QStringList names;
    for (const QString& f : QDir(folder).entryList({"*.json"}, QDir::Files, QDir::Name)) {
        names << f.chopped(5);
    }
    return names;
}

} // namespace

class TestScenarios : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void scenario_data();
    void scenario();
    void refused_data();
    void refused();
};

void TestScenarios::scenario_data() {
    QTest::addColumn<QString>("name");
    const QStringList names = ScenarioNames(kScenarioDir);
    QVERIFY(!names.isEmpty());
    for (const QString& name : names) {
        QTest::newRow(qPrintable(name)) << name;
    }
}

void TestScenarios::scenario() {
    QFETCH(QString, name);
    Outputs outputs;
    const QString problem = Play(kScenarioDir, name, outputs);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    for (const auto& [suffix, actual] : outputs) {
        const QString golden = kScenarioDir + "/" + name + suffix;
        testing::RewriteGolden(actual, golden);
        QVERIFY2(QFile::exists(golden),
                 qPrintable("no golden file " + golden + "; QUORVEN_UPDATE_GOLDEN=" + name +
                            " writes it"));
        const QByteArray wanted = ReadFile(golden);
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
}

// Scenarios the driver must refuse, each with the failure it must give
// (refused/refusals.txt: "name | failure").
void TestScenarios::refused_data() {
    const QString list = kRefusedDir + "/refusals.txt";
    testing::AddRowsFromFile(list, {"failure"});
    const QString rows = QString::fromUtf8(ReadFile(list));
    for (const QString& name : ScenarioNames(kRefusedDir)) {
        QVERIFY2(rows.contains("\n" + name + " |"), qPrintable(name + " has no row in " + list));
    }
}

void TestScenarios::refused() {
    QFETCH(QString, failure);
    Outputs outputs;
    QCOMPARE(Play(kRefusedDir, QString::fromUtf8(QTest::currentDataTag()), outputs), failure);
}

QTEST_MAIN(TestScenarios)
#include "test_scenarios.moc"
