// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A prompter for the tests: answers come from a script, and every question
// asked is recorded with its caption so the tests can assert the exact texts.

#include "operations/prompter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace quorven::testing {

class ScriptedPrompter final : public Prompter {
public:
    struct Asked {
        QString kind; // "message", "yesno", "yesnocancel", "open", "save"
        QString text;
        QString caption;
    };

    std::deque<Answer> answers;    // for the Yes/No questions; No when empty
    std::deque<QString> fileNames; // for the dialogs; empty (cancel) when empty
    std::vector<Asked> asked;
    // Told of every question as it is asked.
    std::function<void(const Asked&)> onAsk;

    void showMessage(const QString& text, const QString& caption) override {
        record({"message", text, caption});
    }
    Answer askYesNo(const QString& text, const QString& caption) override {
        record({"yesno", text, caption});
        return next();
    }
    Answer askYesNoCancel(const QString& text, const QString& caption) override {
        record({"yesnocancel", text, caption});
        return next();
    }
    QString fileToOpen(const QString& filterText, const QString& pattern) override {
        record({"open", filterText, pattern});
        return nextFile();
    }
    QString fileToSave(const QString& filterText, const QString& pattern) override {
        record({"save", filterText, pattern});
        return nextFile();
    }
    QString fileToSaveAs(const QString& filterText, const QString& pattern,
                         const QString& preset) override {
        record({"save as " + preset, filterText, pattern});
        return nextFile();
    }

private:
    void record(Asked a) {
        asked.push_back(a);
        if (onAsk) {
            onAsk(asked.back());
        }
    }
    Answer next() {
        if (answers.empty()) {
            return Answer::No;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString nextFile() {
        if (fileNames.empty()) {
            return {};
        }
        QString f = fileNames.front();
        fileNames.pop_front();
        return f;
    }
};

} // namespace quorven::testing
