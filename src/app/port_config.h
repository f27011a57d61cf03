#pragma once

#include "app/settings.h"
#include "link/port_map.h"

#include <QStringList>

namespace quorven {

// The port map of the program: the "Ports" section of the settings file, and
// with --simulate every port on the simulated bus. Entries the map refuses
// (no port name, a device that is no absolute path, "sim" or gateway
// address) are left out with a line in *report.
PortMap BuildPortMap(const AppSettings& settings, bool simulateAll, QStringList* report);

} // namespace quorven
