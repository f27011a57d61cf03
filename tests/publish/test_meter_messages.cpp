// SPDX-License-Identifier: GPL-3.0-or-later
// The messages of a read-out of the demonstration bus, built without a
// broker: one JSON message per meter read (or per error row), compared with a
// golden file per meter; Home Assistant's discovery messages in one golden
// file; the [MQTT] settings and broker addresses as data.
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "publish/meter_message.h"
#include "publish/reading_publisher.h"

#include "common/golden.h"
#include "common/scripted_prompter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace quorven;
using quorven::testing::CompareGolden;
using quorven::testing::ScriptedPrompter;

namespace {

const QString kGolden = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/publish/golden/");

struct RecordingSink final : MessageSink {
    QList<OutgoingMessage> messages;
    void Publish(const OutgoingMessage& message) override { messages.append(message); }
};

// Every meter of the slave list read once on virtual time, from 01:02:03 at
// one hour east of UTC, and the messages it gave.
QList<OutgoingMessage> ReadOnce(const QString& slaveList, bool homeAssistant) {
    VirtualClock clock;
    ScriptedPrompter prompter;
    Station station(prompter);
    QStringList report;
    station.ConnectPorts(clock, {{}, true, {}}, &report);
    station.wallClock().Start(
        QDateTime(QDate(2026, 12, 7), QTime(1, 2, 3), Qt::OffsetFromUTC, 3600), clock);
    station.tables().LoadSlaveList(QStringLiteral(QUORVEN_SOURCE_DIR "/examples/") + slaveList,
                                   u',', QStringLiteral("COM1"));
    MqttSettings settings;
    settings.site = QStringLiteral("Site 1");
    settings.homeAssistant = homeAssistant;
    RecordingSink sink;
    ReadingPublisher publisher(settings);
    QObject::connect(&station, &Station::meterRead, [&](const SlaveRead& read) {
        publisher.Publish(ToMeterReading(CaptureReading(station.tables(), read)), sink);
    });
    station.MBRead_ButtonClick();
    return sink.messages;
}

QJsonObject AsJson(const OutgoingMessage& message) {
    QJsonObject object;
    object.insert(QLatin1String("topic"), message.topic);
    object.insert(QLatin1String("retain"), message.retain);
    object.insert(QLatin1String("payload"), QJsonDocument::fromJson(message.payload).object());
    return object;
}

} // namespace

class TestMeterMessages : public QObject {
    Q_OBJECT
private slots:
    void oneMessagePerMeter_data();
    void oneMessagePerMeter();
    void homeAssistantDiscovery();
    void cellValues_data();
    void cellValues();
    void timeKeepsItsOffset();
    void settingsSection_data();
    void settingsSection();
    void brokerAddresses_data();
    void brokerAddresses();
};

void TestMeterMessages::oneMessagePerMeter_data() {
    QTest::addColumn<QString>("slaveList");
    QTest::addColumn<int>("meters");
    QTest::newRow("demonstration bus") << "slist-demo.csv" << 9;
    QTest::newRow("error rows") << "slist-faults.csv" << 3;
}

void TestMeterMessages::oneMessagePerMeter() {
    QFETCH(QString, slaveList);
    QFETCH(int, meters);
    const QList<OutgoingMessage> messages = ReadOnce(slaveList, false);
    QCOMPARE(messages.size(), meters);
    for (const OutgoingMessage& message : messages) {
        QVERIFY2(message.topic.startsWith(QLatin1String("quorven/Site 1/")),
                 qPrintable(message.topic));
        QVERIFY(!message.retain);
        QVERIFY(QJsonDocument::fromJson(message.payload).isObject());
        // The file is named after the meter: manufacturer and identification.
        const QString name = message.topic.section(u'/', 2).replace(u'/', u'-');
        CompareGolden(QJsonDocument(AsJson(message)).toJson(QJsonDocument::Indented),
                      kGolden + slaveList.section(u'.', 0, 0) + u'/' + name +
                          QStringLiteral(".json"));
    }
}

void TestMeterMessages::homeAssistantDiscovery() {
    const QList<OutgoingMessage> messages = ReadOnce(QStringLiteral("slist-demo.csv"), true);
    QJsonArray discovery;
    for (const OutgoingMessage& message : messages) {
        if (message.topic.startsWith(QLatin1String("homeassistant/"))) {
            QVERIFY(message.retain);
            discovery.append(AsJson(message));
        }
    }
    QCOMPARE(messages.size() - discovery.size(), 9); // the meters' own messages still go
    CompareGolden(QJsonDocument(discovery).toJson(QJsonDocument::Indented),
                  kGolden + QStringLiteral("homeassistant.json"));
}

