// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/bus_description.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quorven::sim {

// Reads a meters file:
//
//   {"echo": false, "meters": [{"address": 5, "id": "12345678", "baud": 2400,
//                               "telegrams": ["68 1F 1F 68 08 05 72 ... 16"]}]}
//
// Bus keys: "meters" (required), "echo", "noise" (hex bytes the line makes
// after each write of the master), "replyDelayMs" (default of the meters),
// "description". Meter keys: "address" (required, 0-250), "telegrams"
// (required unless "echoOnly" or "stx"), "id" (8 digits; default: the first
// telegram's), "baud" (default 2400), "replyDelayMs", "manufacturer" (three
// letters), "version", "medium", "echoOnly", "raw" (send the telegrams exactly
// as written, checksum and all), "name", "stx" (the meter answers STX
// requests: {"blocks": {"00FF": "<16 data bytes as hex>", ...},
// "answerAddress": 0-255}).
//
// An optional "modem" puts a modem in front of the bus: {"numbers":
// {"5551234": "connect", "5550000": "busy"}} (outcomes: connect, busy, no
// answer, no carrier, no dialtone, error), and optionally "port" (the one
// port it sits on, "COM2"; default every port), "baud" (far modem to
// converter, default 2400), "connectDelayMs", "dropCarrierAfterMs".
//
// An optional "faults" list makes ports fail at moments of virtual time:
// {"port": "COM1", "at_ms": 5000, "kind": "unplug", "for_ms": 20000}; kinds:
// "unplug" (the converter pulled), "write" (writes refused), "drop" (a
// gateway's connection dropped). "for_ms" is how long it lasts (default 0).
//
// Anything else is refused with a message that names the place, for example
// "meters[2].address: 300 is out of range 0-250" or "meters[0]: unknown key
// \"adress\"". Nothing is read past kMaxBusFileBytes.
std::optional<BusDescription> ParseBusDescription(QByteArrayView json, QString* error);

// The same for a file; the message starts with the file's name.
std::optional<BusDescription> LoadBusFile(const QString& path, QString* error);

// The demonstration bus built into the program (examples/demo-bus.json).
QByteArray DemoBusJson();
BusDescription DemoBusDescription();

} // namespace quorven::sim
