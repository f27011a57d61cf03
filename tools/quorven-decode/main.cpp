// quorven-decode [--fix] [--multitel] [--separator=C] FILE...
//
// The telegram import without a window: each FILE is imported in turn as if
// chosen in the import dialog, into one data table. The length and checksum
// questions are answered No, or Yes with --fix; --multitel sets the Multi Tel.
// option. Every line the import writes to the text area goes to standard
// error; at the end the data table, header row first, goes to standard output
// as CSV (UTF-8, CR LF, separator "," unless --separator gives another).
//
// Exit status: 0 when every file added at least one row, 1 when a file added
// none, 2 for a usage error or a file that cannot be read.
#include "operations/prompter.h"
#include "operations/station.h"
#include "tables/csv_writer.h"
#include "tables/separator.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

using namespace quorven;

namespace {

constexpr int kAllRowsAdded = 0;
constexpr int kNoRows = 1;
constexpr int kUsageOrFile = 2;

const char* const kUsage = "usage: quorven-decode [--fix] [--multitel] [--separator=C] FILE...\n";

void PrintLine(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stderr);
    std::fputc('\n', stderr);
}

// Answers the import's questions from the command line and reports its
// messages on standard error.
class CommandLinePrompter final : public Prompter {
public:
    bool fix = false;
    QString file;

    void showMessage(const QString& text, const QString&) override { PrintLine(text); }
    Answer askYesNo(const QString&, const QString&) override {
        return fix ? Answer::Yes : Answer::No;
    }
    Answer askYesNoCancel(const QString&, const QString&) override {
        return fix ? Answer::Yes : Answer::No;
    }
    QString fileToOpen(const QString&, const QString&) override { return file; }
    QString fileToSave(const QString&, const QString&) override { return {}; }
};

struct Arguments {
    bool fix = false;
    bool multitel = false;
    QChar separator = QChar(kDefaultSeparator);
    QStringList files;
};

// False on a usage error.
bool ParseArguments(const QStringList& args, Arguments& out) {
    bool options = true;
    for (const QString& arg : args) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && arg == QLatin1String("--fix")) {
            out.fix = true;
        } else if (options && arg == QLatin1String("--multitel")) {
            out.multitel = true;
        } else if (options && arg.startsWith(QLatin1String("--separator="))) {
            const QString c = arg.mid(12);
            if (c.size() != 1 || !IsValidSeparator(c.front())) {
                PrintLine(QStringLiteral("quorven-decode: the separator must be one character, "
                                         "not a quote, line break, character 11 or NUL"));
                return false;
            }
            out.separator = c.front();
        } else if (options && arg.startsWith(u'-') && arg.size() > 1) {
            PrintLine(QStringLiteral("quorven-decode: unknown option ") + arg);
            return false;
        } else {
            out.files << arg;
        }
    }
    return !out.files.isEmpty();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Arguments args;
    if (!ParseArguments(app.arguments().mid(1), args)) {
        std::fputs(kUsage, stderr);
        return kUsageOrFile;
    }

    CommandLinePrompter prompter;
    prompter.fix = args.fix;
    Station station(prompter);
    station.options().MultiTel_CheckBox = args.multitel;
    station.options().separator = args.separator;
    QObject::connect(&station.trace(), &Trace::lineAppended, &PrintLine);

    int status = kAllRowsAdded;
    for (const QString& file : args.files) {
        prompter.file = file;
        switch (station.Import_ButtonClick()) {
        case ImportResult::RowsAdded:
            break;
        case ImportResult::TooShort:
        case ImportResult::NoRows:
            status = std::max(status, kNoRows);
            break;
        case ImportResult::Unreadable:
            PrintLine(QStringLiteral("Cannot open file ") + file);
            status = kUsageOrFile;
            break;
        case ImportResult::Refused: // the prompter has said why
        case ImportResult::Cancelled:
        case ImportResult::Busy:
            status = kUsageOrFile;
            break;
        }
    }

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !WriteCsv(station.tables().dataTable(), args.separator, out) || !out.flush()) {
        PrintLine(QStringLiteral("quorven-decode: cannot write the table to standard output"));
        return kUsageOrFile;
    }
    return status;
}
