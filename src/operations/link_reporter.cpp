// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/link_reporter.h"

#include "interpret/hex.h"
#include "operations/link_texts.h"

#include <algorithm>
#include <string>

namespace quorven {

namespace {

QString HexLine(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        AppendHexText(text, b);
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void LinkReporter::TxProtocol(const QByteArray& telegram) {
    trace_.append(QString::fromLatin1(kTxTraceLabel));
    trace_.append(HexLine(std::span(reinterpret_cast<const std::uint8_t*>(telegram.constData()),
                                    static_cast<std::size_t>(telegram.size()))));
}

void LinkReporter::RxProtocol(std::span<const std::uint8_t> buffer) {
    const std::size_t count = std::min<std::size_t>(sio_.RxLength(), buffer.size());
    trace_.append(QString::fromLatin1(kRxTraceLabel));
    trace_.append(HexLine(buffer.first(count)));
}

void LinkReporter::Show_Error() {
    const std::uint8_t result = sio_.LastResult();
    if (result != LinkResult::Ok) {
        trace_.append(QString::fromLatin1(kErrorDataLabel));
        trace_.append(QString::fromStdString(sio_.FrameHexText()));
        trace_.append(QString());
    }
    sio_.ClearRawHexText();
    sio_.ClearFrameHexText();
    if (result == LinkResult::Aborted) {
        if (sio_.IsPortOpen()) {
            sio_.PurgeTransmit();
            sio_.PurgeReceive();
        }
        return;
    }
    if (const auto message = ResultMessageOf(result)) {
        prompter_.showMessage(message->text, message->caption);
    }
}

std::uint8_t LinkReporter::Check_Error() const {
    return ResultClassOf(sio_.LastResult());
}

void LinkReporter::Wait_ms(std::uint16_t ms) {
    bool elapsed = false;
    const auto timer = clock_.callAfter(ms, [&elapsed] { elapsed = true; });
    clock_.pumpUntil([&elapsed] { return elapsed; });
}

} // namespace quorven
