// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The far end of a pseudo-terminal pair, for real-time tests of what sits on
// the terminal side: the test holds the master side and plays the bus.

#include "link/real_clock.h"

#include <QSocketNotifier>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <memory>

namespace quorven::testing {

// The far end of the line.
class PtyPeer {
public:
    PtyPeer() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            return;
        }
        device_ = QString::fromLocal8Bit(name);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { onReadable(); });
    }
    ~PtyPeer() {
        notifier_.reset();
        closeMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }

    bool ok() const { return !device_.isEmpty(); }
    const QString& device() const { return device_; }
    // The terminal side, as the port configured it.
    termios terminal() const {
        termios t{};
        ::tcgetattr(slave_, &t);
        return t;
    }
    void send(const QByteArray& bytes) const {
        QCOMPARE(::write(master_, bytes.constData(), static_cast<std::size_t>(bytes.size())),
                 ssize_t(bytes.size()));
    }
    void closeMaster() {
        notifier_.reset();
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    QByteArray received;
    std::function<void()> onData;

private:
    void onReadable() {
        char buffer[512];
        ssize_t n = 0;
        while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
            received.append(buffer, n);
        }
        if (onData) {
            onData();
        }
    }

    int master_ = -1;
    int slave_ = -1;
    QString device_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Pumps real time until done or the deadline.
inline bool PumpFor(RealClock& clock, qint64 ms, const std::function<bool()>& done) {
    bool late = false;
    const auto deadline = clock.callAfter(ms, [&late] { late = true; });
    clock.pumpUntil([&] { return late || done(); });
    return done();
}

} // namespace quorven::testing