void TestMeterMessages::cellValues_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QJsonValue>("value");
    QTest::newRow("decimal") << "     6531.00" << QJsonValue(6531.0);
    QTest::newRow("negative") << "-12.5" << QJsonValue(-12.5);
    QTest::newRow("exponent") << "1.5E+03" << QJsonValue(1500.0);
    QTest::newRow("hexadecimal status") << "$00" << QJsonValue(QStringLiteral("$00"));
    QTest::newRow("date") << "12.03.24" << QJsonValue(QStringLiteral("12.03.24"));
    QTest::newRow("time of day") << "16:45" << QJsonValue(QStringLiteral("16:45"));
    QTest::newRow("infinity is text") << "inf" << QJsonValue(QStringLiteral("inf"));
    QTest::newRow("empty") << "" << QJsonValue(QString());
}

void TestMeterMessages::cellValues() {
    QFETCH(QString, cell);
    QFETCH(QJsonValue, value);
    QCOMPARE(CellValue(cell), value);
}

void TestMeterMessages::timeKeepsItsOffset() {
    const QDate day(2026, 12, 7);
    const QTime time(1, 2, 3);
    QCOMPARE(IsoTimeWithOffset(QDateTime(day, time, Qt::UTC)),
             QString("2026-12-07T01:02:03+00:00"));
    QCOMPARE(IsoTimeWithOffset(QDateTime(day, time, Qt::OffsetFromUTC, -(3 * 3600 + 30 * 60))),
             QString("2026-12-07T01:02:03-03:30"));
}

void TestMeterMessages::settingsSection_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected"); // prefix|client id|qos|retain|HA|max|report lines
    QTest::newRow("defaults") << QStringList{"Url=mqtt://broker"}
                              << "quorven/host-a|quorven-host-a|1|0|0|100000|0";
    QTest::newRow("keys without regard to case") << QStringList{"URL=mqtt://broker",
                                                                "topic=meters/{site}/",
                                                                "SITE=Block B/2",
                                                                "clientid=station-7",
                                                                "QOS=2",
                                                                "retain=1",
                                                                "homeassistant=1",
                                                                "maxwaiting=500"}
                                                 << "meters/Block B_2|station-7|2|1|1|500|0";
    QTest::newRow("values that cannot be used")
        << QStringList{"Url=mqtt://broker", "Qos=3", "MaxWaiting=0", "Retain=yes"}
        << "quorven/host-a|quorven-host-a|1|0|0|100000|2";
}

void TestMeterMessages::settingsSection() {
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    QList<std::pair<QString, QString>> entries;
    for (const QString& line : lines) {
        entries.append({line.section(u'=', 0, 0), line.section(u'=', 1)});
    }
    QStringList report;
    const MqttSettings s = MqttSettingsFrom(entries, QStringLiteral("host-a"), &report);
    QVERIFY(s.enabled());
    const QString actual = QStringList{TopicPrefix(s),
                                       ClientIdOf(s),
                                       QString::number(s.qos),
                                       QString::number(int(s.retain)),
                                       QString::number(int(s.homeAssistant)),
                                       QString::number(s.maxWaiting),
                                       QString::number(report.size())}
                               .join(u'|');
    QCOMPARE(actual, expected);
    QVERIFY(!MqttSettingsFrom({}, QStringLiteral("host-a"), &report).enabled());
}

void TestMeterMessages::brokerAddresses_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("uri"); // empty: refused
    QTest::newRow("default port") << "mqtt://broker.example"
                                  << "tcp://broker.example:1883";
    QTest::newRow("port") << "mqtt://10.0.0.5:11883"
                          << "tcp://10.0.0.5:11883";
    QTest::newRow("tls default port") << "mqtts://broker"
                                      << "ssl://broker:8883";
    QTest::newRow("IPv6") << "mqtt://[fd00::5]:1883"
                          << "tcp://[fd00::5]:1883";
    QTest::newRow("scheme upper case") << "MQTT://broker:1"
                                       << "tcp://broker:1";
    QTest::newRow("other scheme") << "http://broker"
                                  << "";
    QTest::newRow("no host") << "mqtt://:1883"
                             << "";
    QTest::newRow("a path") << "mqtt://broker/x"
                            << "";
    QTest::newRow("credentials in the URL") << "mqtt://u:p@broker"
                                            << "";
    QTest::newRow("bare host") << "broker:1883"
                               << "";
}

void TestMeterMessages::brokerAddresses() {
    QFETCH(QString, url);
    QFETCH(QString, uri);
    QString problem;
    QCOMPARE(ServerUri(url, &problem), uri);
    QCOMPARE(problem.isEmpty(), !uri.isEmpty());
}

QTEST_GUILESS_MAIN(TestMeterMessages)
#include "test_meter_messages.moc"
