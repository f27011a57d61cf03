// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/mqtt_connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace quorven {

namespace {

[[maybe_unused]] constexpr int kNiceness = 10;

// The broker's refusals in its connection acknowledgement.
QString RefusalText(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("the broker refused the protocol version");
    case 2:
        return QStringLiteral("the broker refused the client identifier");
    case 3:
        return QStringLiteral("the broker is not available");
    case 4:
        return QStringLiteral("the broker refused the user name or password");
    case 5:
        return QStringLiteral("the broker refused the user (not authorised)");
    default:
        return QStringLiteral("the broker refused the connection (code %1)").arg(code);
    }
}

QString FailureText(int code, const char* message) {
    if (code > 0) {
        return RefusalText(code);
    }
    if (message != nullptr && *message != '\0') {
        return QString::fromUtf8(message);
    }
    const char* text = MQTTAsync_strerror(code);
    return text != nullptr ? QString::fromUtf8(text) : QStringLiteral("error %1").arg(code);
}

// The first line of a file, without its line end.
QByteArray FirstLine(const QString& path, QString* problem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = file.errorString();
        return {};
    }
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

} // namespace

MqttConnection::MqttConnection(const MqttSettings& settings, const QString& statusTopic,
                               const QString& storeFolder)
    : settings_(settings), statusTopic_(statusTopic), store_(QFile::encodeName(storeFolder)),
      retry_(this) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &MqttConnection::Connect);
}

MqttConnection::~MqttConnection() {
    if (client_ != nullptr) {
        // No callback comes after this.
        MQTTAsync_destroy(&client_);
    }
}

bool MqttConnection::Start() {
#ifdef Q_OS_LINUX
    // Publishing yields the processor to the read-out: this thread, and the
    // library's threads it starts (which inherit it), run at a lower priority.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNiceness);
#endif
    QString problem;
    serverUri_ = ServerUri(settings_.url, &problem).toUtf8();
    if (serverUri_.isEmpty()) {
        emit line(QStringLiteral("MQTT: ") + problem + QStringLiteral("; nothing is published"));
        return false;
    }
    clientId_ = ClientIdOf(settings_).toUtf8();
    user_ = settings_.user.toUtf8();
    caFile_ = QFile::encodeName(settings_.caFile);
    willTopic_ = statusTopic_.toUtf8();
    if (!settings_.passwordFile.isEmpty()) {
        password_ = FirstLine(settings_.passwordFile, &problem);
        if (!problem.isEmpty()) {
            emit line(QStringLiteral("MQTT: the password file %1 cannot be read: %2; connecting "
                                     "without a password")
                          .arg(QDir::toNativeSeparators(settings_.passwordFile), problem));
        }
    }
    QDir().mkpath(QFile::decodeName(store_));

    MQTTAsync_createOptions create = MQTTAsync_createOptions_initializer;
    create.MQTTVersion = MQTTVERSION_3_1_1;
    create.sendWhileDisconnected = 1;
    create.allowDisconnectedSendAtAnyTime = 1;
    create.maxBufferedMessages = settings_.maxWaiting;
    create.deleteOldestMessages = 1;
    create.restoreMessages = 1;
    create.persistQoS0 = 1;
    const int rc =
        MQTTAsync_createWithOptions(&client_, serverUri_.constData(), clientId_.constData(),
                                    MQTTCLIENT_PERSISTENCE_DEFAULT, store_.data(), &create);
    if (rc != MQTTASYNC_SUCCESS) {
        client_ = nullptr;
        emit line(QStringLiteral("MQTT: no client for %1: %2; nothing is published")
                      .arg(settings_.url, FailureText(rc, nullptr)));
        return false;
    }
    MQTTAsync_setCallbacks(client_, this, &MqttConnection::OnConnectionLost,
                           &MqttConnection::OnMessageArrived, nullptr);
    buffered_ = PendingCount();
    Connect();
    return true;
}

