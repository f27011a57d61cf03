// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/prompter.h"
#include "operations/station.h"

#include <QString>
#include <QStringList>

namespace quorven {

// The telegram import of quorven-decode and quorven-check: each file is
// imported as the window's Import button imports it, all into one data
// table. The length and checksum questions are answered No, or Yes when
// fixing. Standard error gets, per file, the import's messages, and for a
// file that gives no rows one line "FILE: why". The telegram's hex line and
// the "more" line of the text area are shown, labelled, when verbose.
class FileImport : private Prompter {
public:
    FileImport(bool fix, bool verbose);

    Station& station() { return station_; }
    ImportResult importFile(const QString& file);
    // After an import that reached the check (rows added, or none): the
    // interpreter holds a telegram that passed it.
    bool telegramValid();

    // The hint added to a fault that --fix can correct.
    static QString FixHint();

private:
    void showMessage(const QString& text, const QString& caption) override;
    Answer askYesNo(const QString& text, const QString& caption) override;
    Answer askYesNoCancel(const QString& text, const QString& caption) override;
    QString fileToOpen(const QString& filterText, const QString& pattern) override;
    QString fileToSave(const QString& filterText, const QString& pattern) override;

    // Why the file gave no rows.
    QString reason(ImportResult result, const QString& file);
    void printTraceLine(const QString& file, const QString& line, bool checkFault);

    bool fix_;
    bool verbose_;
    Station station_;
    QStringList lines_; // what the import wrote to the text area
};

} // namespace quorven
