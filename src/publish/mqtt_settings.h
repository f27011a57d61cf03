// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace quorven {

// Section "MQTT" of the settings file: where every reading is published.
// Without the section (or without a URL) nothing is published.
struct MqttSettings {
    QString url;    // "Url": mqtt://host:1883 or mqtts://host:8883
    QString caFile; // "CaFile": certificates for mqtts://
    QString topic = QStringLiteral("quorven/{site}"); // "Topic": the prefix; {site} is Site
    QString site;                                     // "Site": free text, default the host name
    QString clientId;                                 // "ClientId": default "quorven-<site>"
    QString user;                                     // "User"
    QString passwordFile;       // "PasswordFile": its first line is the password
    int qos = 1;                // "Qos": 0, 1 or 2
    bool retain = false;        // "Retain": 1 retains every meter's message
    bool homeAssistant = false; // "HomeAssistant": 1 sends discovery messages
    int maxWaiting = 100'000;   // "MaxWaiting": messages kept while away

    bool enabled() const { return !url.isEmpty(); }
};

inline constexpr char16_t kMqttSection[] = u"MQTT";

// The settings from the section's keys (found without regard to case).
// Values that cannot be used keep their defaults, and a line saying so goes
// to *report. hostName is the default site.
MqttSettings MqttSettingsFrom(const QList<std::pair<QString, QString>>& entries,
                              const QString& hostName, QStringList* report);

// The topic prefix: Topic with "{site}" replaced, without a "/" at its end.
QString TopicPrefix(const MqttSettings& settings);
QString ClientIdOf(const MqttSettings& settings);

// The broker's address as the client library takes it ("tcp://host:1883",
// "ssl://host:8883"), or an empty text and the reason in *problem for a URL
// that is no mqtt:// or mqtts:// URL with a host.
QString ServerUri(const QString& url, QString* problem);

} // namespace quorven
