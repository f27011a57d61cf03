#include "app/main_window.h"
#include "app/port_catalog.h"
#include "app/port_config.h"
#include "app/program_options.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
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

bool WantsPortList(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == quorven::kListPortsOption) {
            return true;
        }
    }
    return false;
}

// The start of this run: the program's own options and where its files live.
quorven::StartupConfig ConfigOfThisRun() {
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const quorven::ProgramOptions options = quorven::ParseProgramOptions(arguments);
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
    const quorven::StartupConfig config = ConfigOfThisRun();
    QStringList lines = config.optionProblems;
    QStringList report;
    const quorven::AppSettings settings = quorven::ReadSettings(
        quorven::IniFile::load(QDir(config.configFolder).filePath(config.settingsFileName)),
        &report);
    const quorven::PortMap map = quorven::BuildPortMap(settings, config.simulate, &lines);
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
    if (WantsPortList(argc, argv)) {
        return ListPorts(argc, argv);
    }
    ChooseOffscreenWithoutDisplay(argc);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorven"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorven"));

    const quorven::StartupConfig config = ConfigOfThisRun();
    QDir().mkpath(config.configFolder);
    quorven::TForm1 form1(config);
    form1.CreateZoomWindow();
    form1.CreateModemWindow();
    form1.show();
    return QApplication::exec();
}
