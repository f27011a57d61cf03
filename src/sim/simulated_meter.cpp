// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/simulated_meter.h"

#include "link/frames.h"

namespace quorven::sim {

namespace {

constexpr std::uint8_t kTestAddress = 254;   // every meter answers
constexpr std::uint8_t kFunctionMask = 0xCF; // C field without FCB and FCV
constexpr std::uint8_t kFcv = 0x10;
constexpr std::uint8_t kFcb = 0x20;
constexpr std::uint8_t kSndUdFunction = 0x43;
constexpr std::uint8_t kReqUd2Function = 0x4B;
constexpr std::uint8_t kReqUd1Function = 0x4A;
constexpr std::uint8_t kMaxPrimaryAddress = 250;

// Records of a CI 51h data send that the meters understand.
constexpr std::uint8_t kDifInt8 = 0x01;
constexpr std::uint8_t kDifBcd8 = 0x0C;
constexpr std::uint8_t kDifInt64 = 0x07;
constexpr std::uint8_t kVifBusAddress = 0x7A;
constexpr std::uint8_t kVifIdentification = 0x79;

QByteArray Ack() {
    return QByteArray(1, static_cast<char>(kAckByte));
}

std::uint8_t At(const QByteArray& data, int i) {
    return static_cast<std::uint8_t>(data[i]);
}

bool HasWildcardNibble(const IdBytes& id) {
    for (std::uint8_t b : id) {
        if ((b & 0x0F) == 0x0F || (b & 0xF0) == 0xF0) {
            return true;
        }
    }
    return false;
}

IdBytes IdAt(const QByteArray& data, int at) {
    return {At(data, at), At(data, at + 1), At(data, at + 2), At(data, at + 3)};
}

} // namespace

SimulatedMeter::SimulatedMeter(const MeterDescription& description) : description_(description) {
    AnswerHeader header;
    if (!description.telegrams.empty() && !description.raw) {
        header = ReadAnswerHeader(description.telegrams.front());
    }
    identity_.address = description.address;
    identity_.id = description.id;
    identity_.manufacturer = description.manufacturer.value_or(header.manufacturer.value_or(0));
    identity_.version = description.version.value_or(header.version.value_or(0));
    identity_.medium = description.medium.value_or(header.medium.value_or(0));
}

SimulatedMeter::Addressing SimulatedMeter::addressing(std::uint8_t address) const {
    if (address == kBroadcastAddress) {
        return Addressing::Broadcast;
    }
    if (address == identity_.address || address == kTestAddress ||
        (address == kSelectedSlaveAddress && selected_)) {
        return Addressing::Own;
    }
    return Addressing::No;
}

std::optional<QByteArray> SimulatedMeter::hear(const MasterFrame& frame) {
    if (!speaksMBus()) {
        return std::nullopt;
    }
    const bool sndUd = frame.isLong && (frame.control & kFunctionMask) == kSndUdFunction;
    if (sndUd && frame.ci == kCiSelect && frame.address == kSelectedSlaveAddress) {
        return description_.echoOnly ? std::nullopt : select(frame.data);
    }
    const Addressing to = addressing(frame.address);
    if (to == Addressing::No) {
        return std::nullopt;
    }
    if (description_.echoOnly) {
        return to == Addressing::Own ? std::optional(frame.bytes) : std::nullopt;
    }
    auto answer = frame.isLong ? hearLong(frame, to) : hearShort(frame, to);
    return to == Addressing::Own ? answer : std::nullopt;
}

std::optional<QByteArray> SimulatedMeter::hearStx(const StxRequest& request) const {
    if (!description_.stx || request.address != identity_.address) {
        return std::nullopt;
    }
    const auto& blocks = description_.stx->blocks;
    const auto block = blocks.find(request.firstRegister);
    if (block == blocks.end()) {
        return std::nullopt;
    }
    return StxAnswerFrame(description_.stx->answerAddress.value_or(identity_.address),
                          block->second);
}

std::optional<QByteArray> SimulatedMeter::hearShort(const MasterFrame& frame,
                                                    Addressing addressing) {
    const std::uint8_t function = frame.control & kFunctionMask;
    if (frame.control == kSndNkeControl) {
        resetLink();
        if (frame.address == kSelectedSlaveAddress) {
            selected_ = false;
        }
        return Ack();
    }
    if (function == kReqUd2Function) {
        if (addressing == Addressing::Broadcast) {
            return std::nullopt;
        }
        return answerRequest(frame.control);
    }
    if (function == kReqUd1Function) {
        return Ack(); // no alarm data
    }
    return std::nullopt;
}

std::optional<QByteArray> SimulatedMeter::hearLong(const MasterFrame& frame, Addressing) {
    if ((frame.control & kFunctionMask) != kSndUdFunction) {
        return std::nullopt;
    }
    if (frame.ci == kCiApplicationReset) {
        resetLink();
    } else if (frame.ci == kCiDataSend) {
        applyDataSend(frame.data);
    }
    return Ack(); // any other SND_UD is confirmed and has no effect
}

std::optional<QByteArray> SimulatedMeter::select(const QByteArray& data) {
    bool match = data.size() >= 8;
    for (int k = 0; match && k < 4; ++k) {
        const std::uint8_t pattern = At(data, k);
        const std::uint8_t own = identity_.id[k];
        for (int shift : {0, 4}) {
            const int nibble = (pattern >> shift) & 0x0F;
            match = match && (nibble == 0x0F || nibble == ((own >> shift) & 0x0F));
        }
    }
    if (match) {
        const auto byteMatches = [&data](int at, std::uint8_t own) {
            return At(data, at) == 0xFF || At(data, at) == own;
        };
        match = byteMatches(4, identity_.manufacturer & 0xFF) &&
                byteMatches(5, identity_.manufacturer >> 8) && byteMatches(6, identity_.version) &&
                byteMatches(7, identity_.medium);
    }
    selected_ = match;
    return match ? std::optional(Ack()) : std::nullopt;
}

void SimulatedMeter::applyDataSend(const QByteArray& data) {
    int at = 0;
    const int size = static_cast<int>(data.size());
    while (at + 2 <= size) {
        const std::uint8_t dif = At(data, at);
        const std::uint8_t vif = At(data, at + 1);
        if (dif == kDifInt8 && vif == kVifBusAddress && at + 3 <= size) {
            if (At(data, at + 2) <= kMaxPrimaryAddress) {
                identity_.address = At(data, at + 2);
            }
            at += 3;
        } else if (dif == kDifBcd8 && vif == kVifIdentification && at + 6 <= size) {
            if (const IdBytes id = IdAt(data, at + 2); !HasWildcardNibble(id)) {
                identity_.id = id;
            }
            at += 6;
        } else if (dif == kDifInt64 && vif == kVifIdentification && at + 10 <= size) {
            // Identification, manufacturer, version, medium; FFh keeps a field.
            if (const IdBytes id = IdAt(data, at + 2); !HasWildcardNibble(id)) {
                identity_.id = id;
            }
            const auto manufacturer =
                static_cast<std::uint16_t>(At(data, at + 6) | At(data, at + 7) << 8);
            if (manufacturer != 0xFFFF) {
                identity_.manufacturer = manufacturer;
            }
            if (At(data, at + 8) != 0xFF) {
                identity_.version = At(data, at + 8);
            }
            if (At(data, at + 9) != 0xFF) {
                identity_.medium = At(data, at + 9);
            }
            at += 10;
        } else {
            return; // a record this meter does not know: the rest is ignored
        }
    }
}

std::optional<QByteArray> SimulatedMeter::answerRequest(std::uint8_t control) {
    const auto& telegrams = description_.telegrams;
    if (telegrams.empty()) {
        return std::nullopt;
    }
    if ((control & kFcv) != 0) {
        const bool fcb = (control & kFcb) != 0;
        if (lastFcb_ && *lastFcb_ != fcb) {
            index_ = (index_ + 1) % static_cast<int>(telegrams.size());
        }
        lastFcb_ = fcb;
    }
    const QByteArray& telegram = telegrams[static_cast<std::size_t>(index_)];
    return description_.raw ? telegram : StampAnswer(telegram, identity_);
}

void SimulatedMeter::resetLink() {
    index_ = 0;
    lastFcb_.reset();
}

} // namespace quorven::sim
