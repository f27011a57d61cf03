// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

namespace quorven {

// A table file that cannot be opened, read or created. Thrown where the fault
// arises and shown to the user by the handler around every window action; the
// message is the text the user sees.
inline const QString kCannotOpenFile = QStringLiteral("Cannot open file ");
inline const QString kCannotCreateFile = QStringLiteral("Cannot Create file ");

class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    // The system's text first, then the system's reason when there is one:
    // "Cannot Create file log.csv: No space left on device".
    FileError(const QString& text, const QString& fileName, const QString& reason)
        : FileError(reason.isEmpty() ? text + fileName
                                     : text + fileName + QStringLiteral(": ") + reason) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace quorven
