#include "link/system_port_factory.h"

#include "link/posix_serial_port.h"

namespace quorven {

SystemPortFactory::SystemPortFactory(PortMap map, PortFactory* simulated)
    : map_(std::move(map)), simulated_(simulated) {}

std::unique_ptr<SerialPort> SystemPortFactory::createPort(const QString& name) {
    const PortTarget target = map_.resolve(name);
    if (target.simulated) {
        if (simulated_ == nullptr) {
            throw PortError(
                QStringLiteral("%1 is mapped to the simulated bus, which is not loaded").arg(name));
        }
        return simulated_->createPort(name);
    }
    return std::make_unique<PosixSerialPort>(name, target.device);
}

} // namespace quorven
