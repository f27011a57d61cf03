// SPDX-License-Identifier: GPL-3.0-or-later
// A serial device this user may not open: the port's error says which group
// may and how to join it, and the access check notes it for the port list.
// Run as root, the opening is tried as user "nobody" in a child process.

#include "link/device_access.h"
#include "link/posix_serial_port.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorven;

namespace {

QString GroupNameOf(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry != nullptr ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// What opening the device and the access check say, as a user that is
// neither its owner nor (when started as root) privileged: "error|note".
QByteArray TryAsUnprivileged(const QString& device, uid_t uid, gid_t gid) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return "pipe failed";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) {
            ::_exit(3);
        }
        QByteArray answer;
        try {
            PosixSerialPort port(QStringLiteral("COM3"), device);
            port.open();
            answer = "opened";
        } catch (const PortError& e) {
            answer = e.what();
        }
        answer += '|' + NoAccessNote(CheckDeviceAccess(device)).toUtf8();
        const ssize_t written = ::write(pipeEnds[1], answer.constData(), answer.size());
        ::_exit(written == answer.size() ? 0 : 4);
    }
    ::close(pipeEnds[1]);
    QByteArray answer;
    char buffer[1024];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        answer.append(buffer, n);
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "child failed";
}

} // namespace

class TestDeviceAccess : public QObject {
    Q_OBJECT
private slots:
    void permissionDenied_data();
    void permissionDenied();
    void otherErrorsGetNoHint();
};

void TestDeviceAccess::permissionDenied_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("note");
    QTest::newRow("group may open") << 0660
                                    << "only members of group @G may open it: add this user to "
                                       "group @G with \"sudo usermod -aG @G $USER\", then log "
                                       "out and in again"
                                    << "present, no access: group @G";
    QTest::newRow("only the owner may open")
        << 0600
        << "the device's permissions let no group open it: the administrator must give this "
           "user access"
        << "present, no access";
}

void TestDeviceAccess::permissionDenied() {
    QFETCH(int, mode);
    QFETCH(QString, hint);
    QFETCH(QString, note);
    // As root the device belongs to root and group dialout (as on Debian) and
    // nobody tries it; as anyone else the owner's own bits are taken away.
    uid_t uid = ::getuid();
    gid_t gid = ::getgid();
    gid_t deviceGroup = gid;
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr) {
            QSKIP("running as root, and there is no user nobody to try the device as");
        }
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
        const group* dialout = ::getgrnam("dialout");
        deviceGroup = dialout != nullptr ? dialout->gr_gid : 0;
    } else {
        mode &= 0077;
    }
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ExeGroup |
                                                  QFile::ExeOther));
    const QString device = dir.filePath("ttyUSB0");
    QFile file(device);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray path = QFile::encodeName(device);
    QCOMPARE(::chown(path.constData(), ::geteuid(), deviceGroup), 0);
    QCOMPARE(::chmod(path.constData(), static_cast<mode_t>(mode)), 0);

    const QString group = GroupNameOf(deviceGroup);
    const QString expected = "COM3 (" + device + ") cannot be opened: " + qt_error_string(EACCES) +
                             "; " + hint.replace("@G", group) + '|' + note.replace("@G", group);
    QCOMPARE(QString::fromUtf8(TryAsUnprivileged(device, uid, gid)), expected);
}

void TestDeviceAccess::otherErrorsGetNoHint() {
    const QString device = QStringLiteral("/nonexistent/ttyUSB0");
    QCOMPARE(AccessDeniedHint(device, ENOENT), QString());
    QVERIFY(!CheckDeviceAccess(device).denied);
    try {
        PosixSerialPort port(QStringLiteral("COM3"), device);
        port.open();
        QFAIL("a missing device opened");
    } catch (const PortError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 "COM3 (" + device + ") cannot be opened: " + qt_error_string(ENOENT));
    }
}

QTEST_GUILESS_MAIN(TestDeviceAccess)
#include "test_device_access.moc"
