// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/port_factory.h"
#include "link/port_map.h"
#include "link/system_port_factory.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

namespace quorven {

// Where the program's port names lead: the "Ports" section of the settings
// file, and the simulated bus for --simulate (every name) or for the names
// mapped to "sim".
struct PortSetup {
    QList<std::pair<QString, QString>> portDevices; // "COM3" -> "/dev/ttyUSB0" or "sim"
    bool simulateAll = false;
    QString simulationFile; // empty: the built-in demonstration bus
};

// The port map of a setup. Entries the map refuses are left out with a line
// in *report.
PortMap BuildPortMap(const PortSetup& setup, QStringList* report);

// The ports of a program run: the simulated bus when anything needs it, and
// the factory that hands out a port for each name (a system device, a TCP
// gateway or the simulated bus).
class StationPorts {
public:
    // Lines about the simulated bus and refused entries go to *report.
    StationPorts(Clock& clock, const PortSetup& setup, QStringList* report);
    ~StationPorts();
    StationPorts(const StationPorts&) = delete;
    StationPorts& operator=(const StationPorts&) = delete;

    PortFactory& factory() { return *factory_; }
    SystemPortFactory& systemPorts() { return *factory_; }
    // The simulated bus, when one was built (null when none was needed or its
    // meters file could not be read).
    PortFactory* simulatedBus() { return simulatedBus_.get(); }

private:
    // The bus before the factory that hands out its ports.
    std::unique_ptr<PortFactory> simulatedBus_;
    std::unique_ptr<SystemPortFactory> factory_;
};

} // namespace quorven
