#pragma once

// A prompter for the tests: answers come from a script, and every question
// asked is recorded with its caption so the tests can assert the exact texts.

#include "link/prompter.h"

#include <QStringList>

#include <deque>
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

    void showMessage(const QString& text, const QString& caption) override {
        asked.push_back({"message", text, caption});
    }
    Answer askYesNo(const QString& text, const QString& caption) override {
        asked.push_back({"yesno", text, caption});
        return next();
    }
    Answer askYesNoCancel(const QString& text, const QString& caption) override {
        asked.push_back({"yesnocancel", text, caption});
        return next();
    }
    QString fileToOpen(const QString& filterText, const QString& pattern) override {
        asked.push_back({"open", filterText, pattern});
        return nextFile();
    }
    QString fileToSave(const QString& filterText, const QString& pattern) override {
        asked.push_back({"save", filterText, pattern});
        return nextFile();
    }

private:
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
