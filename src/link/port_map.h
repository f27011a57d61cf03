// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/gateway_address.h"

#include <QString>
#include <QStringView>

#include <map>
#include <optional>

namespace quorven {

// The number of a port name: exactly "COM" and a decimal number 1..255
// without leading zeros. 0 for every other text.
int ComPortNumber(QStringView name);

// What a port name stands for.
struct PortTarget {
    bool simulated = false;                // the simulated bus
    std::optional<GatewayAddress> gateway; // a gateway over TCP
    QString device;                        // the system device, when neither

    // The map value: "sim", "tcp://HOST:PORT..." or the device path.
    QString text() const;
};

// Port names to devices. The settings map names ("COM3=/dev/ttyUSB0",
// "COM4=sim", "COM7=tcp://10.0.0.5:10001"); an unmapped name is the system
// port of that number. No device path is ever made from any text but a mapped
// value or the port number.
class PortMap {
public:
    // The device value that stands for the simulated bus.
    static constexpr const char* kSimulatedDevice = "sim";

    // Maps a name, found without regard to case, to an absolute device path,
    // to "sim" or to a gateway address. False, and nothing changes, when the
    // name is no port name or the device is none of these.
    bool add(const QString& name, const QString& device);

    // Every name stands for the simulated bus (--simulate).
    void setSimulateAll(bool on) { simulateAll_ = on; }
    bool simulatesAll() const { return simulateAll_; }

    // Throws PortError for a text that is no port name.
    PortTarget resolve(const QString& name) const;

    // The system port of a number that no entry maps.
    static QString defaultDevice(int number);

    // The mapped port numbers and what each stands for.
    const std::map<int, PortTarget>& entries() const { return entries_; }

private:
    std::map<int, PortTarget> entries_;
    bool simulateAll_ = false;
};

} // namespace quorven
