// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/reading_publisher.h"

#include "publish/home_assistant.h"
#include "publish/meter_message.h"

namespace quorven {

ReadingPublisher::ReadingPublisher(const MqttSettings& settings)
    : prefix_(TopicPrefix(settings)), site_(settings.site), retain_(settings.retain),
      homeAssistant_(settings.homeAssistant) {}

void ReadingPublisher::Publish(const MeterReading& reading, MessageSink& sink) {
    const QString topic = MeterTopic(prefix_, reading);
    if (homeAssistant_) {
        for (const OutgoingMessage& config :
             DiscoveryMessages(reading, topic, statusTopic(), site_)) {
            if (!discovered_.contains(config.topic)) {
                discovered_.insert(config.topic);
                sink.Publish(config);
            }
        }
    }
    sink.Publish({topic, MeterMessage(reading, site_), retain_});
}

} // namespace quorven
