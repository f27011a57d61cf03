// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace quorven {

// The texts the link layer's reports show: trace labels, and the message box
// and result class of each result code.

inline constexpr const char* kTxTraceLabel = "TX-buffer:";
inline constexpr const char* kRxTraceLabel = "RX-buffer:";
inline constexpr const char* kErrorDataLabel = "Error-data: ";

// The classes results fall into for the meter operations.
namespace ResultClass {
inline constexpr std::uint8_t AnswerOk = 0;
inline constexpr std::uint8_t TelegramError = 1;
inline constexpr std::uint8_t NoAnswer = 2;
inline constexpr std::uint8_t WriteOrOther = 3;
inline constexpr std::uint8_t Aborted = 4;
} // namespace ResultClass

std::uint8_t ResultClassOf(std::uint8_t result);

// What a result means in a few words ("no answer", "checksum error",
// "collision"), for an error row and the trace.
QString ResultReasonOf(std::uint8_t result);

// The box shown for a result, if any.
struct ResultMessage {
    QString text;
    QString caption;
};

// Nothing for 0 (answer OK) and 1 (aborted): neither shows a box.
std::optional<ResultMessage> ResultMessageOf(std::uint8_t result);

} // namespace quorven
