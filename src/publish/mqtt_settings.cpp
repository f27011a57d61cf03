// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/mqtt_settings.h"

#include "publish/meter_message.h"

#include <QUrl>

namespace quorven {

namespace {

constexpr int kMaxWaitingLimit = 10'000'000;

bool IsKey(const QString& name, QLatin1String key) {
    return name.compare(key, Qt::CaseInsensitive) == 0;
}

bool FlagOf(const QString& value) {
    return value.trimmed() == QLatin1String("1");
}

} // namespace

MqttSettings MqttSettingsFrom(const QList<std::pair<QString, QString>>& entries,
                              const QString& hostName, QStringList* report) {
    MqttSettings s;
    s.site = hostName;
    const auto refuse = [report](const QString& key, const QString& value, const QString& kept) {
        if (report != nullptr) {
            report->append(
                QStringLiteral("[MQTT] %1=%2 cannot be used; %3 is used").arg(key, value, kept));
        }
    };
    for (const auto& [key, rawValue] : entries) {
        const QString value = rawValue.trimmed();
        if (IsKey(key, QLatin1String("Url"))) {
            s.url = value;
        } else if (IsKey(key, QLatin1String("CaFile"))) {
            s.caFile = value;
        } else if (IsKey(key, QLatin1String("Topic"))) {
            if (!value.isEmpty()) {
                s.topic = value;
            }
        } else if (IsKey(key, QLatin1String("Site"))) {
            if (!value.isEmpty()) {
                s.site = value;
            }
        } else if (IsKey(key, QLatin1String("ClientId"))) {
            s.clientId = value;
        } else if (IsKey(key, QLatin1String("User"))) {
            s.user = value;
        } else if (IsKey(key, QLatin1String("PasswordFile"))) {
            s.passwordFile = value;
        } else if (IsKey(key, QLatin1String("Qos"))) {
            bool ok = false;
            const int qos = value.toInt(&ok);
            if (ok && qos >= 0 && qos <= 2) {
                s.qos = qos;
            } else {
                refuse(key, rawValue, QString::number(s.qos));
            }
        } else if (IsKey(key, QLatin1String("Retain"))) {
            s.retain = FlagOf(value);
        } else if (IsKey(key, QLatin1String("HomeAssistant"))) {
            s.homeAssistant = FlagOf(value);
        } else if (IsKey(key, QLatin1String("MaxWaiting"))) {
            bool ok = false;
            const int max = value.toInt(&ok);
            if (ok && max >= 1 && max <= kMaxWaitingLimit) {
                s.maxWaiting = max;
            } else {
                refuse(key, rawValue, QString::number(s.maxWaiting));
            }
        }
    }
    return s;
}

QString TopicPrefix(const MqttSettings& settings) {
    QString prefix = settings.topic;
    prefix.replace(QLatin1String("{site}"), TopicLevel(settings.site));
    while (prefix.endsWith(QLatin1Char('/'))) {
        prefix.chop(1);
    }
    return prefix.isEmpty() ? QStringLiteral("quorven") : prefix;
}

QString ClientIdOf(const MqttSettings& settings) {
    return settings.clientId.isEmpty() ? QStringLiteral("quorven-") + TopicLevel(settings.site)
                                       : settings.clientId;
}

QString ServerUri(const QString& url, QString* problem) {
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    const bool tls = scheme == QLatin1String("mqtts");
    if (!parsed.isValid() || (scheme != QLatin1String("mqtt") && !tls) || parsed.host().isEmpty() ||
        !(parsed.path().isEmpty() || parsed.path() == u'/') || parsed.hasQuery() ||
        !parsed.userInfo().isEmpty()) {
        *problem = QStringLiteral("\"%1\" is no broker address: write mqtt://HOST:PORT or "
                                  "mqtts://HOST:PORT")
                       .arg(url);
        return {};
    }
    const int port = parsed.port(tls ? 8883 : 1883);
    QString host = parsed.host();
    if (host.contains(QLatin1Char(':'))) {
        host = QLatin1Char('[') + host + QLatin1Char(']');
    }
    return (tls ? QStringLiteral("ssl://") : QStringLiteral("tcp://")) + host + QLatin1Char(':') +
           QString::number(port);
}

} // namespace quorven
