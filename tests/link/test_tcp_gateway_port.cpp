// SPDX-License-Identifier: GPL-3.0-or-later
// A gateway over TCP in real time: a test gateway (a TCP server in front of
// the simulated demonstration bus) and the real ser2net program in front of a
// pseudo-terminal. The connect time-out runs on virtual time.
#include "link/mb_sio.h"
#include "link/system_port_factory.h"
#include "link/tcp_gateway_port.h"
#include "link/virtual_clock.h"
#include "pty_peer.h"
#include "sim/answer_header.h"
#include "sim/simulated_bus.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

namespace {

// The demonstration bus's water meter: address 2, a 92-byte answer.
constexpr int kWaterMeter = 1;
constexpr std::uint8_t kAddress = 2;

QByteArray DemoAnswer(const sim::SimulatedBus& bus) {
    return sim::StampAnswer(bus.description().meters[kWaterMeter].telegrams[0],
                            bus.meter(kWaterMeter).identity());
}

// A transparent gateway: each connection gets a port on the bus at 2400 baud.
struct TestGateway {
    explicit TestGateway(Clock& clock) : bus(sim::SimulatedBus::demo(clock)) {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            ++connections;
            line = bus->createPort("gateway");
            line->open();
            line->onBytesReceived = [this, socket](qint64 n) { socket->write(line->read(n)); };
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                fromMaster += socket->peek(socket->bytesAvailable());
                dropOnRequest ? socket->abort() : static_cast<void>(line->write(socket->readAll()));
            });
        });
    }
    QString where() const {
        return QStringLiteral("COM7 (tcp://127.0.0.1:%1)").arg(server.serverPort());
    }

    std::unique_ptr<sim::SimulatedBus> bus;
    QTcpServer server;
    std::unique_ptr<SerialPort> line;
    bool dropOnRequest = false; // hang up instead of passing a request on
    int connections = 0;
    QByteArray fromMaster;
};

// The link on COM7, mapped to a gateway at 127.0.0.1, keeping the notices.
struct GatewayLink {
    GatewayLink(Clock& clock, quint16 port) : ports(clock, MapOf(port)), sio(clock, ports, "COM7") {
        ports.onNotice = [this](const QString& line) { notices.append(line); };
        sio.SetFaultReceiver([this](const QString& line) { notices.append(line); });
        sio.SetRetryCount(1);
    }
    static PortMap MapOf(quint16 port) {
        PortMap map;
        map.add("COM7", QStringLiteral("tcp://127.0.0.1:%1?baud=2400").arg(port));
        return map;
    }
    SystemPortFactory ports;
    TMB_Sio sio;
    QStringList notices;
};

} // namespace

class TestTcpGatewayPort : public QObject {
    Q_OBJECT
private slots:
    void readOutDropAndReconnect();
    void failedConnection_data();
    void failedConnection();
    void realGatewayProgram();
};

void TestTcpGatewayPort::readOutDropAndReconnect() {
    RealClock clock;
    TestGateway gateway(clock);
    GatewayLink link(clock, gateway.server.serverPort());
    QVERIFY(link.sio.SetBaud(5)); // 9600 asked for; the gateway keeps 2400
    link.sio.OpenPort();
    QCOMPARE(link.sio.BaudRateValue(), 2400);
    QCOMPARE(link.sio.ReqUD2(kAddress), LinkResult::Ok);
    QCOMPARE(link.sio.RxFrame().toHex(' '), DemoAnswer(*gateway.bus).toHex(' '));
    QCOMPARE(gateway.fromMaster.toHex(' '), QByteArray("10 7b 02 7d 16"));

    // The lost connection ends the exchange at once, however long its
    // time-out and however many attempts are left.
    gateway.dropOnRequest = true;
    link.sio.SetRetryCount(3);
    link.sio.SetAdditionalTimeoutMs(60000);
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(link.sio.SndNke(kAddress), LinkResult::WriteFailed);
    QVERIFY(elapsed.elapsed() < 30000);
    QVERIFY(!link.sio.IsPortOpen());
    // The next exchange connects again.
    gateway.dropOnRequest = false;
    QCOMPARE(link.sio.SndNke(kAddress), LinkResult::Ok);
    QCOMPARE(gateway.connections, 2);
    // The speed is noted once, however many telegrams go out.
    QCOMPARE(link.notices.size(), 2);
    QCOMPARE(link.notices[0],
             gateway.where() + ": 9600 baud not set: the gateway runs the bus at 2400 baud");
    QVERIFY2(link.notices[1].startsWith(gateway.where() + ": connection lost: "),
             qPrintable(link.notices[1]));
}

