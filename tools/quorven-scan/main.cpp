// SPDX-License-Identifier: GPL-3.0-or-later
// quorven-scan [OPTION]...
//
// The searches without a window: the primary or secondary search runs on the
// station as the buttons run it, the question whether to erase the slave list
// answered Yes. The slave list found goes to standard output as CSV (the
// format of the slave-list file, header row first); the text area's lines go
// to standard error. With a broker (section [MQTT] of the settings file, or
// --mqtt), every meter found is then read once and its reading published.
#include "app/ini_file.h"
#include "app/program_options.h"
#include "app/settings.h"
#include "cli/command_help.h"
#include "link/real_clock.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "publish/station_publishing.h"
#include "tables/csv_writer.h"
#include "tables/separator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <array>
#include <memory>

using namespace quorven;

namespace {

constexpr int kFound = 0;
constexpr int kNoneFound = 1;
constexpr int kUsageOrPort = 2;

// clang-format off
constexpr HelpRow kOptions[] = {
    {"--simulate", "[=FILE]", "search the simulated bus of the meters file FILE, or the demonstration bus"},
    {"--virtual-time", "", "with --simulate: every wait and time-out counts, none takes real time"},
    {"--config-dir", "=DIR", "the folder of quorven.ini, whose port, [Ports] map and TIMEOUT are used"},
    {"--port", "=COMn", "search on port COMn instead of the settings file's"},
    {"--baud", "=RATE", "the search baud rate: 2400 (the default), 300, 2400+300 or 9600"},
    {"--secondary", "", "search by identification number instead of by primary address"},
    {"--enhanced", "", "with --secondary: each selection and data request repeated (IDS+)"},
    {"--sndnke", "", "SND_NKE to each address before it is asked (S&ND_NKE)"},
    {"--appres", "", "an application reset to all meters before the search (App. Res.)"},
    {"--mdk", "", "a level converter powered by the lines: RTS off (MDK)"},
    {"--no-parity", "", "8N1 instead of 8E1 (GSM-modem)"},
    {"--mqtt", "=URL", "after the search, read every meter found once and publish it to the MQTT broker at URL (in place of Url in section [MQTT] of quorven.ini, which also publishes)"},
    {"--separator", "=C", "separate the cells by C instead of \",\" (not a letter, digit, quote or line break)"},
};
// clang-format on

const ProgramHelp kHelp{
    "quorven-scan",
    "[OPTION]...",
    "Searches the bus for meters and prints the slave list found as CSV.",
    kOptions,
    "",
    {},
    "Exit status: 0 when at least one meter was found, 1 when none, 2 for a usage error or a "
    "port that cannot be opened.",
};

// The search baud rate list's entries, as --baud names them.
constexpr std::array<const char*, 4> kBaudEntries{"2400", "300", "2400+300", "9600"};

struct Arguments {
    ProgramOptions program; // --simulate, --virtual-time, --config-dir
    QString port;
    int baudEntry = 0;
    bool secondary = false;
    Options options;
};

QString ParseArguments(const QStringList& args, Arguments& out) {
    out.program = ParseProgramOptions(args);
    if (!out.program.problems.isEmpty() || !out.program.refusals.isEmpty()) {
        return (out.program.problems + out.program.refusals).first();
    }
    Options& o = out.options;
    o.SND_NKE_CheckBox = false;
    for (const QString& arg : out.program.switches) {
        if (arg.startsWith(QLatin1String("--port="))) {
            const int port = PortFromSetting(arg.mid(7));
            if (port == 0) {
                return QStringLiteral("the port must be COM1 to COM255, not ") + arg.mid(7);
            }
            out.port = PortName(port);
        } else if (arg.startsWith(QLatin1String("--baud="))) {
            const QString rate = arg.mid(7);
            out.baudEntry = -1;
            for (std::size_t i = 0; i < kBaudEntries.size(); ++i) {
                if (rate == QLatin1String(kBaudEntries[i])) {
                    out.baudEntry = static_cast<int>(i);
                }
            }
            if (out.baudEntry < 0) {
                return QStringLiteral("the baud rate must be 2400, 300, 2400+300 or 9600, not ") +
                       rate;
            }
        } else if (arg.startsWith(QLatin1String("--separator="))) {
            const QString c = arg.mid(12);
            if (c.size() != 1 || !IsValidSeparator(c.front())) {
                return QStringLiteral("the separator must be one character, not a letter, "
                                      "digit, quote, line break, character 11 or NUL");
            }
            o.separator = c.front();
        } else if (arg == QLatin1String("--secondary")) {
            out.secondary = true;
        } else if (arg == QLatin1String("--enhanced")) {
            o.IDS_CheckBox = true;
        } else if (arg == QLatin1String("--sndnke")) {
            o.SND_NKE_CheckBox = true;
        } else if (arg == QLatin1String("--appres")) {
            o.AppRes_CheckBox = true;
        } else if (arg == QLatin1String("--mdk")) {
            o.MDK_CheckBox = true;
        } else if (arg == QLatin1String("--no-parity")) {
            o.NP_CheckBox = true;
        } else {
            return QStringLiteral("unexpected argument ") + arg;
        }
    }
    if (o.IDS_CheckBox && !out.secondary) {
        return QStringLiteral("--enhanced belongs to the secondary search: give --secondary too");
    }
    return {};
}

// Answers the erase question Yes (the list starts empty anyway) and writes
// every box to standard error.
class CommandLinePrompter final : public Prompter {
public:
    void showMessage(const QString& text, const QString& caption) override {
        PrintErrorLine(caption + QStringLiteral(": ") + text);
    }
    Answer askYesNo(const QString&, const QString&) override { return Answer::Yes; }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Yes; }
    QString fileToOpen(const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&) override { return {}; }
};

