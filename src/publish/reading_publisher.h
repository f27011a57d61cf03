// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/meter_reading.h"
#include "publish/mqtt_settings.h"
#include "publish/outgoing_message.h"

#include <QSet>
#include <QString>

namespace quorven {

// Turns every meter read into its messages: the meter's JSON message on its
// topic and, the first time a meter is seen with Home Assistant discovery
// on, the discovery messages of its records.
class ReadingPublisher {
public:
    explicit ReadingPublisher(const MqttSettings& settings);

    void Publish(const MeterReading& reading, MessageSink& sink);

    const QString& prefix() const { return prefix_; }
    QString statusTopic() const { return prefix_ + QStringLiteral("/status"); }

private:
    QString prefix_;
    QString site_;
    bool retain_;
    bool homeAssistant_;
    QSet<QString> discovered_; // the topics of the discovery messages sent
};

} // namespace quorven
