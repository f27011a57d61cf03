#include "app/port_config.h"

namespace quorven {

PortMap BuildPortMap(const AppSettings& settings, bool simulateAll, QStringList* report) {
    PortMap map;
    for (const auto& [name, device] : settings.portDevices) {
        if (!map.add(name, device)) {
            QString line = QStringLiteral("Ports: \"%1=%2\" in settings file ignored")
                               .arg(name.left(40), device.left(200));
            if (IsGatewayValue(device.trimmed())) {
                line += QStringLiteral(": a gateway is ") + GatewayValueForms();
            }
            report->append(line);
        }
    }
    map.setSimulateAll(simulateAll);
    return map;
}

} // namespace quorven
