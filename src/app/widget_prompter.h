// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/prompter.h"

class QWidget;

namespace quorven {

// The prompter of the running program: message boxes and file dialogs over the
// main window. File dialogs open in the current working directory.
class WidgetPrompter final : public Prompter {
public:
    explicit WidgetPrompter(QWidget* parent) : parent_(parent) {}

    void showMessage(const QString& text, const QString& caption) override;
    Answer askYesNo(const QString& text, const QString& caption) override;
    Answer askYesNoCancel(const QString& text, const QString& caption) override;
    QString fileToOpen(const QString& filterText, const QString& pattern) override;
    QString fileToSave(const QString& filterText, const QString& pattern) override;
    QString fileToSaveAs(const QString& filterText, const QString& pattern,
                         const QString& preset) override;
    // Opened with open(): no event loop of their own.
    void showMessageNoWait(const QString& text, const QString& caption) override;
    void fileToSaveThen(const QString& filterText, const QString& pattern,
                        std::function<void(const QString&)> done) override;

private:
    QWidget* parent_;
};

// The filter line of a file dialog: the filter text with its pattern, then
// every file, e.g. "adatcsomag (*.csv *.CSV);;* (*)".
QString DialogFilter(const QString& filterText, const QString& pattern);

} // namespace quorven
