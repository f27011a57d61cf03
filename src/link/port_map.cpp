// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_map.h"

#include "link/serial_port.h"

namespace quorven {

namespace {
constexpr int kFirstPort = 1;
constexpr int kLastPort = 255;
constexpr int kMaxDigits = 3;
} // namespace

int ComPortNumber(QStringView name) {
    if (!name.startsWith(u"COM") || name.size() <= 3 || name.size() > 3 + kMaxDigits) {
        return 0;
    }
    const QStringView digits = name.mid(3);
    if (digits.front() == u'0') {
        return 0;
    }
    int number = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') {
            return 0;
        }
        number = number * 10 + (c.unicode() - u'0');
    }
    return number >= kFirstPort && number <= kLastPort ? number : 0;
}

bool PortMap::add(const QString& name, const QString& device) {
    const int number = ComPortNumber(name.trimmed().toUpper());
    const QString value = device.trimmed();
    if (number == 0) {
        return false;
    }
    if (value.compare(QLatin1String(kSimulatedDevice), Qt::CaseInsensitive) == 0) {
        entries_[number] = PortTarget{true, std::nullopt, {}};
        return true;
    }
    if (IsGatewayValue(value)) {
        auto gateway = ParseGatewayAddress(value);
        if (gateway) {
            entries_[number] = PortTarget{false, std::move(gateway), {}};
        }
        return gateway.has_value();
    }
    if (!value.startsWith(u'/') || value.contains(QChar(u'\0'))) {
        return false;
    }
    entries_[number] = PortTarget{false, std::nullopt, value};
    return true;
}

PortTarget PortMap::resolve(const QString& name) const {
    const int number = ComPortNumber(name);
    if (number == 0) {
        throw PortError(
            QStringLiteral("\"%1\" is not a serial port name (COM1 to COM255)").arg(name.left(40)));
    }
    if (simulateAll_) {
        return PortTarget{true, std::nullopt, {}};
    }
    const auto it = entries_.find(number);
    if (it != entries_.end()) {
        return it->second;
    }
    return PortTarget{false, std::nullopt, defaultDevice(number)};
}

QString PortTarget::text() const {
    if (simulated) {
        return QLatin1String(PortMap::kSimulatedDevice);
    }
    return gateway ? gateway->text() : device;
}

QString PortMap::defaultDevice(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

} // namespace quorven
