// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/link_texts.h"

#include "link/link_result.h"

#include <algorithm>
#include <array>

namespace quorven {

namespace {

struct ResultRow {
    std::uint8_t result;
    std::uint8_t resultClass;
    const char* text; // null: no box
    const char* caption;
    const char* reason; // a few words, for an error row and the trace
};

namespace R = LinkResult;
namespace C = ResultClass;

constexpr std::array<ResultRow, 16> kResults{{
    {R::Ok, C::AnswerOk, nullptr, nullptr, "answer"},
    {R::Aborted, C::Aborted, nullptr, nullptr, "aborted"},
    {R::OkAfterStrayBytes, C::TelegramError, "Communication error!", "Aborting",
     "stray bytes before the answer"},
    {R::StopByteWrong, C::TelegramError, "Wrong stopsign in M-Bus data set!", "Stopsign error",
     "stop byte wrong"},
    {R::ChecksumWrong, C::TelegramError, "Checksum error in M-Bus data set!", "Checksum error",
     "checksum error"},
    {R::SecondStartWrong, C::TelegramError, "2. M-Bus startsign wrong!", "Startsign error",
     "start byte wrong"},
    {R::LengthsDiffer, C::TelegramError, "Wrong M-Bus data length!", "Length error",
     "length error"},
    {R::TimeoutAfterBytes, C::TelegramError, "Other COM error occured!", "Other COM error",
     "answer incomplete"},
    {R::OtherLineError, C::TelegramError, "Other COM error occured!", "Other COM error",
     "line error"},
    {R::BreakError, C::TelegramError, "Break error during data receiving!", "Break error",
     "break on the line"},
    {R::ParityError, C::TelegramError, "Parity error during data receiving!\r\nAnswer collision?",
     "Read error", "collision"},
    {R::FramingError, C::TelegramError,
     "Frame error (stopbit) during data receiving!\r\nAnswer collision?", "Read error",
     "collision"},
    {R::WriteFailed, C::WriteOrOther, "Error during write to COM-port!", "Write error",
     "port write failed"},
    {R::NoAnswer, C::NoAnswer,
     "No answer from device.\r\nM-Bus wiring, COM-Port, baud rate\r\nand M-Bus address has to be "
     "checked!",
     "Receive timeout", "no answer"},
    {R::Pending, C::WriteOrOther, "Communication error!", "Aborting", "no result"},
    // Every code not listed above.
    {0, C::WriteOrOther, "Communication error!", "Aborting", "communication error"},
}};

const ResultRow& RowOf(std::uint8_t result) {
    const auto listed = kResults.end() - 1;
    const auto row = std::find_if(kResults.begin(), listed,
                                  [result](const ResultRow& r) { return r.result == result; });
    return *row;
}

} // namespace

QString ResultReasonOf(std::uint8_t result) {
    return QString::fromUtf8(RowOf(result).reason);
}

std::uint8_t ResultClassOf(std::uint8_t result) {
    return RowOf(result).resultClass;
}

std::optional<ResultMessage> ResultMessageOf(std::uint8_t result) {
    const ResultRow& row = RowOf(result);
    if (row.text == nullptr) {
        return std::nullopt;
    }
    return ResultMessage{QString::fromUtf8(row.text), QString::fromUtf8(row.caption)};
}

} // namespace quorven