QString ConfigFolderOf(const Arguments& args) {
    return ConfigFolder(args.program.configDir, QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The settings are the program's, wherever it keeps them.
    QCoreApplication::setApplicationName(QStringLiteral("quorven"));
    const QStringList argList = app.arguments().mid(1);
    if (const auto status = AnswerCommonOptions(kHelp, argList)) {
        return *status;
    }
    Arguments args;
    if (const QString problem = ParseArguments(argList, args); !problem.isEmpty()) {
        return RefuseUsage(kHelp, problem);
    }
    QStringList report;
    const QString configFolder = ConfigFolderOf(args);
    const IniFile ini = IniFile::load(QDir(configFolder).filePath(QStringLiteral("quorven.ini")));
    const AppSettings settings = ReadSettings(ini, &report);
    const MqttSettings mqtt = MqttSettingsOfRun(ini.entries(QString::fromUtf16(kMqttSection)),
                                                args.program.mqttUrl, configFolder, &report);
    if (args.port.isEmpty()) {
        args.port = PortName(settings.port);
        if (args.port.isEmpty()) {
            return RefuseUsage(kHelp, QStringLiteral("the settings select no port: give --port"));
        }
    }

    std::unique_ptr<Clock> clock;
    if (args.program.virtualTime) {
        clock = std::make_unique<VirtualClock>();
    } else {
        clock = std::make_unique<RealClock>();
    }
    CommandLinePrompter prompter;
    Station station(prompter);
    QObject::connect(&station.trace(), &Trace::lineAppended, &PrintErrorLine);
    station.ConnectPorts(*clock,
                         {settings.portDevices, args.program.simulate, args.program.simulationFile},
                         &report);
    station.ports().systemPorts().onNotice = &PrintErrorLine;
    for (const QString& line : report) {
        PrintErrorLine(line);
    }
    station.ApplyLinkSettings(settings.stxRetries, settings.additionalTimeoutMs);
    Options& o = station.options();
    o = args.options;
    o.SB_ComboBox = args.baudEntry;
    o.MB1Port_ComboBox = args.port;
    station.MDK_CheckBoxClick(o.MDK_CheckBox);
    std::unique_ptr<StationPublishing> publishing;
    if (mqtt.enabled()) {
        publishing =
            std::make_unique<StationPublishing>(station, mqtt, MqttStoreFolder(configFolder));
        if (!publishing->Start()) {
            return kUsageOrPort;
        }
    }

    try {
        if (args.secondary) {
            station.IDS_ButtonClick();
        } else {
            station.PS_ButtonClick();
        }
        if (publishing && station.tables().SlaveCount() > 0) {
            station.MBRead_ButtonClick();
        }
        if (publishing) {
            publishing->Finish(kFinishWaitMs);
        }
    } catch (const std::exception& e) {
        PrintErrorLine(QStringLiteral("quorven-scan: ") + QString::fromUtf8(e.what()));
        return kUsageOrPort;
    }

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !WriteCsv(station.tables().slaveList(), o.separator, out) || !out.flush()) {
        PrintErrorLine(QStringLiteral("quorven-scan: cannot write the list to standard output"));
        return kUsageOrPort;
    }
    return station.tables().SlaveCount() > 0 ? kFound : kNoneFound;
}
