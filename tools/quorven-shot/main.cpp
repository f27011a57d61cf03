// Takes a picture of the main window for the documentation:
//   quorven-shot OUT.png [OPTION]...   (the program's own options)
// The window is built as the program builds it, shown, and grabbed once the
// event loop has painted it.

#include "app/main_window.h"
#include "app/program_help.h"
#include "app/program_options.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {

const quorven::ProgramHelp kHelp{
    "quorven-shot",
    "OUT.png [OPTION]...",
    "Takes a picture of the main window, as the program starts with these options, into OUT.png.",
    // The window's own options, the first rows of the program's table.
    quorven::QuorvenOptions().first(3),
    "",
    {},
    "",
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (const auto status = quorven::AnswerCommonOptions(kHelp, args)) {
        return *status;
    }
    if (args.isEmpty() || args.front().startsWith(u'-')) {
        return quorven::RefuseUsage(kHelp,
                                    QStringLiteral("the picture's file OUT.png comes first"));
    }
    const QString out = args.takeFirst();
    const quorven::ProgramOptions options = quorven::ParseProgramOptions(args);
    quorven::StartupConfig config = quorven::StartupConfigFrom(
        options, QApplication::applicationFilePath(),
        options.configDir.isEmpty() ? QStringLiteral(".") : options.configDir);
    // The picture shows the program as it starts: with the program's own settings file.
    config.settingsFileName = QStringLiteral("quorven.ini");

    quorven::TForm1 form1(config);
    form1.CreateZoomWindow();
    form1.CreateModemWindow();
    form1.show();
    int result = 0;
    QTimer::singleShot(1500, &form1, [&] {
        if (!form1.grab().save(out)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
            result = 1;
        }
        QApplication::exit(result);
    });
    return QApplication::exec();
}