void MqttConnection::Connect() {
    if (client_ == nullptr || connected_ || connecting_) {
        return;
    }
    MQTTAsync_willOptions will = MQTTAsync_willOptions_initializer;
    will.topicName = willTopic_.constData();
    will.message = "offline";
    will.retained = 1;
    will.qos = 1;
    MQTTAsync_SSLOptions ssl = MQTTAsync_SSLOptions_initializer;
    ssl.enableServerCertAuth = 1;
    ssl.verify = 1;
    if (!caFile_.isEmpty()) {
        ssl.trustStore = caFile_.constData();
    } else {
        ssl.CApath = "/etc/ssl/certs";
    }
    MQTTAsync_connectOptions options = MQTTAsync_connectOptions_initializer;
    options.MQTTVersion = MQTTVERSION_3_1_1;
    options.keepAliveInterval = 20;
    // The broker keeps the session: messages sent but not acknowledged when
    // the connection broke go again.
    options.cleansession = 0;
    options.connectTimeout = 10;
    options.will = &will;
    if (serverUri_.startsWith("ssl://")) {
        options.ssl = &ssl;
    }
    if (!user_.isEmpty()) {
        options.username = user_.constData();
    }
    if (!password_.isEmpty()) {
        options.password = password_.constData();
    }
    options.onSuccess = &MqttConnection::OnConnectSuccess;
    options.onFailure = &MqttConnection::OnConnectFailure;
    options.context = this;
    connecting_ = true;
    connectPending_ = true;
    const int rc = MQTTAsync_connect(client_, &options);
    if (rc != MQTTASYNC_SUCCESS) {
        connecting_ = false;
        connectPending_ = false;
        Failed(FailureText(rc, nullptr), false);
    }
}

void MqttConnection::OnConnectSuccess(void* context, MQTTAsync_successData*) {
    auto* self = static_cast<MqttConnection*>(context);
    self->connectPending_ = false;
    QMetaObject::invokeMethod(
        self, [self] { self->Connected(); }, Qt::QueuedConnection);
}

void MqttConnection::OnConnectFailure(void* context, MQTTAsync_failureData* data) {
    auto* self = static_cast<MqttConnection*>(context);
    const QString reason = data != nullptr ? FailureText(data->code, data->message)
                                           : QStringLiteral("no reason given");
    self->connectPending_ = false;
    QMetaObject::invokeMethod(
        self,
        [self, reason] {
            self->connecting_ = false;
            self->Failed(reason, false);
        },
        Qt::QueuedConnection);
}

void MqttConnection::OnConnectionLost(void* context, char* cause) {
    auto* self = static_cast<MqttConnection*>(context);
    const QString reason = cause != nullptr && *cause != '\0'
                               ? QString::fromUtf8(cause)
                               : QStringLiteral("the broker closed it or the network failed");
    QMetaObject::invokeMethod(
        self, [self, reason] { self->Failed(reason, true); }, Qt::QueuedConnection);
}

int MqttConnection::OnMessageArrived(void*, char* topic, int, MQTTAsync_message* message) {
    // The station subscribes to nothing.
    MQTTAsync_freeMessage(&message);
    MQTTAsync_free(topic);
    return 1;
}

QString MqttConnection::WaitingText() const {
    return QStringLiteral("readings wait for it (at most %1)").arg(settings_.maxWaiting);
}

void MqttConnection::Connected() {
    const bool again = everConnected_ || !lastReason_.isEmpty();
    connected_ = true;
    connecting_ = false;
    everConnected_ = true;
    retrySeconds_ = 1;
    const int waiting = PendingCount();
    QString text = QStringLiteral("MQTT: connected to %1").arg(settings_.url);
    if (again) {
        text += QStringLiteral(" again");
    }
    if (waiting > 0) {
        text += QStringLiteral("; %1 waiting messages go out").arg(waiting);
    }
    if (dropped_ > droppedSaid_ || (dropped_ > 0 && again)) {
        text += QStringLiteral("; %1 oldest were dropped while it was away").arg(dropped_);
    }
    emit line(text);
    lastReason_.clear();
    buffered_ = 0;
    dropped_ = 0;
    droppedSaid_ = 0;
    SendRaw(statusTopic_, QByteArrayLiteral("online"), true);
}

