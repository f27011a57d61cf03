// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/unattended_prompter.h"

namespace quorven {

void UnattendedPrompter::Note(const QString& text, const QString& caption) {
    QString line = caption + QStringLiteral(": ") + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    trace_.append(line);
}

void UnattendedPrompter::showMessage(const QString& text, const QString& caption) {
    if (unattended()) {
        Note(text, caption);
    } else {
        user_.showMessage(text, caption);
    }
}

Prompter::Answer UnattendedPrompter::askYesNo(const QString& text, const QString& caption) {
    if (unattended()) {
        Note(text, caption);
        return Answer::No;
    }
    return user_.askYesNo(text, caption);
}

Prompter::Answer UnattendedPrompter::askYesNoCancel(const QString& text, const QString& caption) {
    if (unattended()) {
        Note(text, caption);
        return Answer::Cancel;
    }
    return user_.askYesNoCancel(text, caption);
}

QString UnattendedPrompter::fileToOpen(const QString& filterText, const QString& pattern) {
    return unattended() ? QString() : user_.fileToOpen(filterText, pattern);
}

QString UnattendedPrompter::fileToSave(const QString& filterText, const QString& pattern) {
    return unattended() ? QString() : user_.fileToSave(filterText, pattern);
}

QString UnattendedPrompter::fileToSaveAs(const QString& filterText, const QString& pattern,
                                         const QString& preset) {
    return unattended() ? QString() : user_.fileToSaveAs(filterText, pattern, preset);
}

void UnattendedPrompter::showMessageNoWait(const QString& text, const QString& caption) {
    if (unattended()) {
        Note(text, caption);
    } else {
        user_.showMessageNoWait(text, caption);
    }
}

void UnattendedPrompter::fileToSaveThen(const QString& filterText, const QString& pattern,
                                        std::function<void(const QString&)> done) {
    if (unattended()) {
        done(QString());
    } else {
        user_.fileToSaveThen(filterText, pattern, std::move(done));
    }
}

} // namespace quorven
