// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/prompter.h"

namespace quorven::bench {

// Boxes and dialogs answered without a person; the save dialog names `file`.
class QuietPrompter final : public Prompter {
public:
    QString file;
    void showMessage(const QString&, const QString&) override {}
    Answer askYesNo(const QString&, const QString&) override { return Answer::No; }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Cancel; }
    QString fileToOpen(const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&) override { return file; }
};

} // namespace quorven::bench
