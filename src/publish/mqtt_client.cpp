// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/mqtt_client.h"

#include "publish/mqtt_connection.h"

#include <QTimer>

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

void MqttClient::Post(Job job) {
    if (finished_) {
        return;
    }
    bool first = false;
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(job));
        first = !batchDue_;
        batchDue_ = true;
    }
    if (first) {
        QMetaObject::invokeMethod(
            connection_,
            [this] { QTimer::singleShot(kBatchMs, connection_, [this] { RunPosted(); }); },
            Qt::QueuedConnection);
    }
}

void MqttClient::RunPosted() {
    std::vector<Job> jobs;
    {
        const std::lock_guard lock(mutex_);
        jobs.swap(posted_);
        batchDue_ = false;
    }
    for (const Job& job : jobs) {
        job(*connection_);
    }
}

void MqttClient::Finish(int waitMs) {
    if (finished_) {
        return;
    }
    finished_ = true;
    // Every job posted before goes first.
    QMetaObject::invokeMethod(
        connection_,
        [this, waitMs] {
            RunPosted();
            connection_->Finish(waitMs);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

} // namespace quorven
