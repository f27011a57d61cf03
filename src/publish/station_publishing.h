// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/mqtt_client.h"
#include "publish/mqtt_settings.h"
#include "publish/reading_publisher.h"

#include <QObject>
#include <QString>

#include <memory>

namespace quorven {

class Station;

// Publishing wired to a station: every meter its read-outs read becomes a
// message on the broker, and what happens to the connection becomes a line
// of its text area.
class StationPublishing final : public QObject {
    Q_OBJECT
public:
    // storeFolder keeps the messages that wait for the broker.
    StationPublishing(Station& station, const MqttSettings& settings, const QString& storeFolder);
    ~StationPublishing() override;

    // False, with a line in the text area, when the settings give no client.
    bool Start();
    // See MqttClient::Finish.
    void Finish(int waitMs);
    // The broker's URL.
    const QString& url() const { return url_; }

private:
    Station& station_;
    QString url_;
    MqttClient client_;
    ReadingPublisher publisher_;
};

// The settings of this run: the section's keys, the URL of --mqtt (when
// given) in place of the section's, and the password file's path taken
// from configFolder when it is relative.
MqttSettings MqttSettingsOfRun(const QList<std::pair<QString, QString>>& section,
                               const QString& urlOption, const QString& configFolder,
                               QStringList* report);

// Where the messages waiting for the broker are kept: below the settings
// folder.
QString MqttStoreFolder(const QString& configFolder);

// How long the end of a program waits for the messages still on their way.
inline constexpr int kFinishWaitMs = 5000;

} // namespace quorven
