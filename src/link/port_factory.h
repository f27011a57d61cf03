// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"

#include <QString>

#include <memory>

namespace quorven {

// Where the link layer gets its ports: the program maps port names to system
// devices or to the simulated bus; tests hand out scripted ports.
class PortFactory {
public:
    virtual ~PortFactory() = default;

    // A closed port for the name ("COM1" ... "COM255"). Throws PortError when
    // the name stands for no port.
    virtual std::unique_ptr<SerialPort> createPort(const QString& name) = 0;
};

} // namespace quorven
