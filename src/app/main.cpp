// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"
#include "app/port_catalog.h"
#include "app/program_help.h"
#include "app/program_options.h"
#include "app/settings.h"
#include "app/trace_file.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "operations/station_ports.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

// Started with switches on a machine without a display (a scheduled read-out),
// the program runs on Qt's offscreen platform instead of failing to start.
void ChooseOffscreenWithoutDisplay(int argc) {
    const bool hasDisplay =
        qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (argc > 1 && !hasDisplay && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#else
    static_cast<void>(argc);
    static_cast<void>(hasDisplay);
#endif
}

// Without a display Qt warns that the offscreen platform cannot pass size
// hints on and that there is no runtime folder: true, and nothing a user of
// an unattended run can act on.
void QuietOffscreenWarnings() {
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text == QLatin1String("This plugin does not support propagateSizeHints()") ||
                text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
                return;
            }
            if (previous != nullptr) {
                previous(type, context, text);
            }
        });
}

bool WantsPortList(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == quorven::kListPortsOption) {
            return true;
        }
    }
    return false;
}

// The program's own options of this run, without the program name.
quorven::ProgramOptions OptionsOfThisRun() {
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return quorven::ParseProgramOptions(arguments);
}

// The start of this run: the program's own options and where its files live.
quorven::StartupConfig ConfigOfThisRun(const quorven::ProgramOptions& options) {
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString configFolder = quorven::ConfigFolder(
        options.configDir, QCoreApplication::applicationDirPath(), userFolder);
    return quorven::StartupConfigFrom(options, QCoreApplication::applicationFilePath(),
                                      configFolder);
}

// --list-ports: one line per port name that leads somewhere, without a window.
int ListPorts(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorven"));
    const quorven::StartupConfig config = ConfigOfThisRun(OptionsOfThisRun());
    QStringList lines = config.optionProblems;
    QStringList report;
    const quorven::AppSettings settings = quorven::ReadSettings(
        quorven::IniFile::load(QDir(config.configFolder).filePath(config.settingsFileName)),
        &report);
    const quorven::PortMap map =
        quorven::BuildPortMap({settings.portDevices, config.simulate, {}}, &lines);
    for (const QString& line : lines) {
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
    for (const QString& line :
         quorven::PortCatalog(map, quorven::AvailableSystemPorts()).listing()) {
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char* argv[]) {
    // Help, version and the port list need no display: they are answered
    // before the window system is opened.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i) {
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    }
    if (const auto status = quorven::AnswerHelpOrVersion(quorven::QuorvenHelp(), rawArguments)) {
        return *status;
    }
    if (WantsPortList(argc, argv)) {
        return ListPorts(argc, argv);
    }
    ChooseOffscreenWithoutDisplay(argc);
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QuietOffscreenWarnings();
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorven"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorven"));

    // Qt has taken its own options out of the arguments by now.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (const auto status = quorven::AnswerCommonOptions(quorven::QuorvenHelp(), arguments)) {
        return *status;
    }
    const quorven::ProgramOptions options = OptionsOfThisRun();
    for (const QString& refusal : options.refusals) {
        std::fprintf(stderr, "quorven: %s\n", qPrintable(refusal));
    }
    if (!options.refusals.isEmpty()) {
        return 2;
    }
    quorven::StartupConfig config = ConfigOfThisRun(options);
    QDir().mkpath(config.configFolder);
    config.keepWindowPlace = QGuiApplication::platformName() != QLatin1String("offscreen");

    std::unique_ptr<quorven::TraceFile> traceFile;
    if (!options.traceFile.isEmpty()) {
        traceFile = std::make_unique<quorven::TraceFile>(options.traceFile);
        QString error;
        if (!traceFile->open(&error)) {
            std::fprintf(stderr, "quorven: %s\n", qPrintable(error));
            return 2;
        }
        config.traceFile = traceFile.get();
    }

    // On virtual time every wait, time-out and wire time counts exactly, but
    // takes no real time: an unattended run on the simulated bus ends at once.
    std::unique_ptr<quorven::VirtualClock> virtualClock;
    if (options.virtualTime) {
        virtualClock = std::make_unique<quorven::VirtualClock>();
    }
    quorven::TForm1 form1(config, nullptr, virtualClock.get());
    if (virtualClock) {
        form1.station().wallClock().Start(QDateTime::currentDateTime(), *virtualClock);
    }
    form1.CreateZoomWindow();
    form1.CreateModemWindow();
    form1.show();
    int status = 0;
    if (virtualClock) {
        virtualClock->pumpUntil([&form1] { return form1.isClosed(); });
    } else {
        status = QApplication::exec();
    }
    // A scheduler reads standard error: what decided the exit status, and
    // the run's summary.
    for (const QString& line : form1.station().automaticRun().schedulerLines()) {
        std::fprintf(stderr, "quorven: %s\n", line.toUtf8().constData());
    }
    return status != 0 ? status : form1.exitStatus();
}
