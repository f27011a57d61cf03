// Takes a picture of the main window for the documentation:
//   quorven-shot OUT.png [--config-dir=DIR] [--simulate[=FILE]] [--import=FILE]
// The window is built as the program builds it, shown, and grabbed once the
// event loop has painted it.

#include "app/main_window.h"
#include "app/program_options.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: quorven-shot OUT.png [options]\n");
        return 2;
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
    form1.resize(1180, 720); // room for more of the data table than the default size
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
