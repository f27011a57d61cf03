#include "app/main_window.h"
#include "app/program_help.h"
#include "app/program_options.h"
#include "app/trace_file.h"
#include "link/virtual_clock.h"
#include "operations/station.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <memory>

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

} // namespace

int main(int argc, char* argv[]) {
    // Help and version need no display: they are answered before the window
    // system is opened.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i) {
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    }
    if (const auto status = quorven::AnswerHelpOrVersion(quorven::QuorvenHelp(), rawArguments)) {
        return *status;
    }
    ChooseOffscreenWithoutDisplay(argc);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorven"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorven"));

    QStringList arguments = QApplication::arguments();
    const QString programPath = QApplication::applicationFilePath();
    arguments.removeFirst();
    // Qt has taken its own options out of these.
    if (const auto status = quorven::AnswerCommonOptions(quorven::QuorvenHelp(), arguments)) {
        return *status;
    }
    const quorven::ProgramOptions options = quorven::ParseProgramOptions(arguments);

    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString configFolder =
        quorven::ConfigFolder(options.configDir, QApplication::applicationDirPath(), userFolder);
    QDir().mkpath(configFolder);
    for (const QString& refusal : options.refusals) {
        std::fprintf(stderr, "quorven: %s\n", qPrintable(refusal));
    }
    if (!options.refusals.isEmpty()) {
        return 2;
    }
    quorven::StartupConfig config = quorven::StartupConfigFrom(options, programPath, configFolder);
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
    if (virtualClock) {
        virtualClock->pumpUntil([&form1] { return !form1.isVisible(); });
        return form1.exitStatus();
    }
    const int status = QApplication::exec();
    return status != 0 ? status : form1.exitStatus();
}
