// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/station_ports.h"

#include "link/gateway_address.h"
#include "link/system_port_factory.h"
#include "sim/simulated_bus.h"

#include <algorithm>

namespace quorven {

PortMap BuildPortMap(const PortSetup& setup, QStringList* report) {
    PortMap map;
    for (const auto& [name, device] : setup.portDevices) {
        if (!map.add(name, device)) {
            QString line = QStringLiteral("Ports: \"%1=%2\" in settings file ignored")
                               .arg(name.left(40), device.left(200));
            if (IsGatewayValue(device.trimmed())) {
                line += QStringLiteral(": a gateway is ") + GatewayValueForms();
            }
            report->append(line);
        }
    }
    map.setSimulateAll(setup.simulateAll);
    return map;
}

StationPorts::StationPorts(Clock& clock, const PortSetup& setup, QStringList* report) {
    const bool anySimulated =
        std::any_of(setup.portDevices.begin(), setup.portDevices.end(), [](const auto& e) {
            return e.second.trimmed().compare(QLatin1String(PortMap::kSimulatedDevice),
                                              Qt::CaseInsensitive) == 0;
        });
    if (setup.simulateAll || anySimulated) {
        if (setup.simulationFile.isEmpty()) {
            simulatedBus_ = sim::SimulatedBus::demo(clock);
            report->append(QStringLiteral("Simulated bus: the demonstration bus"));
        } else {
            QString error;
            simulatedBus_ = sim::SimulatedBus::fromFile(clock, setup.simulationFile, &error);
            report->append(simulatedBus_ ? QStringLiteral("Simulated bus: ") + setup.simulationFile
                                         : error);
        }
    }
    factory_ = std::make_unique<SystemPortFactory>(clock, BuildPortMap(setup, report),
                                                   simulatedBus_.get());
}

StationPorts::~StationPorts() = default;

} // namespace quorven
