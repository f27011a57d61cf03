// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/mqtt_client.h"

#include "publish/mqtt_connection.h"

namespace quorven {

MqttClient::MqttClient(const MqttSettings& settings, const QString& statusTopic,
                       const QString& storeFolder, QObject* parent)
    : QObject(parent), connection_(new MqttConnection(settings, statusTopic, storeFolder)) {
    thread_.setObjectName(QStringLiteral("mqtt"));
    connection_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, connection_, &QObject::deleteLater);
    connect(connection_, &MqttConnection::line, this, &MqttClient::line);
    thread_.start();
}

MqttClient::~MqttClient() {
    if (!finished_) {
        Finish(0);
    }
}

bool MqttClient::Start() {
    bool started = false;
    QMetaObject::invokeMethod(
        connection_, [this, &started] { started = connection_->Start(); },
        Qt::BlockingQueuedConnection);
    return started;
}

void MqttClient::Post(std::function<void(MessageSink&)> job) {
    if (finished_) {
        return;
    }
    QMetaObject::invokeMethod(
        connection_, [connection = connection_, job = std::move(job)] { job(*connection); },
        Qt::QueuedConnection);
}

void MqttClient::Finish(int waitMs) {
    if (finished_) {
        return;
    }
    finished_ = true;
    // Runs after every message handed over before.
    QMetaObject::invokeMethod(
        connection_, [connection = connection_, waitMs] { connection->Finish(waitMs); },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

} // namespace quorven
