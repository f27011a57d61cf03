// SPDX-License-Identifier: GPL-3.0-or-later
// The program publishing to a real mosquitto broker on a free port of
// 127.0.0.1, with a subscriber beside it (skipped where mosquitto is absent):
// a read-out gives one message per meter; a broker stopped and started again
// during a logging run loses nothing; messages of a run that ended while the
// broker was down go out at the next start; a wrong password or a broker
// that cannot be reached gives one line, and the read-out goes on.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

namespace {

const QString kExamples = QStringLiteral(QUORVEN_SOURCE_DIR "/examples/");
constexpr int kDemoMeters = 9;

QString Executable(const QString& name) {
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty()) {
        return found;
    }
    return QStandardPaths::findExecutable(
        name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
}

quint16 FreePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QTest::qWait(50);
    }
    return true;
}

// A mosquitto broker on 127.0.0.1:port that keeps its sessions in dir
// across a restart.
class Broker {
public:
    Broker(const QString& dir, quint16 port, const QString& extra = {}) : dir_(dir), port_(port) {
        QFile conf(dir_ + QStringLiteral("/mosquitto.conf"));
        conf.open(QIODevice::WriteOnly);
        // Started by the superuser, mosquitto would become user "mosquitto",
        // who may not write the test's folder.
        conf.write(QStringLiteral("listener %1 127.0.0.1\nuser root\npersistence true\n"
                                  "persistence_location %2/\n%3\n")
                       .arg(port_)
                       .arg(dir_, extra.isEmpty() ? QStringLiteral("allow_anonymous true") : extra)
                       .toUtf8());
    }
    ~Broker() { Stop(); }
    bool Start() {
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->start(Executable(QStringLiteral("mosquitto")),
                        {QStringLiteral("-c"), dir_ + QStringLiteral("/mosquitto.conf")});
        return process_->waitForStarted() &&
               WaitFor(
                   [this] {
                       QTcpSocket socket;
                       socket.connectToHost(QHostAddress::LocalHost, port_);
                       return socket.waitForConnected(200);
                   },
                   5000);
    }
    void Stop() {
        if (process_ && process_->state() != QProcess::NotRunning) {
            process_->terminate();
            process_->waitForFinished(5000);
        }
    }

private:
    QString dir_;
    quint16 port_;
    std::unique_ptr<QProcess> process_;
};

// mosquitto_sub on every topic below "quorven/", QoS 1, a session the broker
// keeps while it is away.
class Subscriber {
public:
    explicit Subscriber(quint16 port) : port_(port) {
        process_.start(Executable(QStringLiteral("mosquitto_sub")),
                       {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                        QString::number(port), QStringLiteral("-t"), QStringLiteral("quorven/#"),
                        QStringLiteral("-q"), QStringLiteral("1"), QStringLiteral("-c"),
                        QStringLiteral("-i"), QStringLiteral("test-subscriber"),
                        QStringLiteral("-v")});
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            while (process_.canReadLine()) {
                const QByteArray line = process_.readLine().trimmed();
                const qsizetype space = line.indexOf(' ');
                messages.append({QString::fromUtf8(line.left(space)), line.mid(space + 1)});
            }
        });
    }
    ~Subscriber() {
        process_.terminate();
        process_.waitForFinished(3000);
    }
    // True once a probe published now has come through: the subscription stands.
    bool Ready() {
        return WaitFor(
            [this] {
                QProcess::execute(Executable(QStringLiteral("mosquitto_pub")),
                                  {QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                                   QStringLiteral("-p"), QString::number(port_),
                                   QStringLiteral("-t"), QStringLiteral("quorven/probe"),
                                   QStringLiteral("-m"), QStringLiteral("probe")});
                return WaitFor([this] { return !messages.isEmpty(); }, 500);
            },
            10000);
    }
    // The meters' messages: every topic but the status and the probe.
    QList<QPair<QString, QJsonObject>> MeterMessages() const {
        QList<QPair<QString, QJsonObject>> meters;
        for (const auto& [topic, payload] : messages) {
            if (!topic.endsWith(QLatin1String("/status")) &&
                topic != QLatin1String("quorven/probe")) {
                meters.append({topic, QJsonDocument::fromJson(payload).object()});
            }
        }
        return meters;
    }
    // Topic and time of each meter message, repeats counted once.
    QSet<QString> DistinctReads() const {
        QSet<QString> reads;
        for (const auto& [topic, json] : MeterMessages()) {
            reads.insert(topic + u' ' + json.value(QLatin1String("time")).toString());
        }
        return reads;
    }

    QList<QPair<QString, QByteArray>> messages;

