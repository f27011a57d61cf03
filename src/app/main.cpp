#include "app/main_window.h"
#include "app/program_help.h"
#include "app/program_options.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

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
    quorven::StartupConfig config = quorven::StartupConfigFrom(options, programPath, configFolder);
    config.keepWindowPlace = QGuiApplication::platformName() != QLatin1String("offscreen");

    quorven::TForm1 form1(config);
    form1.CreateZoomWindow();
    form1.CreateModemWindow();
    form1.show();
    return QApplication::exec();
}
