#include "app/command_line.h"

#include <QTest>

using namespace quorven;
using Kind = CommandAction::Kind;

Q_DECLARE_METATYPE(std::vector<CommandAction>)

namespace {

CommandAction Flag(Kind k, bool on) {
    return {k, on, {}, 0};
}
CommandAction Text(Kind k, const QString& t) {
    return {k, false, t, 0};
}
CommandAction Number(Kind k, int n) {
    return {k, false, {}, n};
}

const QString kProgram = "/opt/quorven/quorven";

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void noParameters();
    void parse_data();
    void parse();
    void state_data();
    void state();
};

void TestCommandLine::noParameters() {
    const CommandLine c = ParseCommandLine({}, kProgram);
    QVERIFY(!c.valid);
    QVERIFY(c.lines.isEmpty());
    QVERIFY(c.actions.empty());
}

void TestCommandLine::parse_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("lines"); // after "Dir: "
    QTest::addColumn<std::vector<CommandAction>>("actions");

    QTest::newRow("lower-case port, baud and logging")
        << QStringList{"/c:3", "/b:300", "/l"} << true
        << QStringList{"Parameter: /C:3", "Parameter: /B:300", "Baudrate 300 baud", "Parameter: /L"}
        << std::vector<CommandAction>{Number(Kind::Port, 3), Number(Kind::SearchBaud, 1)};
    QTest::newRow("baud 4800 refused")
        << QStringList{"/B:4800", "/N"} << false
        << QStringList{"Parameter: /B:4800", "4800 baud not allowed!", "Parameter: /N"}
        << std::vector<CommandAction>{Flag(Kind::SndNke, true)};
    QTest::newRow("baud with leading zero refused")
        << QStringList{"/B:0300"} << false
        << QStringList{"Parameter: /B:0300", "0300 baud not allowed!"}
        << std::vector<CommandAction>{};
    QTest::newRow("COM 256 refused")
        << QStringList{"/C:256"} << false
        << QStringList{"Parameter: /C:256", "COM 256 not allowed!"} << std::vector<CommandAction>{};
    QTest::newRow("COM not a number refused, a later good one does not repair")
        << QStringList{"/C:x1", "/C:255"} << false
        << QStringList{"Parameter: /C:X1", "COM x1 not allowed!", "Parameter: /C:255"}
        << std::vector<CommandAction>{Number(Kind::Port, 255)};
    QTest::newRow("check boxes in order")
        << QStringList{"/u", "/NN", "/R", "/nr", "/NU"} << true
        << QStringList{"Parameter: /U", "Parameter: /NN", "Parameter: /R", "Parameter: /NR",
                       "Parameter: /NU"}
        << std::vector<CommandAction>{Flag(Kind::MultiTel, true), Flag(Kind::SndNke, false),
                                      Flag(Kind::AppReset, true), Flag(Kind::AppReset, false),
                                      Flag(Kind::MultiTel, false)};
    QTest::newRow("values keep their case")
        << QStringList{"/t:0036 1 234", "/k:at&f^M"} << true
        << QStringList{"Parameter: /T:0036 1 234", "Parameter: /K:AT&F^M"}
        << std::vector<CommandAction>{Text(Kind::PhoneNumber, "0036 1 234"),
                                      Text(Kind::ModemInit, "at&f^M")};
    QTest::newRow("cycle time: decimal taken, others ignored silently")
        << QStringList{"/I:60", "/I:1x", "/I:-5", "/I:123456"} << true
        << QStringList{"Parameter: /I:60", "Parameter: /I:1X", "Parameter: /I:-5",
                       "Parameter: /I:123456"}
        << std::vector<CommandAction>{Text(Kind::CycleTime, "60")};
    QTest::newRow("three characters without a value, or unknown, do nothing")
        << QStringList{"/MX", "/T:", "/Q", "x", "/NNX", "/LOG"} << true
        << QStringList{"Parameter: /MX", "Parameter: /T:",  "Parameter: /Q",
                       "Parameter: X",   "Parameter: /NNX", "Parameter: /LOG"}
        << std::vector<CommandAction>{};
}

void TestCommandLine::parse() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);
    const CommandLine c = ParseCommandLine(args, kProgram);
    QTEST(c.valid, "valid");
    lines.prepend("Dir: " + kProgram);
    QCOMPARE(c.lines, lines);
    QTEST(c.actions, "actions");
}

void TestCommandLine::state_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("modem");
    QTest::addColumn<bool>("logging");
    QTest::addColumn<bool>("stayOpen");
    QTest::addColumn<bool>("dateStamp");
    QTest::addColumn<QString>("logFile");
    QTest::addColumn<QString>("slaveFile");
    QTest::newRow("defaults") << QStringList{"/Q"} << false << false << false << false << "Log.csv"
                              << "";
    QTest::newRow("all of them") << QStringList{"/m", "/L",           "/x",
                                                "/A", "/Z:Daten.CSV", "/s:C:/M/Liste.csv"}
                                 << true << true << true << true << "Daten.CSV"
                                 << "C:/M/Liste.csv";
}

void TestCommandLine::state() {
    QFETCH(QStringList, args);
    const CommandLine c = ParseCommandLine(args, kProgram);
    QTEST(c.state.modemStart, "modem");
    QTEST(c.state.autoLogging, "logging");
    QTEST(c.state.stayOpen, "stayOpen");
    QTEST(c.state.dateStamp, "dateStamp");
    QTEST(c.state.logFileName, "logFile");
    QTEST(c.state.slaveFile, "slaveFile");
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
