// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shown_texts.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <span>

namespace quorven {

namespace {

constexpr char kChecksumCheckText[] = "Checksummenfehler ";

// Texts with "%n" parts, the more specific before the more general: the
// first that matches a shown text translates it.
// clang-format off
constexpr const char* kBuiltTexts[] = {
    // The read-out, the station and the import.
    QT_TRANSLATE_NOOP("Messages", "%1 of %2 slaves read successfully."),
    QT_TRANSLATE_NOOP("Messages", "%1 rows of the data table have not been written to the log file %2 yet. Drop them?"),
    QT_TRANSLATE_NOOP("Messages", "%1 was not saved: it could not be loaded and is kept as it was"),
    QT_TRANSLATE_NOOP("Messages", "File too large for a telegram: %1"),
    // The chart window's note on the rows it could not draw.
    QT_TRANSLATE_NOOP("Messages", "%1 rows without a number were skipped"),
    QT_TRANSLATE_NOOP("Messages", "%1 rows without a date and time were skipped"),
    QT_TRANSLATE_NOOP("Messages", "Wrong telegram length $%1\n\rTrue length would be $%2\n\rShould the length be adapted?"),
    QT_TRANSLATE_NOOP("Messages", "Wrong checksum $%1\n\rTrue checksum would be $%2\n\rShould the checksum be adapted?"),
    // Files and ports (the errors the window's handler shows).
    QT_TRANSLATE_NOOP("Messages", "Cannot open file %1 to keep it: it was not replaced"),
    QT_TRANSLATE_NOOP("Messages", "Cannot Create file %1: %2 was not replaced"),
    QT_TRANSLATE_NOOP("Messages", "Cannot Create file %1"),
    QT_TRANSLATE_NOOP("Messages", "Cannot open file %1"),
    QT_TRANSLATE_NOOP("Messages", "%1 is mapped to the simulated bus, which is not loaded"),
    QT_TRANSLATE_NOOP("Messages", "%1 was closed while connecting"),
    QT_TRANSLATE_NOOP("Messages", "%1 cannot be opened: %2"),
    // The telegram check (the trace keeps these German lines).
    QT_TRANSLATE_NOOP("Messages", "Checksummenfehler %1 <> %2"),
};

constexpr const char* kFixedTexts[] = {
    // Link results: box texts and captions.
    QT_TRANSLATE_NOOP("Messages", "Communication error!"),
    QT_TRANSLATE_NOOP("Messages", "Aborting"),
    QT_TRANSLATE_NOOP("Messages", "Wrong stopsign in M-Bus data set!"),
    QT_TRANSLATE_NOOP("Messages", "Stopsign error"),
    QT_TRANSLATE_NOOP("Messages", "Checksum error in M-Bus data set!"),
    QT_TRANSLATE_NOOP("Messages", "Checksum error"),
    QT_TRANSLATE_NOOP("Messages", "2. M-Bus startsign wrong!"),
    QT_TRANSLATE_NOOP("Messages", "Startsign error"),
    QT_TRANSLATE_NOOP("Messages", "Wrong M-Bus data length!"),
    QT_TRANSLATE_NOOP("Messages", "Length error"),
    QT_TRANSLATE_NOOP("Messages", "Other COM error occured!"),
    QT_TRANSLATE_NOOP("Messages", "Other COM error"),
    QT_TRANSLATE_NOOP("Messages", "Break error during data receiving!"),
    QT_TRANSLATE_NOOP("Messages", "Break error"),
    QT_TRANSLATE_NOOP("Messages", "Parity error during data receiving!\r\nAnswer collision?"),
    QT_TRANSLATE_NOOP("Messages", "Frame error (stopbit) during data receiving!\r\nAnswer collision?"),
    QT_TRANSLATE_NOOP("Messages", "Read error"),
    QT_TRANSLATE_NOOP("Messages", "Error during write to COM-port!"),
    QT_TRANSLATE_NOOP("Messages", "Write error"),
    QT_TRANSLATE_NOOP("Messages", "No answer from device.\r\nM-Bus wiring, COM-Port, baud rate\r\nand M-Bus address has to be checked!"),
    QT_TRANSLATE_NOOP("Messages", "Receive timeout"),
    // Operations.
    QT_TRANSLATE_NOOP("Messages", "Read-out info"),
    QT_TRANSLATE_NOOP("Messages", "Wrong com-port in slave list"),
    QT_TRANSLATE_NOOP("Messages", "Com-port error"),
    QT_TRANSLATE_NOOP("Messages", "Erase current slave list?"),
    QT_TRANSLATE_NOOP("Messages", "Question"),
    QT_TRANSLATE_NOOP("Messages", "Log file"),
    QT_TRANSLATE_NOOP("Messages", "Error"),
    QT_TRANSLATE_NOOP("Messages", "Another operation is running; wait for it to end or press Stop."),
    QT_TRANSLATE_NOOP("Messages", "adatcsomag"),
    // The modem window's status and dial button.
    QT_TRANSLATE_NOOP("Messages", "szabad"),
    QT_TRANSLATE_NOOP("Messages", "&Dial"),
    QT_TRANSLATE_NOOP("Messages", "&Hangup"),
    QT_TRANSLATE_NOOP("Messages", "Init Modem"),
    QT_TRANSLATE_NOOP("Messages", "Dialing..."),
    QT_TRANSLATE_NOOP("Messages", "Port lost"),
    QT_TRANSLATE_NOOP("Messages", "Hangup"),
    QT_TRANSLATE_NOOP("Messages", "Idle"),
    QT_TRANSLATE_NOOP("Messages", "Modem initialized"),
    QT_TRANSLATE_NOOP("Messages", "Connected"),
    QT_TRANSLATE_NOOP("Messages", "Modem Busy"),
    QT_TRANSLATE_NOOP("Messages", "No Carrier"),
    QT_TRANSLATE_NOOP("Messages", "No Dial Tone"),
    QT_TRANSLATE_NOOP("Messages", "Modem Error"),
    QT_TRANSLATE_NOOP("Messages", "Command Timeout"),
    QT_TRANSLATE_NOOP("Messages", "Dial Timeout"),
};

// The telegram check's texts (the trace keeps these German lines); its
// checksum text is among the built texts.
constexpr const char* kCheckTexts[] = {
    QT_TRANSLATE_NOOP("Messages", "Datensatz 0-Länge"),
    QT_TRANSLATE_NOOP("Messages", "M-Bus Datensatzlänge zu kurz"),
    QT_TRANSLATE_NOOP("Messages", "M-Bus Datensatzlänge zu lang"),
    QT_TRANSLATE_NOOP("Messages", "1. $68 fehlt"),
    QT_TRANSLATE_NOOP("Messages", "Längenfelder unterschiedlich"),
    QT_TRANSLATE_NOOP("Messages", "Länge und Längenfeld unterschiedlich"),
    QT_TRANSLATE_NOOP("Messages", "2. $68 fehlt"),
    QT_TRANSLATE_NOOP("Messages", "C-Feld Fehler"),
    QT_TRANSLATE_NOOP("Messages", "Stopzeichen falsch"),
};
// clang-format on

// "%1" ... "%9" in a catalogue text or its translation.
const QRegularExpression& Part() {
    static const QRegularExpression part(QStringLiteral("%(\\d)"));
    return part;
}

QString Translated(const char* source) {
    return QCoreApplication::translate(kShownTextContext, source);
}

// "%1 of %2" as a pattern that takes the parts: "^(.*) of (.*)$".
QRegularExpression PatternOf(const QString& source, QList<int>* order) {
    QString pattern = QStringLiteral("^");
    qsizetype from = 0;
    for (auto it = Part().globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        pattern += QRegularExpression::escape(source.mid(from, m.capturedStart() - from));
        pattern += QStringLiteral("(.*)");
        order->append(m.captured(1).toInt());
        from = m.capturedEnd();
    }
    pattern += QRegularExpression::escape(source.mid(from)) + QStringLiteral("$");
    return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

bool IsTelegramCheckText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8.startsWith(kChecksumCheckText) ||
           std::any_of(std::begin(kCheckTexts), std::end(kCheckTexts),
                       [&utf8](const char* check) { return utf8 == check; });
}

QString ShownText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    for (const auto& texts :
         {std::span<const char* const>(kFixedTexts), std::span<const char* const>(kCheckTexts)}) {
        for (const char* fixed : texts) {
            if (utf8 == fixed) {
                return Translated(fixed);
            }
        }
    }
    for (const char* built : kBuiltTexts) {
        const QString source = QString::fromUtf8(built);
        QList<int> order;
        const QRegularExpressionMatch m = PatternOf(source, &order).match(text);
        if (!m.hasMatch()) {
            continue;
        }
        // The parts go in by their numbers, whatever their order in the
        // translation; a part's own text is never looked at again.
        const QString translation = Translated(built);
        QString result;
        qsizetype from = 0;
        for (auto it = Part().globalMatch(translation); it.hasNext();) {
            const QRegularExpressionMatch part = it.next();
            result += translation.mid(from, part.capturedStart() - from);
            const int at = static_cast<int>(order.indexOf(part.captured(1).toInt()));
            result += at >= 0 ? m.captured(at + 1) : part.captured();
            from = part.capturedEnd();
        }
        result += translation.mid(from);
        return result;
    }
    return text;
}

} // namespace quorven
