// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace quorven {

// Where a transparent M-Bus gateway listens, as the port map names it:
// "tcp://HOST:PORT", optionally with "?baud=RATE", the speed the gateway runs
// the bus at. HOST is a name, an IPv4 address or an IPv6 address in brackets.
struct GatewayAddress {
    QString host; // without brackets
    std::uint16_t port = 0;
    std::optional<std::int32_t> baud;

    // "HOST:PORT", an IPv6 host in brackets.
    QString hostAndPort() const;
    // The map value: "tcp://HOST:PORT" and "?baud=RATE" when one is given.
    QString text() const;

    friend bool operator==(const GatewayAddress&, const GatewayAddress&) = default;
};

// Whether a port-map value names a gateway ("tcp://", in any case).
bool IsGatewayValue(QStringView value);

// The gateway of a "tcp://" value; nothing when the value is no such address,
// has anything besides host, port and "baud", or a rate that is none of the
// link's baud rates (300 ... 38400).
std::optional<GatewayAddress> ParseGatewayAddress(const QString& value);

// The forms ParseGatewayAddress takes, for a message about a value it refused.
QString GatewayValueForms();

} // namespace quorven
