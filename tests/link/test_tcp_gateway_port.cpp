// A gateway over TCP in real time: a test gateway (a TCP server in front of
// the simulated demonstration bus) and the real ser2net program in front of a
// pseudo-terminal. The connect time-out runs on virtual time.
#include "link/frames.h"
#include "link/mb_sio.h"
#include "link/system_port_factory.h"
#include "link/tcp_gateway_port.h"
#include "link/virtual_clock.h"
#include "pty_peer.h"
#include "sim/answer_header.h"
#include "sim/simulated_bus.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace quorven;
using quorven::testing::PtyPeer;
using quorven::testing::PumpFor;

namespace {

// The demonstration bus's water meter at address 2: a 92-byte answer.
constexpr int kWaterMeter = 1;
constexpr std::uint8_t kWaterMeterAddress = 2;

QByteArray DemoAnswer(const sim::SimulatedBus& bus) {
    return sim::StampAnswer(bus.description().meters[kWaterMeter].telegrams[0],
                            bus.meter(kWaterMeter).identity());
}

// A transparent gateway: every connection gets a port on the bus at 2400 baud.
class TestGateway {
public:
    explicit TestGateway(Clock& clock) : bus(sim::SimulatedBus::demo(clock)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
    }
    // How the port names it in its texts.
    QString where() const {
        return QStringLiteral("COM7 (tcp://127.0.0.1:%1)").arg(server_.serverPort());
    }
    QString address() const {
        return QStringLiteral("tcp://127.0.0.1:%1?baud=2400").arg(server_.serverPort());
    }

    std::unique_ptr<sim::SimulatedBus> bus;
    bool dropOnRequest = false; // hang up instead of passing a request on
    int connections = 0;
    QByteArray fromMaster;

private:
    void accept() {
        QTcpSocket* socket = server_.nextPendingConnection();
        ++connections;
        line_ = bus->createPort(QStringLiteral("gateway"));
        line_->open();
        line_->onBytesReceived = [this, socket](qint64 n) { socket->write(line_->read(n)); };
        QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
            const QByteArray request = socket->readAll();
            fromMaster += request;
            dropOnRequest ? socket->abort() : static_cast<void>(line_->write(request));
        });
    }

    QTcpServer server_;
    std::unique_ptr<SerialPort> line_;
};

// The link on port COM7, mapped to address, keeping the factory's notices.
struct GatewayLink {
    GatewayLink(Clock& clock, const QString& address)
        : ports(clock, MapOf(address)), sio(clock, ports, QStringLiteral("COM7")) {
        ports.onNotice = [this](const QString& line) { notices.append(line); };
        sio.SetRetryCount(1);
    }
    static PortMap MapOf(const QString& address) {
        PortMap map;
        map.add(QStringLiteral("COM7"), address);
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
    void readOutThroughGateway();
    void droppedConnectionClosesThePort();
    void failedConnection_data();
    void failedConnection();
    void realGatewayProgram();
};

void TestTcpGatewayPort::readOutThroughGateway() {
    RealClock clock;
    TestGateway gateway(clock);
    GatewayLink link(clock, gateway.address());
    QVERIFY(link.sio.SetBaud(5)); // 9600 asked for; the gateway keeps 2400
    link.sio.OpenPort();
    QCOMPARE(link.sio.BaudRateValue(), 2400);
    QCOMPARE(link.sio.ReqUD2(kWaterMeterAddress), LinkResult::Ok);
    QCOMPARE(link.sio.RxFrame().toHex(' '), DemoAnswer(*gateway.bus).toHex(' '));
    QCOMPARE(link.sio.SndNke(kWaterMeterAddress), LinkResult::Ok);
    QCOMPARE(gateway.fromMaster.toHex(' '), QByteArray("10 7b 02 7d 16 10 40 02 42 16"));
    // Said once, however many telegrams go out.
    QCOMPARE(link.notices,
             QStringList{gateway.where() +
                         ": 9600 baud not set: the gateway runs the bus at 2400 baud"});
}

void TestTcpGatewayPort::droppedConnectionClosesThePort() {
    RealClock clock;
    TestGateway gateway(clock);
    GatewayLink link(clock, gateway.address());
    link.sio.OpenPort();
    gateway.dropOnRequest = true;
    link.sio.SetRetryCount(2);
    // The first attempt is lost with the connection; the second cannot be written.
    QCOMPARE(link.sio.SndNke(kWaterMeterAddress), LinkResult::WriteFailed);
    QVERIFY(!link.sio.IsPortOpen());
    QCOMPARE(link.notices.size(), 1);
    QVERIFY2(link.notices[0].startsWith(gateway.where() + ": connection lost: "),
             qPrintable(link.notices[0]));
    // The next exchange connects again.
    gateway.dropOnRequest = false;
    QCOMPARE(link.sio.SndNke(kWaterMeterAddress), LinkResult::Ok);
    QCOMPARE(gateway.connections, 2);
}

void TestTcpGatewayPort::failedConnection_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("virtualTime");
    QTest::addColumn<QString>("reason");
    QTest::newRow("refused") << "127.0.0.1" << false << "Connection refused";
    QTest::newRow("unknown host") << "gateway.invalid" << false << "Host not found";
    QTest::newRow("no connection in time")
        << "gateway.invalid" << true << "no connection within 5 s";
}