private:
    quint16 port_;
    QProcess process_;
};

// A program run in its own settings folder with [MQTT] pointing at the broker.
class Station {
public:
    explicit Station(const QString& dir, const QStringList& mqttKeys) : dir_(dir) {
        QFile ini(dir_ + QStringLiteral("/quorven.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(
            ("[MQTT]\n" + mqttKeys.join(u'\n') + "\nSite=test\nClientId=test-station\n").toUtf8());
    }
    QStringList Arguments(const QString& slaveList, bool virtualTime) const {
        QStringList args{QStringLiteral("--simulate"), QStringLiteral("--config-dir=") + dir_,
                         QStringLiteral("--trace=") + TracePath(),
                         QStringLiteral("/S:") + slaveList,
                         QStringLiteral("/Z:") + dir_ + QStringLiteral("/log.csv")};
        if (virtualTime) {
            args.prepend(QStringLiteral("--virtual-time"));
        }
        return args;
    }
    // One unattended read-out on virtual time; its exit status.
    int ReadOnce(const QString& slaveList) const {
        QProcess p;
        p.start(QStringLiteral(QUORVEN_PROGRAM), Arguments(slaveList, true) << "/L");
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
            qWarning("%s", p.readAllStandardError().constData());
            return -1;
        }
        return p.exitCode();
    }
    QString TracePath() const { return dir_ + QStringLiteral("/trace.txt"); }
    QStringList TraceLines(const QString& start) const {
        QFile file(TracePath());
        file.open(QIODevice::ReadOnly);
        QStringList lines;
        for (const QByteArray& stamped : file.readAll().split('\n')) {
            // Each line begins with its date and time, "dd.MM.yy HH:mm:ss ".
            const QByteArray line = stamped.mid(18);
            if (line.startsWith(start.toUtf8())) {
                lines.append(QString::fromUtf8(line));
            }
        }
        return lines;
    }
    // "<identification number> <date> <time>" of every data row of the log.
    QStringList LoggedReads() const {
        QFile file(dir_ + QStringLiteral("/log.csv"));
        file.open(QIODevice::ReadOnly);
        QStringList reads;
        const QList<QByteArray> rows = file.readAll().split('\n');
        for (const QByteArray& row : rows.mid(1)) {
            const QList<QByteArray> cells = row.split(',');
            if (cells.size() > 5) {
                reads.append(QString::fromUtf8(cells[4] + ' ' + cells[1] + ' ' + cells[2]));
            }
        }
        reads.removeDuplicates();
        return reads;
    }

private:
    QString dir_;
};

// "2026-12-07T01:02:03+01:00" as the log writes it: "07.12.26 01:02:03".
QString AsLogged(const QString& id, const QString& isoTime) {
    const QDateTime t = QDateTime::fromString(isoTime.left(19), Qt::ISODate);
    return id + u' ' + t.toString(QStringLiteral("dd.MM.yy HH:mm:ss"));
}

} // namespace

class TestMqttBroker : public QObject {
    Q_OBJECT
private slots:
    void init();
    void readOnceGivesOneMessagePerMeter();
    void brokerAwayDuringLoggingLosesNothing();
    void runEndedWhileBrokerDownDeliversAtNextStart();
    void beyondMaxWaitingTheOldestAreDropped();
    void wrongPasswordGivesOneLine();
    void unreachableBrokerGivesOneLine();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    quint16 port_ = 0;
};

void TestMqttBroker::init() {
    if (Executable(QStringLiteral("mosquitto")).isEmpty() ||
        Executable(QStringLiteral("mosquitto_sub")).isEmpty()) {
        QSKIP("mosquitto and mosquitto_sub are not installed");
    }
    dir_ = std::make_unique<QTemporaryDir>();
    port_ = FreePort();
}

