// SPDX-License-Identifier: GPL-3.0-or-later
// Takes a picture of the main window for the documentation:
//   quorven-shot OUT.png [--read-out] [OPTION]...   (the program's own options)
// The window is built as the program builds it, shown, and grabbed once the
// event loop has painted it; with --read-out after it has read the slave
// list (on virtual time, so the picture of a read-out of the simulated bus
// takes no longer than any other). With --chart it logs the slave list for a
// day of virtual time (a cycle every 15 minutes) and takes a picture of the
// chart of the data table instead: the temperatures of the meters. With
// --language=en the window is in English.

#include "app/chart_window.h"
#include "app/main_window.h"
#include "app/program_help.h"
#include "app/program_options.h"
#include "link/virtual_clock.h"
#include "operations/prompter.h"
#include "operations/station.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

constexpr quorven::HelpRow kShotOptions[] = {
    {"--read-out", "", "read the slave list (on virtual time) before the picture is taken"},
    {"--chart", "",
     "log the slave list for a day (on virtual time) and take the chart window's picture"},
};

const quorven::ProgramHelp kHelp{
    "quorven-shot",
    "OUT.png [OPTION]...",
    "Takes a picture of the main window, as the program starts with these options, into OUT.png.",
    // The window's own options, the first rows of the program's table.
    quorven::QuorvenOptions().first(4),
    "Its own options:",
    kShotOptions,
    "",
};

// Boxes are acknowledged without being shown: the picture shows the window.
class SilentPrompter final : public quorven::Prompter {
public:
    void showMessage(const QString&, const QString&) override {}
    Answer askYesNo(const QString&, const QString&) override { return Answer::No; }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Cancel; }
    QString fileToOpen(const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&) override { return {}; }
};

} // namespace

int main(int argc, char* argv[]) {
    // Help and version need no display: answered before the window system opens.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i) {
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    }
    if (const auto status = quorven::AnswerHelpOrVersion(kHelp, rawArguments)) {
        return *status;
    }
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    // Its own option is not the program's: taken out before the check.
    const bool chart = args.removeAll(QStringLiteral("--chart")) > 0;
    const bool readOut = args.removeAll(QStringLiteral("--read-out")) > 0 || chart;
    if (const auto status = quorven::AnswerCommonOptions(kHelp, args)) {
        return *status;
    }
    if (args.isEmpty() || args.front().startsWith(u'-')) {
        return quorven::RefuseUsage(kHelp,
                                    QStringLiteral("the picture's file OUT.png comes first"));
    }
    const QString out = args.takeFirst();
    const quorven::ProgramOptions options = quorven::ParseProgramOptions(args);
    if (!options.refusals.isEmpty()) {
        return quorven::RefuseUsage(kHelp, options.refusals.front());
    }
    quorven::StartupConfig config = quorven::StartupConfigFrom(
        options, QApplication::applicationFilePath(),
        options.configDir.isEmpty() ? QStringLiteral(".") : options.configDir);
    // The picture shows the program as it starts: with the program's own settings file.
    config.settingsFileName = QStringLiteral("quorven.ini");

    SilentPrompter prompter;
    quorven::VirtualClock clock;
    quorven::TForm1 form1(config, readOut ? &prompter : nullptr, readOut ? &clock : nullptr);
    form1.CreateZoomWindow();
    form1.CreateModemWindow();
    form1.show();
    QWidget* shown = &form1;
    if (chart) {
        constexpr qint64 kDayMs = 24 * 3600 * 1000;
        form1.station().wallClock().Start(QDateTime(QDate::currentDate(), QTime(0, 0)), clock);
        form1.PI_MaskEdit->setText(QStringLiteral("900"));
        form1.LogFile_CheckBox->setChecked(false);
        form1.Log_ButtonClick();
        clock.advanceBy(kDayMs - 900 * 1000);
        form1.SStop_ButtonClick();
        clock.advanceBy(2000);
        form1.Chart_ButtonClick();
        quorven::ChartWindow& window = *form1.Chart();
        std::vector<int> temperatures;
        for (std::size_t i = 0; i < window.data().records().size(); ++i) {
            const QString unit = window.data().records()[i].unit.trimmed();
            if (unit == QStringLiteral("°C") || unit == QStringLiteral("K")) {
                temperatures.push_back(static_cast<int>(i));
            }
        }
        window.Pick({-1}, temperatures);
        window.resize(1200, 640);
        shown = &window;
    } else if (readOut) {
        form1.station().wallClock().Start(QDateTime::currentDateTime(), clock);
        form1.MBRead_ButtonClick();
    }
    int result = 0;
    QTimer::singleShot(1500, shown, [&] {
        if (!shown->grab().save(out)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
            result = 1;
        }
        QApplication::exit(result);
    });
    return QApplication::exec();
}
