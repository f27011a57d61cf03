// SPDX-License-Identifier: GPL-3.0-or-later
// The system port in real time, against a pseudo-terminal pair: the test
// holds the master side and plays the slave on the bus, or a modem.

#include "link/frames.h"
#include "link/mb_mod.h"
#include "link/mb_sio.h"
#include "link/posix_serial_port.h"
#include "link/system_port_factory.h"
#include "pty_peer.h"

#include <QTest>

#include <termios.h>

using namespace quorven;
using namespace quorven::testing;

namespace {

// An answer whose data holds FFh bytes, which the terminal doubles and the port undoes.
QByteArray AnswerWithFf() {
    return *BuildLongFrame(0x08, 0x07, 0x72,
                           QByteArray::fromHex("78563412 FFFF 01 07 1A 00 0000 0413 FF00FF00"));
}

} // namespace

class TestPosixSerialPort : public QObject {
    Q_OBJECT
private slots:
    void reqUd2OverAPseudoTerminal();
    void terminalIsSetToMarkErrors();
    void secondOpenIsRefused();
    void vanishedLineEndsTheExchangeAtOnce();
    void modemDriverTalksToAModem();
};

void TestPosixSerialPort::reqUd2OverAPseudoTerminal() {
    PtyPeer peer;
    if (!peer.ok()) {
        QSKIP("no pseudo-terminals here");
    }
    PortMap map;
    QVERIFY(map.add("COM7", peer.device()));
    RealClock clock;
    SystemPortFactory ports(clock, map);
    TMB_Sio sio(clock, ports, "COM7");
    sio.SetRetryCount(1);
    sio.OpenPort();

    const QByteArray answer = AnswerWithFf();
    QCOMPARE(answer.size(), 0x15 + 6);
    peer.onData = [&] {
        if (peer.received.size() == 5) {
            // Two writes, as a slave's bytes come in pieces.
            peer.send(answer.left(9));
            peer.send(answer.mid(9));
        }
    };
    QCOMPARE(sio.ReqUD2(5), LinkResult::Ok);
    QCOMPARE(peer.received.toHex(' '), QByteArray("10 7b 05 80 16"));
    QCOMPARE(sio.RxFrame().toHex(' '), answer.toHex(' '));
    QCOMPARE(sio.SlaveMedium(), std::uint8_t{0x07});

    auto* port = dynamic_cast<PosixSerialPort*>(sio.Port());
    QVERIFY(port != nullptr);
    qInfo("driver error counters on a pseudo-terminal: %s",
          port->hasErrorCounters() ? "yes" : "no");
}

void TestPosixSerialPort::terminalIsSetToMarkErrors() {
    PtyPeer peer;
    if (!peer.ok()) {
        QSKIP("no pseudo-terminals here");
    }
    PosixSerialPort port("COM7", peer.device());
    port.open();
    const termios t = peer.terminal();
    QVERIFY(t.c_iflag & INPCK);
    QVERIFY(t.c_iflag & PARMRK);
    QVERIFY(!(t.c_iflag & (IGNPAR | ISTRIP | IGNBRK | BRKINT | IXON)));
    QVERIFY(!(t.c_lflag & (ICANON | ECHO | ISIG)));
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t{CS8});
    QCOMPARE(cfgetospeed(&t), speed_t{B2400});
    QCOMPARE(t.c_cc[VMIN], cc_t{1});
    qInfo("parity kept by a pseudo-terminal: %s", (t.c_cflag & PARENB) ? "yes" : "no");

    // On an open port a change takes effect at once, read back to be sure.
    port.setLineSettings(LineSettings{9600, 8, Parity::None, 1});
    const termios changed = peer.terminal();
    QCOMPARE(cfgetospeed(&changed), speed_t{B9600});
    port.setLineSettings(LineSettings{14400, 8, Parity::Even, 1});
}

void TestPosixSerialPort::secondOpenIsRefused() {
    PtyPeer peer;
    if (!peer.ok()) {
        QSKIP("no pseudo-terminals here");
    }
    PosixSerialPort first("COM7", peer.device());
    first.open();
    PosixSerialPort second("COM8", peer.device());
    try {
        second.open();
        QFAIL("opened twice");
    } catch (const PortError& e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith("COM8 (" + peer.device() + ") "), e.what());
    }
    QVERIFY(!second.isOpen());
    QVERIFY(first.isOpen());
}

void TestPosixSerialPort::vanishedLineEndsTheExchangeAtOnce() {
    PtyPeer peer;
    if (!peer.ok()) {
        QSKIP("no pseudo-terminals here");
    }
    PortMap map;
    QVERIFY(map.add("COM7", peer.device()));
    RealClock clock;
    SystemPortFactory ports(clock, map);
    TMB_Sio sio(clock, ports, "COM7");
    QStringList faults;
    sio.SetFaultReceiver([&](const QString& text) { faults << text; });
    sio.SetRetryCount(3);
    // Three unanswered attempts at 300 baud would take seconds.
    QVERIFY(sio.SetBaud(0));
    sio.OpenPort();
    // The converter is pulled as the request arrives.
    peer.onData = [&] { peer.closeMaster(); };

    QCOMPARE(sio.ReqUD2(5), LinkResult::WriteFailed);
    QVERIFY(!sio.IsPortOpen());
    QCOMPARE(faults.size(), 1);
    QVERIFY2(faults[0].startsWith("COM7 (" + peer.device() + ") is gone: "), qPrintable(faults[0]));
}

void TestPosixSerialPort::modemDriverTalksToAModem() {
    PtyPeer peer;
    if (!peer.ok()) {
        QSKIP("no pseudo-terminals here");
    }
    PosixSerialPort port("COM7", peer.device());
    port.open();
    RealClock clock;
    TMB_Mod mod(clock);
    mod.Attach(&port);
    port.onBytesReceived = [&](qint64 waiting) { mod.BytesReceived(port.read(waiting)); };
    QStringList lines;
    mod.onEvent = [&lines](const ModemReport& r) { lines << r.line; };
    // The modem echoes, answers in pieces, and sends a line it does not know.
    peer.onData = [&] {
        if (peer.received.endsWith("AT&FU1\r")) {
            peer.send("AT&FU1\r\r\nO");
            peer.send("K\r\n");
        } else if (peer.received.endsWith("ATDP061234\r")) {
            peer.send("\r\nRINGING\r\n\r\nCONNECT 9600\r\n");
        }
    };
    mod.SetString("INITCMD", "AT&FU1^M");
    QVERIFY(mod.Init());
    QVERIFY(PumpFor(clock, 3000, [&] { return mod.State() == ModemState::Idle; }));
    mod.SetString("DIALCMD", "ATDP");
    QVERIFY(mod.Dial("061234"));
    QVERIFY(PumpFor(clock, 3000, [&] { return mod.State() == ModemState::Idle; }));

    QCOMPARE(peer.received, QByteArray("AT&FU1\rATDP061234\r"));
    QCOMPARE(lines, QStringList({"OK", "CONNECT 9600"}));
}

QTEST_GUILESS_MAIN(TestPosixSerialPort)
#include "test_posix_serial_port.moc"
