// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/station_publishing.h"

#include "operations/station.h"

#include <QCoreApplication>
#include <QDir>
#include <QSysInfo>

namespace quorven {

StationPublishing::StationPublishing(Station& station, const MqttSettings& settings,
                                     const QString& storeFolder)
    : station_(station), url_(settings.url),
      client_(settings, TopicPrefix(settings) + QStringLiteral("/status"), storeFolder),
      publisher_(settings) {
    connect(&client_, &MqttClient::line, this,
            [this](const QString& text) { station_.trace().append(text); });
    // Only the cells are taken here; the messages are made on the client's
    // thread, where alone the publisher is used.
    connect(&station, &Station::meterRead, this, [this](const SlaveRead& read) {
        client_.Post([publisher = &publisher_, reading = CaptureReading(station_.tables(), read)](
                         MessageSink& sink) { publisher->Publish(ToMeterReading(reading), sink); });
    });
}

StationPublishing::~StationPublishing() {
    Finish(0);
}

bool StationPublishing::Start() {
    return client_.Start();
}

void StationPublishing::Finish(int waitMs) {
    client_.Finish(waitMs);
    // The client's last lines, before the text area goes.
    QCoreApplication::sendPostedEvents(&client_, QEvent::MetaCall);
}

MqttSettings MqttSettingsOfRun(const QList<std::pair<QString, QString>>& section,
                               const QString& urlOption, const QString& configFolder,
                               QStringList* report) {
    MqttSettings s = MqttSettingsFrom(section, QSysInfo::machineHostName(), report);
    if (!urlOption.isEmpty()) {
        s.url = urlOption;
    }
    if (!s.passwordFile.isEmpty()) {
        s.passwordFile = QDir(configFolder).absoluteFilePath(s.passwordFile);
    }
    if (!s.caFile.isEmpty()) {
        s.caFile = QDir(configFolder).absoluteFilePath(s.caFile);
    }
    return s;
}

QString MqttStoreFolder(const QString& configFolder) {
    return QDir(configFolder).filePath(QStringLiteral("mqtt-waiting"));
}

} // namespace quorven
