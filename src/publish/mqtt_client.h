// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/mqtt_settings.h"
#include "publish/outgoing_message.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <mutex>
#include <vector>

namespace quorven {

class MqttConnection;

// The broker's client. Messages are made and handed over on a thread of
// their own, which alone calls the client library: a slow or absent broker, a name
// lookup or the library's files never hold up the caller (the window, a
// read-out). The jobs posted are taken in batches, kBatchMs after the first
// of a batch, so that a busy read-out hands its meters over without waking
// that thread, the library's and the broker for each one. The library keeps the messages that wait
// for the broker, in order, in files below storeFolder, so they also outlive the program; at most
// MaxWaiting wait, beyond that the oldest are dropped. What happens to the connection comes back as
// lines for the text area.
class MqttClient final : public QObject {
    Q_OBJECT
public:
    // statusTopic gets "online" while the station is connected and "offline"
    // (the broker's will) when it is gone; retained. The password is the
    // first line of passwordFile, if any.
    MqttClient(const MqttSettings& settings, const QString& statusTopic, const QString& storeFolder,
               QObject* parent = nullptr);
    ~MqttClient() override;

    // Creates the library's client (the messages a previous run left waiting
    // go out first) and starts connecting. False, and a line, when the
    // settings cannot give a client.
    bool Start();
    // Runs job on the client's thread, after every job posted before and at
    // most kBatchMs later; what it publishes on the sink goes to the broker.
    void Post(std::function<void(MessageSink&)> job);
    // At the program's end: waits at most waitMs for the waiting messages to
    // reach a connected broker, says "offline" and disconnects. What is still
    // waiting stays in the files for the next start.
    void Finish(int waitMs);

    static constexpr int kBatchMs = 100;

signals:
    void line(const QString& text);

private:
    using Job = std::function<void(MessageSink&)>;
    // On the client's thread: the jobs posted so far, in order.
    void RunPosted();

    std::mutex mutex_;
    std::vector<Job> posted_; // guarded by mutex_
    bool batchDue_ = false;   // guarded by mutex_: a RunPosted is on its way
    QThread thread_;
    MqttConnection* connection_ = nullptr; // lives on thread_
    bool finished_ = false;
};

} // namespace quorven
