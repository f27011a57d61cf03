// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace quorven {

// How the station asks the user. The window implements it with message boxes
// and file dialogs; tests with a script. Texts and captions are the system's
// own and are passed exactly as they are shown.
class Prompter {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;

    // A modal box with one OK button.
    virtual void showMessage(const QString& text, const QString& caption) = 0;
    // Yes or No (never Cancel).
    virtual Answer askYesNo(const QString& text, const QString& caption) = 0;
    virtual Answer askYesNoCancel(const QString& text, const QString& caption) = 0;
    // A file name chosen in an open or save dialog; empty when cancelled.
    // filterText is the dialog's filter caption, pattern its file pattern.
    virtual QString fileToOpen(const QString& filterText, const QString& pattern) = 0;
    virtual QString fileToSave(const QString& filterText, const QString& pattern) = 0;
    // The same without waiting, for handlers that run while an operation
    // waits: the box or dialog is opened and the call returns; `done` gets the
    // file name once the dialog has closed (empty when cancelled). Meanwhile
    // the operation underneath goes on. By default the question is asked at
    // once and `done` runs before the call returns.
    virtual void showMessageNoWait(const QString& text, const QString& caption) {
        showMessage(text, caption);
    }
    virtual void fileToSaveThen(const QString& filterText, const QString& pattern,
                                std::function<void(const QString&)> done) {
        done(fileToSave(filterText, pattern));
    }
    // A save dialog that starts with `preset` as the file name.
    virtual QString fileToSaveAs(const QString& filterText, const QString& pattern,
                                 const QString& preset) {
        static_cast<void>(preset);
        return fileToSave(filterText, pattern);
    }
};

} // namespace quorven
