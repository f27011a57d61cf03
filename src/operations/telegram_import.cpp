// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a telegram written as hexadecimal text.
#include "interpret/hex.h"
#include "operations/file_filters.h"
#include "operations/hex_import.h"
#include "operations/station.h"

#include <QFile>

namespace quorven {

namespace {

const QString kErrorCaption = QStringLiteral("Error");

} // namespace

ImportResult Station::Import_ButtonClick() {
    // The import overwrites the telegram buffer and the read context that a
    // waiting read-out uses.
    ImportResult result = ImportResult::Busy;
    Enter(Handler::Import_Button, [&] {
        const QString name = prompter_.fileToOpen(kTableFileFilter, kAnyFilePattern);
        result = name.isEmpty() ? ImportResult::Cancelled : ImportFile(name);
    });
    return result;
}

ImportResult Station::ImportFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return ImportResult::Unreadable;
    }
    // The size a file claims is not trusted (a device or a growing file):
    // one byte more than the limit is read to tell a file that is too large.
    if (file.size() > kMaxImportFileBytes) {
        prompter_.showMessage(QStringLiteral("File too large for a telegram: ") + fileName,
                              kErrorCaption);
        return ImportResult::Refused;
    }
    QByteArray text(kMaxImportFileBytes + 1, Qt::Uninitialized);
    qint64 got = 0;
    while (got < text.size()) {
        const qint64 n = file.read(text.data() + got, text.size() - got);
        if (n < 0) {
            return ImportResult::Unreadable;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    if (got > kMaxImportFileBytes) {
        prompter_.showMessage(QStringLiteral("File too large for a telegram: ") + fileName,
                              kErrorCaption);
        return ImportResult::Refused;
    }
    text.truncate(got);
    return ImportText(text);
}

ImportResult Station::ImportText(const QByteArray& text) {
    std::vector<std::uint8_t> telegram =
        ScanHexText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (telegram.size() < kMinImportBytes) {
        return ImportResult::TooShort;
    }
    const std::size_t n = telegram.size();
    // The length byte is compared with the whole count: from 262 bytes on no
    // length byte is right, whatever the lowest 8 bits the question shows.
    const std::uint8_t length = TrueLength(telegram);
    if (std::size_t{telegram[1]} != n - 6 &&
        prompter_.askYesNo(LengthQuestion(telegram[1], length), kErrorCaption) ==
            Prompter::Answer::Yes) {
        telegram[1] = telegram[2] = length;
    }
    const std::uint8_t checksum = TrueChecksum(telegram);
    if (telegram[n - 2] != checksum &&
        prompter_.askYesNo(ChecksumQuestion(telegram[n - 2], checksum), kErrorCaption) ==
            Prompter::Answer::Yes) {
        telegram[n - 2] = checksum;
    }

    std::string line;
    line.reserve(3 * n);
    for (std::uint8_t b : telegram) {
        AppendHexText(line, b);
    }
    trace_.append(QString::fromStdString(line));

    // A telegram longer than the buffer is kept only up to the buffer's end;
    // its length still counts every byte, so the check reports it as too long.
    interpreter_.StoreTelegram(telegram);

    readContext_.recordSelection.clear();
    runState_.polling = false;
    readContext_.writePositionFlag = false;
    readContext_.installationPlace = QStringLiteral("Beép.hely");
    readContext_.dateText.clear();
    readContext_.timeText.clear();
    readContext_.recordOffset = 0;

    const bool filled = MBusToGrid();
    if (tables_.dataTable().RowCount() > 1) {
        emit dataTableFilled();
    }
    return filled ? ImportResult::RowsAdded : ImportResult::NoRows;
}

} // namespace quorven
