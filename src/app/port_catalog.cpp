// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_catalog.h"

#include "app/settings.h"

#include <QFileInfo>

#include <algorithm>

namespace quorven {

namespace {

QString Hex4(std::uint16_t value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

// "FT232R USB UART, FTDI, serial A1B2C3, USB 0403:6001": what the system knows.
QString AboutSystemPort(const SystemPortInfo& p) {
    QStringList parts;
    for (const QString& part : {p.description, p.manufacturer}) {
        if (!part.isEmpty()) {
            parts.append(part);
        }
    }
    if (!p.serialNumber.isEmpty()) {
        parts.append(QStringLiteral("serial ") + p.serialNumber);
    }
    if (p.vendorId && p.productId) {
        parts.append(QStringLiteral("USB %1:%2").arg(Hex4(*p.vendorId), Hex4(*p.productId)));
    }
    if (parts.isEmpty()) {
        parts.append(QStringLiteral("serial port"));
    }
    return parts.join(QStringLiteral(", "));
}

QString AboutGateway(const GatewayAddress& gateway) {
    return gateway.baud ? QStringLiteral("TCP gateway, bus at %1 baud").arg(*gateway.baud)
                        : QStringLiteral("TCP gateway");
}

} // namespace

PortCatalog::PortCatalog(const PortMap& map, std::vector<SystemPortInfo> systemPorts,
                         AccessCheck checkAccess)
    : map_(map), systemPorts_(std::move(systemPorts)), checkAccess_(checkAccess) {
    for (const SystemPortInfo& p : systemPorts_) {
        canonicalDevices_.push_back(QFileInfo(p.device).canonicalFilePath());
    }
}

int PortCatalog::systemPortOf(const QString& device) const {
    const QString canonical = QFileInfo(device).canonicalFilePath();
    for (std::size_t i = 0; i < systemPorts_.size(); ++i) {
        const SystemPortInfo& p = systemPorts_[i];
        if (p.device == device || p.portName == device ||
            (!canonical.isEmpty() && canonical == canonicalDevices_[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString PortCatalog::aboutSystemPort(const SystemPortInfo& port) const {
    const QString note = NoAccessNote(checkAccess_(port.device));
    return note.isEmpty() ? AboutSystemPort(port)
                          : AboutSystemPort(port) + QStringLiteral("; ") + note;
}

PortDescription PortCatalog::describeDevice(const QString& device, bool mapped) const {
    const int index = systemPortOf(device);
    if (index >= 0) {
        return {device, aboutSystemPort(systemPorts_[static_cast<std::size_t>(index)]), true};
    }
    // A mapped device the system does not list as a serial port (a
    // pseudo-terminal, a device of a driver the list misses) is there if it exists.
    if (mapped && QFileInfo::exists(device)) {
        const QString note = NoAccessNote(checkAccess_(device));
        return {device, note.isEmpty() ? QStringLiteral("present") : note, true};
    }
    return {device, QStringLiteral("not present"), false};
}

PortDescription PortCatalog::describe(int number) const {
    const PortTarget target = map_.resolve(PortName(number));
    if (target.simulated) {
        return {target.text(), QStringLiteral("simulated bus"), true};
    }
    if (target.gateway) {
        return {target.text(), AboutGateway(*target.gateway), true};
    }
    return describeDevice(target.device, map_.entries().contains(number));
}

QStringList PortCatalog::listing() const {
    struct Row {
        QString name;
        PortDescription port;
    };
    std::vector<Row> rows;
    std::vector<bool> reached(systemPorts_.size(), false);
    if (map_.simulatesAll()) {
        rows.push_back({PortName(1) + u'-' + PortName(kPortCount), describe(1)});
    } else {
        for (int n = 1; n <= kPortCount; ++n) {
            const PortDescription port = describe(n);
            if (map_.entries().contains(n) || port.present) {
                rows.push_back({PortName(n), port});
            }
            const PortTarget target = map_.resolve(PortName(n));
            const int index = target.simulated || target.gateway ? -1 : systemPortOf(port.target);
            if (index >= 0) {
                reached[static_cast<std::size_t>(index)] = true;
            }
        }
    }
    for (std::size_t i = 0; i < systemPorts_.size(); ++i) {
        if (reached[i]) {
            continue;
        }
        const SystemPortInfo& p = systemPorts_[i];
        const QString device = p.stableName.isEmpty() ? p.device : p.stableName;
        rows.push_back(
            {QStringLiteral("-"),
             {p.device,
              aboutSystemPort(p) +
                  QStringLiteral("; no port name: add \"COMn=%1\" to [Ports]").arg(device),
              true}});
    }
    qsizetype nameWidth = 0;
    qsizetype targetWidth = 0;
    for (const Row& row : rows) {
        nameWidth = std::max(nameWidth, row.name.size());
        targetWidth = std::max(targetWidth, row.port.target.size());
    }
    QStringList lines;
    QStringList deniedGroups;
    for (const Row& row : rows) {
        lines.append(QStringLiteral("%1  %2  %3")
                         .arg(row.name, -static_cast<int>(nameWidth))
                         .arg(row.port.target, -static_cast<int>(targetWidth))
                         .arg(row.port.about));
        const DeviceAccess access = row.port.target.startsWith(u'/') && row.port.present
                                        ? checkAccess_(row.port.target)
                                        : DeviceAccess{};
        if (access.denied && !access.group.isEmpty() && !deniedGroups.contains(access.group)) {
            deniedGroups.append(access.group);
        }
    }
    for (const QString& group : deniedGroups) {
        lines.append(QStringLiteral("No access to the devices of group %1: ").arg(group) +
                     JoinGroupAdvice(group) + u'.');
    }
    return lines;
}

QString PortToolTip(const PortDescription& description) {
    return description.target + QStringLiteral(": ") + description.about;
}

} // namespace quorven
