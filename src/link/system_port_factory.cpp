// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/system_port_factory.h"

#include "link/posix_serial_port.h"
#include "link/tcp_gateway_port.h"

namespace quorven {

SystemPortFactory::SystemPortFactory(Clock& clock, PortMap map, PortFactory* simulated)
    : clock_(clock), map_(std::move(map)), simulated_(simulated) {}

void SystemPortFactory::notice(const QString& line) const {
    if (onNotice) {
        onNotice(line);
    }
}

std::unique_ptr<SerialPort> SystemPortFactory::createPort(const QString& name) {
    const PortTarget target = map_.resolve(name);
    if (target.simulated) {
        if (simulated_ == nullptr) {
            throw PortError(
                QStringLiteral("%1 is mapped to the simulated bus, which is not loaded").arg(name));
        }
        return simulated_->createPort(name);
    }
    if (target.gateway) {
        const int number = ComPortNumber(name);
        GatewayNotices notices;
        notices.speedIgnored = [this, number](const QString& line) {
            if (speedNoted_.insert(number).second) {
                notice(line);
            }
        };
        return std::make_unique<TcpGatewayPort>(clock_, name, *target.gateway, std::move(notices));
    }
    return std::make_unique<PosixSerialPort>(name, target.device);
}

} // namespace quorven