void TestTcpGatewayPort::failedConnection() {
    QFETCH(QString, host);
    QFETCH(bool, virtualTime);
    QFETCH(QString, reason);
    quint16 closedPort = 0;
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    std::unique_ptr<Clock> clock;
    virtualTime ? clock = std::make_unique<VirtualClock>() : clock = std::make_unique<RealClock>();
    TcpGatewayPort port(*clock, "COM7", GatewayAddress{host, closedPort, std::nullopt}, {});
    try {
        port.open();
        QFAIL("connected");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 QStringLiteral("COM7 (tcp://%1:%2) cannot be opened: ").arg(host).arg(closedPort) +
                     reason);
    }
    QVERIFY(!port.isOpen());
    QCOMPARE(port.write("x"), qint64{-1});
    if (virtualTime) {
        QCOMPARE(clock->now(), TcpGatewayPort::kConnectTimeoutMs);
    }
}

// ser2net, in raw TCP mode, in front of a pseudo-terminal on whose other side
// the test answers REQ_UD2 with a meter's telegram.
void TestTcpGatewayPort::realGatewayProgram() {
    const QString ser2net = QStandardPaths::findExecutable(
        "ser2net", {"/usr/sbin", "/usr/local/sbin", "/usr/bin", "/usr/local/bin"});
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
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    QTemporaryDir dir;
    QProcess gateway;
    gateway.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gateway.start(ser2net, {"-n", "-u", "-P", dir.filePath("ser2net.pid"), "-Y",
                            QStringLiteral("connection: &gw#  accepter: tcp,127.0.0.1,%1#"
                                           "  connector: serialdev,%2,2400e81,local")
                                .arg(port)
                                .arg(peer.device())});
    QVERIFY2(gateway.waitForStarted(), qPrintable(gateway.errorString()));

    GatewayLink link(clock, QStringLiteral("tcp://127.0.0.1:%1?baud=2400").arg(port));
    // ser2net takes a moment before it listens.
    for (int tries = 0; !link.sio.IsPortOpen() && tries < 30; ++tries) {
        try {
            link.sio.OpenPort();
        } catch (const PortError&) {
            PumpFor(clock, 100, [] { return false; });
        }
    }
    QVERIFY(link.sio.IsPortOpen());
    QCOMPARE(link.sio.ReqUD2(kWaterMeterAddress), LinkResult::Ok);
    QCOMPARE(link.sio.RxFrame().toHex(' '), answer.toHex(' '));
    link.sio.ClosePort();
    gateway.terminate();
    QVERIFY(gateway.waitForFinished(3000));
}

QTEST_GUILESS_MAIN(TestTcpGatewayPort)
#include "test_tcp_gateway_port.moc"