void MqttConnection::Failed(const QString& reason, bool lost) {
    if (lost && !connected_) {
        return;
    }
    if (connected_ || lastReason_.isEmpty()) {
        buffered_ = PendingCount();
    }
    connected_ = false;
    // Said once an outage: the attempts that follow fail alike.
    if (lastReason_.isEmpty()) {
        const QString what = lost ? QStringLiteral("MQTT: connection to %1 lost: %2; %3")
                                  : QStringLiteral("MQTT: cannot connect to %1: %2; %3");
        emit line(what.arg(settings_.url, reason, WaitingText()));
        lastReason_ = reason;
    }
    retry_.start(retrySeconds_ * 1000);
    retrySeconds_ = std::min(retrySeconds_ * 2, kMaxRetrySeconds);
}

int MqttConnection::PendingCount() const {
    MQTTAsync_token* tokens = nullptr;
    if (client_ == nullptr || MQTTAsync_getPendingTokens(client_, &tokens) != MQTTASYNC_SUCCESS ||
        tokens == nullptr) {
        return 0;
    }
    int count = 0;
    while (tokens[count] != -1) {
        ++count;
    }
    MQTTAsync_free(tokens);
    return count;
}

void MqttConnection::Publish(const OutgoingMessage& message) {
    if (client_ == nullptr) {
        return;
    }
    if (!connected_) {
        if (buffered_ >= settings_.maxWaiting) {
            // The library drops the oldest to keep this one.
            ++dropped_;
            if (droppedSaid_ == 0) {
                emit line(QStringLiteral("MQTT: %1 messages wait for the broker: the oldest are "
                                         "dropped from now on")
                              .arg(settings_.maxWaiting));
                droppedSaid_ = dropped_;
            }
        } else {
            ++buffered_;
        }
    }
    SendRaw(message.topic, message.payload, message.retain);
}

void MqttConnection::SendRaw(const QString& topic, const QByteArray& payload, bool retain) {
    const QByteArray topicBytes = topic.toUtf8();
    MQTTAsync_message message = MQTTAsync_message_initializer;
    message.payload = const_cast<char*>(payload.constData());
    message.payloadlen = static_cast<int>(payload.size());
    message.qos = settings_.qos;
    message.retained = retain ? 1 : 0;
    const int rc = MQTTAsync_sendMessage(client_, topicBytes.constData(), &message, nullptr);
    if (rc != MQTTASYNC_SUCCESS) {
        emit line(QStringLiteral("MQTT: a message to %1 was not taken: %2")
                      .arg(topic, FailureText(rc, nullptr)));
    }
}

void MqttConnection::Finish(int waitMs) {
    if (client_ == nullptr) {
        return;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    const auto waitFor = [&](const auto& done, qint64 limitMs) {
        while (!done() && elapsed.elapsed() < limitMs) {
            QThread::msleep(20);
        }
    };
    // A short run may end while its first connect is still under way.
    waitFor([this] { return !connectPending_; }, waitMs);
    // What the library reported meanwhile, so its lines are said.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    retry_.stop();
    if (MQTTAsync_isConnected(client_)) {
        waitFor([this] { return PendingCount() == 0; }, waitMs);
        SendRaw(statusTopic_, QByteArrayLiteral("offline"), true);
        waitFor([this] { return PendingCount() == 0; }, waitMs + 1000);
        MQTTAsync_disconnectOptions options = MQTTAsync_disconnectOptions_initializer;
        options.timeout = 1000;
        if (MQTTAsync_disconnect(client_, &options) == MQTTASYNC_SUCCESS) {
            waitFor([this] { return !MQTTAsync_isConnected(client_); }, waitMs + 2000);
        }
    }
    const int waiting = PendingCount();
    if (waiting > 0) {
        QString text = QStringLiteral("MQTT: %1 messages wait for %2 until the next start")
                           .arg(waiting)
                           .arg(settings_.url);
        if (dropped_ > 0) {
            text += QStringLiteral("; %1 oldest were dropped").arg(dropped_);
        }
        emit line(text);
    }
    MQTTAsync_destroy(&client_);
    client_ = nullptr;
}

} // namespace quorven
