// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ident_text.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace quorven::sim {

// What a meter of the STX register protocol holds: blocks of eight
// registers, each answered to a request that starts at its first register.
struct StxDescription {
    std::map<std::uint16_t, QByteArray> blocks; // first register -> its 16 data bytes
    // The address its answers carry; its primary address when not given.
    std::optional<std::uint8_t> answerAddress;
};

// One meter of a simulated bus, as the meters file describes it.
struct MeterDescription {
    QString name;                      // free text, for the reader of the file
    std::uint8_t address = 0;          // primary address 0-250
    IdBytes id{};                      // identification number, least significant pair first
    qint32 baud = 2400;                // the only rate it hears and answers at: M-Bus 8E1, STX 8O1
    std::vector<QByteArray> telegrams; // RSP_UD frames in turn; none, not echoOnly: no M-Bus
    double replyDelayMs = 0;           // from the end of the request to its first answer bit
    // Header fields put into its variable-data answers; taken from the first
    // telegram when the file leaves them out.
    std::optional<std::uint16_t> manufacturer;
    std::optional<std::uint8_t> version;
    std::optional<std::uint8_t> medium;
    bool echoOnly = false; // answers a request with the request itself
    bool raw = false;      // telegrams are sent exactly as written
    // It also answers STX requests.
    std::optional<StxDescription> stx;
};

// What dialling a number gives.
enum class DialOutcome : std::uint8_t { Connect, Busy, NoAnswer, NoCarrier, NoDialTone, Error };

// A modem the master's port talks to first; once a call is up, what the port
// sends reaches the bus through the far modem and the meters' answers come
// back the same way.
struct ModemDescription {
    std::map<QString, DialOutcome> numbers;   // a number not listed is not answered
    QString port;                             // the one port name it sits on; empty: every port
    qint32 baud = 2400;                       // between the far modem and the level converter, 8E1
    qint64 connectDelayMs = 5000;             // from the dial command to CONNECT
    std::optional<qint64> dropCarrierAfterMs; // a call up this long is lost
};

// How a port fails at a moment of the bus's time.
enum class FaultKind : std::uint8_t {
    Unplug,     // the converter is pulled: the open port fails, opening it fails
    WriteFails, // writes are refused
    Drop,       // a gateway's connection drops; it takes no new one meanwhile
};

// A fault of one port: at atMs (virtual time) for forMs. An unplugged port or
// dropped connection cannot be opened until forMs has passed; a write fault
// refuses every write meanwhile, or only the first one when forMs is 0.
struct FaultDescription {
    QString port; // "COM1"
    qint64 atMs = 0;
    FaultKind kind = FaultKind::Unplug;
    qint64 forMs = 0;
};

// A simulated bus: the level converter's behaviour and the meters behind it.
struct BusDescription {
    QString description;
    bool echo = false; // the converter echoes every byte the master sends
    QByteArray noise;  // bytes the line produces after each write of a master on the bus
    std::vector<MeterDescription> meters;
    std::optional<ModemDescription> modem;
    std::vector<FaultDescription> faults;
};

// Defaults and bounds of a meters file.
inline constexpr double kDefaultReplyDelayMs = 20.0;
inline constexpr double kMaxReplyDelayMs = 10000.0;
inline constexpr int kMaxMeters = 1000;
inline constexpr int kMaxTelegramsPerMeter = 32;
inline constexpr int kMaxRawTelegramBytes = 2048;
inline constexpr int kMaxNoiseBytes = 64;
inline constexpr qsizetype kMaxBusFileBytes = 1 << 20;
inline constexpr int kMaxModemNumbers = 100;
inline constexpr int kMaxPhoneNumberBytes = 32;
inline constexpr qint64 kMaxModemDelayMs = 600000;
inline constexpr int kStxBlockBytes = 16;
inline constexpr int kMaxFaults = 100;
inline constexpr qint64 kMaxFaultTimeMs = 7LL * 24 * 3600 * 1000; // a week

} // namespace quorven::sim
