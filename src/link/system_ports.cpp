// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/system_ports.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace quorven {

namespace {

// Where udev keeps a link per USB serial device, named after maker, product and serial number.
constexpr char kStableNameFolder[] = "/dev/serial/by-id";

} // namespace

std::vector<SystemPortInfo> AvailableSystemPorts() {
    std::vector<SystemPortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPortInfo p;
        p.device = info.systemLocation();
        p.portName = info.portName();
        p.description = info.description();
        p.manufacturer = info.manufacturer();
        p.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier()) {
            p.vendorId = info.vendorIdentifier();
        }
        if (info.hasProductIdentifier()) {
            p.productId = info.productIdentifier();
        }
        ports.push_back(std::move(p));
    }
    AddStableNames(ports, QString::fromLatin1(kStableNameFolder));
    return ports;
}

void AddStableNames(std::vector<SystemPortInfo>& ports, const QString& folder) {
    const QFileInfoList links =
        QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (SystemPortInfo& port : ports) {
        const QString device = QFileInfo(port.device).canonicalFilePath();
        for (const QFileInfo& link : links) {
            if (link.isSymLink() && !device.isEmpty() && link.canonicalFilePath() == device) {
                port.stableName = link.absoluteFilePath();
                break;
            }
        }
    }
}

} // namespace quorven
