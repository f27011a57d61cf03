// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/device_access.h"
#include "link/port_map.h"
#include "link/system_ports.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quorven {

// What one port name leads to.
struct PortDescription {
    QString target; // the device path, the gateway address or "sim"
    QString about;  // what is known of it: the system's description, "not present", ...
    // It leads to a device present now; gateways and the simulated bus are
    // taken as present (a gateway is only tried when used).
    bool present = false;
};

// The port names and the serial ports the system has now, side by side: what
// each name leads to, and which system ports no name reaches.
class PortCatalog {
public:
    // checkAccess tells whether this user may open a device (replaced in tests).
    using AccessCheck = DeviceAccess (*)(const QString& device);
    PortCatalog(const PortMap& map, std::vector<SystemPortInfo> systemPorts,
                AccessCheck checkAccess = CheckDeviceAccess);

    // For "COMn", n = 1..255.
    PortDescription describe(int number) const;
    // "COMn" with its target and description, for every mapped name and
    // every unmapped one whose system port is present; then the system ports
    // that no name reaches, each with the entry that would map it; last, for
    // each group whose devices this user may not open, how to join it.
    QStringList listing() const;

private:
    // The system port a device path leads to, or -1.
    int systemPortOf(const QString& device) const;
    PortDescription describeDevice(const QString& device, bool mapped) const;
    // The system's description of a port, and whether this user may open it.
    QString aboutSystemPort(const SystemPortInfo& port) const;

    const PortMap& map_;
    std::vector<SystemPortInfo> systemPorts_;
    std::vector<QString> canonicalDevices_; // of systemPorts_, same order
    AccessCheck checkAccess_;
};

// The tool tip of a port-box entry: "target: about".
QString PortToolTip(const PortDescription& description);

} // namespace quorven
