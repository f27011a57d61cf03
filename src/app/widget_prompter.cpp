// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widget_prompter.h"

#include "app/shown_texts.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace quorven {

namespace {

Prompter::Answer Ask(QWidget* parent, const QString& text, const QString& caption,
                     QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, ShownText(caption), ShownText(text), buttons, parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Prompter::Answer::Yes;
    case QMessageBox::No:
        return Prompter::Answer::No;
    default:
        return Prompter::Answer::Cancel;
    }
}

} // namespace

QString DialogFilter(const QString& filterText, const QString& pattern) {
    QString p = pattern.isEmpty() ? QStringLiteral("*") : pattern;
    return ShownText(filterText) + QStringLiteral(" (") + p + QStringLiteral(");;* (*)");
}

void WidgetPrompter::showMessage(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, ShownText(caption), ShownText(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

Prompter::Answer WidgetPrompter::askYesNo(const QString& text, const QString& caption) {
    const Answer a = Ask(parent_, text, caption, QMessageBox::Yes | QMessageBox::No);
    return a == Answer::Cancel ? Answer::No : a;
}

Prompter::Answer WidgetPrompter::askYesNoCancel(const QString& text, const QString& caption) {
    return Ask(parent_, text, caption, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

QString WidgetPrompter::fileToOpen(const QString& filterText, const QString& pattern) {
    return QFileDialog::getOpenFileName(parent_, QString(), QDir::currentPath(),
                                        DialogFilter(filterText, pattern));
}

QString WidgetPrompter::fileToSave(const QString& filterText, const QString& pattern) {
    return fileToSaveAs(filterText, pattern, QString());
}

QString WidgetPrompter::fileToSaveAs(const QString& filterText, const QString& pattern,
                                     const QString& preset) {
    // The overwrite question is the dialog's own; the caller appends ".csv"
    // to a name without an extension.
    return QFileDialog::getSaveFileName(parent_, QString(), QDir::current().filePath(preset),
                                        DialogFilter(filterText, pattern));
}

void WidgetPrompter::showMessageNoWait(const QString& text, const QString& caption) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, ShownText(caption), ShownText(text),
                                QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void WidgetPrompter::fileToSaveThen(const QString& filterText, const QString& pattern,
                                    std::function<void(const QString&)> done) {
    auto* dialog =
        new QFileDialog(parent_, QString(), QDir::currentPath(), DialogFilter(filterText, pattern));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The overwrite question is the dialog's own, as with fileToSave.
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, done = std::move(done)](int r) {
        const QStringList chosen = dialog->selectedFiles();
        done(r == QDialog::Accepted && !chosen.isEmpty() ? chosen.front() : QString());
    });
    dialog->open();
}

} // namespace quorven