void TestMqttBroker::readOnceGivesOneMessagePerMeter() {
    Broker broker(dir_->path(), port_);
    QVERIFY(broker.Start());
    Subscriber subscriber(port_);
    QVERIFY(subscriber.Ready());
    const Station station(dir_->path(), {QStringLiteral("Url=mqtt://127.0.0.1:%1").arg(port_)});
    QCOMPARE(station.ReadOnce(kExamples + QStringLiteral("slist-demo.csv")), 0);

    QVERIFY(WaitFor([&] { return subscriber.MeterMessages().size() >= kDemoMeters; }, 10000));
    QTest::qWait(300); // nothing more comes
    const auto meters = subscriber.MeterMessages();
    QCOMPARE(meters.size(), kDemoMeters);
    QSet<QString> topics;
    for (const auto& [topic, json] : meters) {
        topics.insert(topic);
        QVERIFY2(json.contains(QLatin1String("records")), qPrintable(topic));
    }
    QCOMPARE(topics.size(), kDemoMeters);
    QVERIFY(topics.contains(QStringLiteral("quorven/test/KAM/06855817")));
    QCOMPARE(station.TraceLines(QStringLiteral("MQTT: connected to")).size(), 1);
}

void TestMqttBroker::brokerAwayDuringLoggingLosesNothing() {
    Broker broker(dir_->path(), port_);
    QVERIFY(broker.Start());
    Subscriber subscriber(port_);
    QVERIFY(subscriber.Ready());
    const Station station(dir_->path(), {QStringLiteral("Url=mqtt://127.0.0.1:%1").arg(port_)});
    // Three meters on one port, read again every second on real time.
    QFile list(dir_->path() + QStringLiteral("/three.csv"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    QFile demo(kExamples + QStringLiteral("slist-demo.csv"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = demo.readAll().split('\n');
    list.write(rows[0] + '\n' + rows[1] + '\n' + rows[2] + '\n' + rows[4] + '\n');
    list.close();

    QProcess program;
    program.start(QStringLiteral(QUORVEN_PROGRAM), station.Arguments(list.fileName(), false)
                                                       << "/L"
                                                       << "/X"
                                                       << "/I:1");
    QVERIFY(program.waitForStarted());
    QVERIFY(WaitFor([&] { return subscriber.MeterMessages().size() >= 3; }, 30000));
    broker.Stop();
    QTest::qWait(4000); // readings go on meanwhile
    QVERIFY(broker.Start());
    QVERIFY(
        WaitFor([&] { return !station.TraceLines(QStringLiteral("MQTT: connected to")).isEmpty(); },
                30000));
    QVERIFY(WaitFor(
        [&] { return station.TraceLines(QStringLiteral("MQTT: connected to")).size() >= 2; },
        30000));
    QTest::qWait(3000);
    program.kill();
    program.waitForFinished();

    QCOMPARE(station.TraceLines(QStringLiteral("MQTT: connection to")).size(), 1);
    // Every read the log holds came through, once or more.
    QSet<QString> received;
    QHash<QString, QStringList> timesPerMeter;
    for (const auto& [topic, json] : subscriber.MeterMessages()) {
        const QString time = json.value(QLatin1String("time")).toString();
        const QString id = json.value(QLatin1String("id")).toString();
        received.insert(AsLogged(id, time));
        QStringList& times = timesPerMeter[topic];
        if (!times.contains(time)) {
            times.append(time);
        }
    }
    const QStringList logged = station.LoggedReads();
    QVERIFY(logged.size() >= 9);
    for (const QString& read : logged) {
        QVERIFY2(received.contains(read), qPrintable(read));
    }
    // In order per meter.
    for (auto it = timesPerMeter.cbegin(); it != timesPerMeter.cend(); ++it) {
        QStringList sorted = it.value();
        sorted.sort();
        QCOMPARE(it.value(), sorted);
    }
}

void TestMqttBroker::runEndedWhileBrokerDownDeliversAtNextStart() {
    const Station station(dir_->path(), {QStringLiteral("Url=mqtt://127.0.0.1:%1").arg(port_)});
    const QString demo = kExamples + QStringLiteral("slist-demo.csv");
    QCOMPARE(station.ReadOnce(demo), 0);
    QCOMPARE(station.TraceLines(QStringLiteral("MQTT: cannot connect to")).size(), 1);
    QCOMPARE(
        station.TraceLines(QStringLiteral("MQTT: %1 messages wait for").arg(kDemoMeters)).size(),
        1);

    Broker broker(dir_->path(), port_);
    QVERIFY(broker.Start());
    Subscriber subscriber(port_);
    QVERIFY(subscriber.Ready());
    QTest::qWait(1100); // the second run's reads get another second
    QCOMPARE(station.ReadOnce(demo), 0);
    QVERIFY(WaitFor([&] { return subscriber.DistinctReads().size() >= 2 * kDemoMeters; }, 10000));
    QTest::qWait(300);
    QCOMPARE(subscriber.DistinctReads().size(), 2 * kDemoMeters);
}

void TestMqttBroker::beyondMaxWaitingTheOldestAreDropped() {
    const QString url = QStringLiteral("Url=mqtt://127.0.0.1:%1").arg(port_);
    const QString demo = kExamples + QStringLiteral("slist-demo.csv");
    const Station away(dir_->path(), {url, QStringLiteral("MaxWaiting=3")});
    QCOMPARE(away.ReadOnce(demo), 0);
    QCOMPARE(away.TraceLines(QStringLiteral("MQTT: 3 messages wait for the broker: the oldest "
                                            "are dropped from now on"))
                 .size(),
             1);
    QCOMPARE(away.TraceLines(QStringLiteral("MQTT: 3 messages wait for")).size(), 2);
    QVERIFY(away.TraceLines(QStringLiteral("MQTT: 3 messages wait for mqtt"))
                .value(0)
                .endsWith(QLatin1String("until the next start; 6 oldest were dropped")));

    Broker broker(dir_->path(), port_);
    QVERIFY(broker.Start());
    Subscriber subscriber(port_);
    QVERIFY(subscriber.Ready());
    QTest::qWait(1100);
    const Station back(dir_->path(), {url});
    QCOMPARE(back.ReadOnce(demo), 0);
    // The newest three of the first run, then the second run's nine.
    QVERIFY(WaitFor([&] { return subscriber.DistinctReads().size() >= 3 + kDemoMeters; }, 10000));
    QTest::qWait(300);
    const auto meters = subscriber.MeterMessages();
    QCOMPARE(subscriber.DistinctReads().size(), 3 + kDemoMeters);
    QCOMPARE(meters.at(0).first, QStringLiteral("quorven/test/GWF/00182007"));
    QCOMPARE(meters.at(2).first, QStringLiteral("quorven/test/LGB/12082058"));
}

void TestMqttBroker::wrongPasswordGivesOneLine() {
    const QString passwords = dir_->path() + QStringLiteral("/passwords");
    QCOMPARE(QProcess::execute(Executable(QStringLiteral("mosquitto_passwd")),
                               {QStringLiteral("-c"), QStringLiteral("-b"), passwords,
                                QStringLiteral("station"), QStringLiteral("right")}),
             0);
    Broker broker(dir_->path(), port_,
                  QStringLiteral("allow_anonymous false\npassword_file ") + passwords);
    QVERIFY(broker.Start());
    QFile password(dir_->path() + QStringLiteral("/password.txt"));
    QVERIFY(password.open(QIODevice::WriteOnly));
    password.write("wrong\n");
    password.close();
    const Station station(dir_->path(), {QStringLiteral("Url=mqtt://127.0.0.1:%1").arg(port_),
                                         QStringLiteral("User=station"),
                                         QStringLiteral("PasswordFile=password.txt")});
    QCOMPARE(station.ReadOnce(kExamples + QStringLiteral("slist-demo.csv")), 0);
    const QStringList lines = station.TraceLines(QStringLiteral("MQTT: cannot connect to"));
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].contains(QLatin1String("refused the user")), qPrintable(lines[0]));
    QCOMPARE(station.LoggedReads().size(), kDemoMeters);
}

void TestMqttBroker::unreachableBrokerGivesOneLine() {
    const Station station(dir_->path(), {QStringLiteral("Url=mqtt://127.0.0.1:%1").arg(port_)});
    QCOMPARE(station.ReadOnce(kExamples + QStringLiteral("slist-demo.csv")), 0);
    const QStringList lines = station.TraceLines(QStringLiteral("MQTT: cannot connect to"));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(station.LoggedReads().size(), kDemoMeters);
}

QTEST_GUILESS_MAIN(TestMqttBroker)
#include "test_mqtt_broker.moc"