void TestTcpGatewayPort::failedConnection_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("virtualTime");
    QTest::addColumn<QString>("reason");
    // Nothing listens at port 1 of this machine.
    QTest::newRow("refused") << "127.0.0.1" << false << "Connection refused";
    QTest::newRow("unknown host") << "gateway.invalid" << false << "Host not found";
    QTest::newRow("no connection in time")
        << "gateway.invalid" << true << "no connection within 5 s";
}

void TestTcpGatewayPort::failedConnection() {
    QFETCH(QString, host);
    QFETCH(bool, virtualTime);
    VirtualClock virtualClock;
    RealClock realClock;
    Clock& clock = virtualTime ? static_cast<Clock&>(virtualClock) : realClock;
    TcpGatewayPort port(clock, "COM7", GatewayAddress{host, 1, std::nullopt}, {});
    try {
        port.open();
        QFAIL("connected");
    } catch (const PortError& e) {
        QTEST(QString::fromUtf8(e.what()).remove("COM7 (tcp://" + host + ":1) cannot be opened: "),
              "reason");
    }
    QCOMPARE(port.write("x"), qint64{-1});
    QCOMPARE(virtualClock.now(), virtualTime ? TcpGatewayPort::kConnectTimeoutMs : 0);
}

// ser2net in raw TCP mode in front of a pseudo-terminal, on whose other side
// the test answers REQ_UD2 with a meter's telegram.
void TestTcpGatewayPort::realGatewayProgram() {
    const QString ser2net = QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/usr/bin"});
    if (ser2net.isEmpty()) {
        QSKIP("ser2net is not installed (Debian package ser2net, installed by scripts/setup)");
    }
    PtyPeer peer;
    if (!peer.ok()) {
        QSKIP("no pseudo-terminals here");
    }
    RealClock clock;
    const QByteArray answer = DemoAnswer(*sim::SimulatedBus::demo(clock));
    peer.onData = [&] {
        if (peer.received.endsWith("\x16")) {
            peer.received.clear();
            peer.send(answer);
        }
    };
    QTcpServer probe; // for a free port
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QTemporaryDir dir;
    QProcess gateway;
    gateway.start(ser2net, {"-n", "-u", "-P", dir.filePath("pid"), "-Y",
                            QStringLiteral("connection: &gw#  accepter: tcp,127.0.0.1,%1#"
                                           "  connector: serialdev,%2,2400e81,local")
                                .arg(port)
                                .arg(peer.device())});
    GatewayLink link(clock, port);
    // ser2net takes a moment before it listens.
    for (int tries = 0; !link.sio.IsPortOpen() && tries < 30; ++tries) {
        try {
            link.sio.OpenPort();
        } catch (const PortError&) {
            PumpFor(clock, 100, [] { return false; });
        }
    }
    QVERIFY(link.sio.IsPortOpen());
    QCOMPARE(link.sio.ReqUD2(kAddress), LinkResult::Ok);
    QCOMPARE(link.sio.RxFrame().toHex(' '), answer.toHex(' '));
    link.sio.ClosePort();
    gateway.terminate();
    QVERIFY(gateway.waitForFinished(3000));
}

QTEST_GUILESS_MAIN(TestTcpGatewayPort)
#include "test_tcp_gateway_port.moc"
