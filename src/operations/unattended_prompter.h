// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/trace.h"
#include "operations/prompter.h"
#include "operations/run_state.h"

namespace quorven {

// The station's way of asking: the user's prompter, except during an
// unattended run, which never waits for a person: a box's text goes into the
// text area instead, a question is answered No and a file dialog cancelled.
class UnattendedPrompter final : public Prompter {
public:
    UnattendedPrompter(Prompter& user, const RunState& run, Trace& trace)
        : user_(user), run_(run), trace_(trace) {}

    void showMessage(const QString& text, const QString& caption) override;
    Answer askYesNo(const QString& text, const QString& caption) override;
    Answer askYesNoCancel(const QString& text, const QString& caption) override;
    QString fileToOpen(const QString& filterText, const QString& pattern) override;
    QString fileToSave(const QString& filterText, const QString& pattern) override;
    QString fileToSaveAs(const QString& filterText, const QString& pattern,
                         const QString& preset) override;
    void showMessageNoWait(const QString& text, const QString& caption) override;
    void fileToSaveThen(const QString& filterText, const QString& pattern,
                        std::function<void(const QString&)> done) override;

private:
    bool unattended() const { return run_.closeAfterRun; }
    void Note(const QString& text, const QString& caption);

    Prompter& user_;
    const RunState& run_;
    Trace& trace_;
};

} // namespace quorven
