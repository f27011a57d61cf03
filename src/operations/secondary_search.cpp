// SPDX-License-Identifier: GPL-3.0-or-later
// The secondary address search: the wildcard selection narrowed digit by digit.
#include "operations/slave_search.h"

#include "link/frames.h"
#include "operations/bus_line.h"
#include "operations/bus_pauses.h"
#include "operations/link_texts.h"

namespace quorven {

namespace {

constexpr std::uint8_t kWildcard = 0x0F;
constexpr int kDigits = 8;
constexpr int kDataRequests = 3;

// The mask's four bytes, least significant pair (digits 7 and 8) first.
IdBytes MaskBytes(const std::array<std::uint8_t, 8>& d) {
    IdBytes bytes{};
    for (int k = 0; k < 4; ++k) {
        const auto hi = d[static_cast<std::size_t>(2 * k)];
        const auto lo = d[static_cast<std::size_t>(2 * k + 1)];
        bytes[static_cast<std::size_t>(3 - k)] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    return bytes;
}

QString MaskText(const std::array<std::uint8_t, 8>& d) {
    QString text;
    for (const std::uint8_t digit : d) {
        text += QString::number(digit, 16).toUpper();
    }
    return text;
}

} // namespace

void SlaveSearch::IDSearch() {
    c_.trace.append(QStringLiteral("Slave ID search started!"));
    c_.indicators.ShowProgress(1, 0);
    c_.link.SetRetryCount(1);
    if (o_.SND_NKE_CheckBox) {
        Broadcast(true, kSelectedSlaveAddress, kDeselectPauseMs);
    }
    if (o_.AppRes_CheckBox) {
        Broadcast(false, kBroadcastAddress, kExchangePauseMs);
    }
    Broadcast(true, kBroadcastAddress, kExchangePauseMs);
    SearchNr();
    c_.trace.append(QStringLiteral("Slave ID search finished!"));
    c_.link.SetRetryCount(3);
}

// Depth first in ascending digit order: a mask whose test says split is
// followed by its ten one-digit-longer masks before the next mask of its level.
void SlaveSearch::SearchNr() {
    Mask d{};
    int level = 1; // the digits d1..d(level) are fixed
    const auto digit = [&d](int position) -> std::uint8_t& {
        return d[static_cast<std::size_t>(position - 1)];
    };
    digit(1) = 0;
    while (digit(1) <= 9) {
        while (digit(level) <= 9) {
            c_.indicators.ShowProgress(1, digit(1) * 100 / 10);
            for (int p = level + 1; p <= kDigits; ++p) {
                digit(p) = kWildcard;
            }
            const MaskResult result = TestMask(d);
            if (result == MaskResult::Done || level == kDigits) {
                ++digit(level);
            } else {
                ++level;
                digit(level) = 0;
            }
            if (c_.run.stop) {
                return;
            }
            c_.reporter.Wait_ms(kExchangePauseMs);
        }
        if (level > 1) {
            --level;
            ++digit(level);
        }
    }
    c_.indicators.ShowProgress(1, 100);
}

std::uint8_t SlaveSearch::SelectMask(const IdBytes& bytes, const QString& maskText, bool enhanced) {
    c_.reporter.Wait_ms(kExchangePauseMs);
    c_.link.SetFcbBit(1);
    ClearHexTexts(c_);
    c_.link.SelectById(bytes);
    c_.link.SetFcbBit(1);
    if (enhanced) {
        c_.trace.append(maskText);
    }
    return c_.reporter.Check_Error();
}

SlaveSearch::MaskResult SlaveSearch::TestMask(const Mask& mask) {
    const IdBytes bytes = MaskBytes(mask);
    const QString maskText = MaskText(mask);
    c_.trace.append(maskText);
    bool selected = false;
    for (const bool repeat : {false, true}) {
        if (repeat && !o_.IDS_CheckBox) {
            break;
        }
        const std::uint8_t answer = SelectMask(bytes, maskText, repeat);
        if (answer == ResultClass::TelegramError) {
            c_.reporter.Wait_ms(kCollisionPauseMs);
            return MaskResult::Split;
        }
        selected = selected || answer == ResultClass::AnswerOk;
    }
    if (!selected || c_.run.stop) {
        return MaskResult::Done;
    }

    bool received = false;
    for (int attempt = 0; attempt < kDataRequests; ++attempt) {
        c_.reporter.Wait_ms(kExchangePauseMs);
        ClearHexTexts(c_);
        c_.link.SetFcbBit(1);
        c_.link.ReqUD2(kSelectedSlaveAddress);
        const std::uint8_t answer = c_.reporter.Check_Error();
        if (answer == ResultClass::AnswerOk && !received) {
            StoreAnswer(c_);
            received = true;
        } else if (answer == ResultClass::TelegramError) {
            c_.reporter.Wait_ms(kCollisionPauseMs);
            return MaskResult::Split;
        }
        if (answer != ResultClass::NoAnswer && !o_.IDS_CheckBox) {
            break;
        }
    }
    if (c_.run.stop) {
        return MaskResult::Done;
    }
    if (received && c_.interpreter.CheckTelegram()) {
        c_.trace.append(QStringLiteral("*** Slave found at ID (secondary adress) ") +
                        QString::fromStdString(c_.interpreter.IdentNumber()));
        AddFoundSlave(QStringLiteral("0"), false);
        return MaskResult::Done;
    }
    return MaskResult::Split;
}

} // namespace quorven
