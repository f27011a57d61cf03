#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace quorven {

// The protocol trace: the lines of the text area. It only grows until the user
// clears it. The window shows it; tests read it.
class Trace : public QObject {
    Q_OBJECT
public:
    explicit Trace(QObject* parent = nullptr) : QObject(parent) {}

    void append(const QString& line) {
        lines_.append(line);
        emit lineAppended(line);
    }
    void clear() {
        lines_.clear();
        emit cleared();
    }
    const QStringList& lines() const { return lines_; }

signals:
    void lineAppended(const QString& line);
    void cleared();

private:
    QStringList lines_;
};

} // namespace quorven
