// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/mqtt_settings.h"
#include "publish/outgoing_message.h"

#include <MQTTAsync.h>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>

namespace quorven {

// The client library's client, used only on the thread this object lives
// on. The library calls back on threads of its own; each callback is handed
// to this object's thread as a queued call.
class MqttConnection final : public QObject, public MessageSink {
    Q_OBJECT
public:
    MqttConnection(const MqttSettings& settings, const QString& statusTopic,
                   const QString& storeFolder);
    ~MqttConnection() override;

    bool Start();
    void Publish(const OutgoingMessage& message) override;
    void Finish(int waitMs);

    // How long the next connect waits after a failed one, at most.
    static constexpr int kMaxRetrySeconds = 30;

signals:
    void line(const QString& text);

private:
    static void OnConnectSuccess(void* context, MQTTAsync_successData* data);
    static void OnConnectFailure(void* context, MQTTAsync_failureData* data);
    static void OnConnectionLost(void* context, char* cause);
    static int OnMessageArrived(void* context, char* topic, int topicLength,
                                MQTTAsync_message* message);

    void Connect();
    void Connected();
    void Failed(const QString& reason, bool lost);
    int PendingCount() const;
    void SendRaw(const QString& topic, const QByteArray& payload, bool retain);
    QString WaitingText() const;

    MqttSettings settings_;
    QString statusTopic_;
    QByteArray store_;
    QByteArray serverUri_;
    QByteArray clientId_;
    QByteArray user_;
    QByteArray password_;
    QByteArray caFile_;
    QByteArray willTopic_;
    MQTTAsync client_ = nullptr;
    QTimer retry_;
    int retrySeconds_ = 1;
    bool connected_ = false;
    bool everConnected_ = false;
    bool connecting_ = false;
    // Set by the library's threads: a connect is under way (the end of the
    // program waits for its outcome).
    std::atomic<bool> connectPending_{false};
    QString lastReason_;  // the reason said for the present outage
    qint64 buffered_ = 0; // messages waiting while away, as far as counted
    qint64 dropped_ = 0;  // the oldest dropped during the present outage
    qint64 droppedSaid_ = 0;
};

} // namespace quorven
