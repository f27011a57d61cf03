#pragma once

#include <QString>

#include <stdexcept>

namespace quorven {

// A table file that cannot be opened, read or created. Thrown where the fault
// arises and shown to the user by the handler around every window action; the
// message is the text the user sees.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace quorven
