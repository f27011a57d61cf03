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
      publisher_(settings, client_) {
    connect(&client_, &MqttClient::line, this,
            [this](const QString& text) { station_.trace().append(text); });
    connect(&station, &Station::meterRead, this, [this](const SlaveRead& read) {
        publisher_.Publish(CaptureReading(station_.tables(), read));
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
