// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace quorven {

// A message on its way to the broker.
struct OutgoingMessage {
    QString topic;
    QByteArray payload;
    bool retain = false;
};

// Where messages go: the broker's client, or a recorder in tests.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Publish(const OutgoingMessage& message) = 0;
};

} // namespace quorven
