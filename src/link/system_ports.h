// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quorven {

// A serial port the system has now, as the system describes it.
struct SystemPortInfo {
    QString device{};   // "/dev/ttyUSB0" (on Windows "\\.\COM3")
    QString portName{}; // "ttyUSB0" (on Windows "COM3")
    QString description{};
    QString manufacturer{};
    QString serialNumber{};
    std::optional<std::uint16_t> vendorId{};
    std::optional<std::uint16_t> productId{};
    // A name that stays when the device is plugged in again or elsewhere
    // ("/dev/serial/by-id/usb-..."), where the system keeps one.
    QString stableName{};
};

// The serial ports present now, with their stable names.
std::vector<SystemPortInfo> AvailableSystemPorts();

// Gives each port the first link in folder that leads to its device.
void AddStableNames(std::vector<SystemPortInfo>& ports, const QString& folder);

} // namespace quorven
