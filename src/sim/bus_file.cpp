// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/bus_file.h"

#include "interpret/hex.h"
#include "link/frames.h"
#include "link/port_map.h"
#include "sim/answer_header.h"
#include "sim/hex_bytes.h"
#include "sim/json_reader.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <span>

namespace quorven::sim {

namespace {

using Kind = JsonValue::Kind;

constexpr std::array<qint32, 9> kMeterBauds{300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400};
constexpr int kMaxNameBytes = 200;
constexpr int kMaxAnswerFrameBytes = 261;

struct OutcomeName {
    const char* name;
    DialOutcome outcome;
};

constexpr std::array<OutcomeName, 6> kOutcomeNames{{
    {"connect", DialOutcome::Connect},
    {"busy", DialOutcome::Busy},
    {"no answer", DialOutcome::NoAnswer},
    {"no carrier", DialOutcome::NoCarrier},
    {"no dialtone", DialOutcome::NoDialTone},
    {"error", DialOutcome::Error},
}};

struct FaultKindName {
    const char* name;
    FaultKind kind;
};

constexpr std::array<FaultKindName, 3> kFaultKindNames{{
    {"unplug", FaultKind::Unplug},
    {"write", FaultKind::WriteFails},
    {"drop", FaultKind::Drop},
}};

std::string Hex(std::uint8_t byte) {
    return HexByte(byte);
}

// Why a telegram is not a long frame a meter could answer with, if it is not.
// The checksum is not checked: the meter computes it afresh for every answer.
std::optional<std::string> AnswerFrameProblem(const QByteArray& frame) {
    const auto byte = [&frame](int i) { return static_cast<std::uint8_t>(frame[i]); };
    const int size = static_cast<int>(frame.size());
    if (size < 9) {
        return "a long frame has at least 9 bytes, this one " + std::to_string(size);
    }
    if (byte(0) != kLongStart) {
        return "starts with " + Hex(byte(0)) + ", not 68";
    }
    if (byte(1) != byte(2)) {
        return "the two L bytes differ (" + Hex(byte(1)) + ", " + Hex(byte(2)) + ")";
    }
    if (byte(3) != kLongStart) {
        return "the fourth byte is " + Hex(byte(3)) + ", not 68";
    }
    if (byte(1) < 3) {
        return "L is " + Hex(byte(1)) + ", less than 3";
    }
    if (size != byte(1) + 6) {
        return "L is " + Hex(byte(1)) + ", so the frame has " + std::to_string(byte(1) + 6) +
               " bytes, not " + std::to_string(size);
    }
    if (byte(size - 1) != kStopByte) {
        return "the last byte is " + Hex(byte(size - 1)) + ", not 16";
    }
    return std::nullopt;
}

std::string KindName(Kind kind) {
    switch (kind) {
    case Kind::Null:
        return "null";
    case Kind::Bool:
        return "true or false";
    case Kind::Number:
        return "a number";
    case Kind::String:
        return "a text";
    case Kind::Array:
        return "a list";
    case Kind::Object:
        return "an object";
    }
    return "a value";
}

// Turns the JSON tree into a bus description, refusing what does not fit.
class Mapper {
public:
    std::optional<BusDescription> bus(const JsonValue& root) {
        if (root.kind != Kind::Object) {
            fail("", "the file must hold one object {…}, not " + KindName(root.kind));
            return std::nullopt;
        }
        BusDescription bus;
        const JsonValue* meters = nullptr;
        for (const auto& [key, value] : root.members) {
            const std::string path = JsonMemberPath("", key);
            bool ok = true;
            if (key == "description") {
                ok = text(value, path, kMaxNameBytes, bus.description);
            } else if (key == "echo") {
                ok = flag(value, path, bus.echo);
            } else if (key == "noise") {
                ok = hex(value, path, kMaxNoiseBytes, bus.noise);
            } else if (key == "replyDelayMs") {
                ok = delay(value, path, defaultDelay_);
            } else if (key == "meters") {
                meters = &value;
            } else if (key == "modem") {
                ok = modem(value, path, bus.modem);
            } else if (key == "faults") {
                ok = faults(value, path, bus.faults);
            } else {
                ok = unknownKey("", key,
                                "description, echo, noise, replyDelayMs, meters, modem, faults");
            }
            if (!ok) {
                return std::nullopt;
            }
        }
        if (meters == nullptr) {
            fail("", "the key \"meters\" is missing");
            return std::nullopt;
        }
        if (!expect(*meters, Kind::Array, "meters")) {
            return std::nullopt;
        }
        if (meters->items.size() > static_cast<std::size_t>(kMaxMeters)) {
            fail("meters", "more than " + std::to_string(kMaxMeters) + " meters");
            return std::nullopt;
        }
        for (std::size_t i = 0; i < meters->items.size(); ++i) {
            auto meter = this->meter(meters->items[i], JsonItemPath("meters", i));
            if (!meter) {
                return std::nullopt;
            }
            bus.meters.push_back(std::move(*meter));
        }
        return bus;
    }

    const std::string& error() const { return error_; }

private:
    struct MeterKeys {
        bool address = false;
        bool id = false;
        bool telegrams = false;
        bool delay = false;
    };

    std::optional<MeterDescription> meter(const JsonValue& value, const std::string& path) {
        if (!expect(value, Kind::Object, path)) {
            return std::nullopt;
        }
        MeterDescription meter;
        MeterKeys given;
        const JsonValue* telegrams = nullptr;
        for (const auto& [key, member] : value.members) {
            if (key == "telegrams") {
                telegrams = &member;
                given.telegrams = true;
            } else if (!meterKey(key, member, JsonMemberPath(path, key), path, meter, given)) {
                return std::nullopt;
            }
        }
        if (!given.address) {
            fail(path, "the key \"address\" is missing");
            return std::nullopt;
        }
        if (telegrams != nullptr &&
            !readTelegrams(*telegrams, JsonMemberPath(path, "telegrams"), meter)) {
            return std::nullopt;
        }
        if (meter.echoOnly && given.telegrams) {
            fail(path, "an echo-only meter answers with the request, not with telegrams");
            return std::nullopt;
        }
        if (!meter.echoOnly && !meter.stx && meter.telegrams.empty()) {
            fail(path,
                 given.telegrams ? "\"telegrams\" is empty" : "the key \"telegrams\" is missing");
            return std::nullopt;
        }
        if (!given.delay) {
            meter.replyDelayMs = defaultDelay_;
        }
        // A meter of the register protocol alone needs no identification number.
        if (!given.id && !(meter.stx && meter.telegrams.empty())) {
            const auto header = meter.telegrams.empty() || meter.raw
                                    ? AnswerHeader{}
                                    : ReadAnswerHeader(meter.telegrams.front());
            if (!header.id) {
                fail(path, "the key \"id\" is missing, and the first telegram carries no "
                           "identification number to take it from");
                return std::nullopt;
            }
            meter.id = *header.id;
        }
        return meter;
    }

    bool meterKey(const std::string& key, const JsonValue& value, const std::string& path,
                  const std::string& meterPath, MeterDescription& meter, MeterKeys& given) {
        if (key == "name") {
            return text(value, path, kMaxNameBytes, meter.name);
        }
        if (key == "address") {
            given.address = true;
            return byteNumber(value, path, 250, meter.address);
        }
        if (key == "id") {
            given.id = true;
            return id(value, path, meter.id);
        }
        if (key == "baud") {
            return baud(value, path, meter.baud);
        }
        if (key == "replyDelayMs") {
            given.delay = true;
            return delay(value, path, meter.replyDelayMs);
        }
        if (key == "manufacturer") {
            std::uint16_t code = 0;
            const bool ok = manufacturer(value, path, code);
            meter.manufacturer = code;
            return ok;
        }
        if (key == "version" || key == "medium") {
            std::uint8_t byte = 0;
            const bool ok = byteNumber(value, path, 255, byte);
            (key == "version" ? meter.version : meter.medium) = byte;
            return ok;
        }
        if (key == "echoOnly") {
            return flag(value, path, meter.echoOnly);
        }
        if (key == "raw") {
            return flag(value, path, meter.raw);
        }
        if (key == "stx") {
            return stx(value, path, meter);
        }
        return unknownKey(meterPath, key,
                          "name, address, id, baud, telegrams, replyDelayMs, manufacturer, "
                          "version, medium, echoOnly, raw, stx");
    }

    bool stx(const JsonValue& value, const std::string& path, MeterDescription& meter) {
        if (!expect(value, Kind::Object, path)) {
            return false;
        }
        StxDescription stx;
        const JsonValue* blocks = nullptr;
        for (const auto& [key, member] : value.members) {
            const std::string memberPath = JsonMemberPath(path, key);
            if (key == "blocks") {
                blocks = &member;
            } else if (key == "answerAddress") {
                std::uint8_t address = 0;
                if (!byteNumber(member, memberPath, 255, address)) {
                    return false;
                }
                stx.answerAddress = address;
            } else {
                return unknownKey(path, key, "blocks, answerAddress");
            }
        }
        if (blocks == nullptr) {
            return fail(path, "the key \"blocks\" is missing");
        }
        if (!stxBlocks(*blocks, JsonMemberPath(path, "blocks"), stx)) {
            return false;
        }
        meter.stx = std::move(stx);
        return true;
    }

    bool stxBlocks(const JsonValue& value, const std::string& path, StxDescription& stx) {
        if (!expect(value, Kind::Object, path)) {
            return false;
        }
        if (value.members.empty()) {
            return fail(path, "holds no block");
        }
        for (const auto& [key, member] : value.members) {
            const std::string blockPath = JsonMemberPath(path, key);
            const bool isRegister =
                key.size() == 4 && std::all_of(key.begin(), key.end(), [](char c) {
                    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                });
            if (!isRegister) {
                return fail(path, QuotedForMessage(key) +
                                      " is not a first register (4 hexadecimal digits)");
            }
            const auto first = static_cast<std::uint16_t>(std::stoul(key, nullptr, 16));
            if (stx.blocks.contains(first)) {
                return fail(blockPath, "the register is given twice");
            }
            QByteArray data;
            if (!hex(member, blockPath, kStxBlockBytes, data)) {
                return false;
            }
            if (data.size() != kStxBlockBytes) {
                return fail(blockPath,
                            "a block has 16 bytes, this one " + std::to_string(data.size()));
            }
            stx.blocks[first] = data;
        }
        return true;
    }

    bool modem(const JsonValue& value, const std::string& path,
               std::optional<ModemDescription>& out) {
        if (!expect(value, Kind::Object, path)) {
            return false;
        }
        ModemDescription modem;
        bool numbersGiven = false;
        for (const auto& [key, member] : value.members) {
            const std::string memberPath = JsonMemberPath(path, key);
            bool ok = true;
            if (key == "numbers") {
                numbersGiven = true;
                ok = numbers(member, memberPath, modem.numbers);
            } else if (key == "port") {
                ok = portName(member, memberPath, modem.port);
            } else if (key == "baud") {
                ok = baud(member, memberPath, modem.baud);
            } else if (key == "connectDelayMs" || key == "dropCarrierAfterMs") {
                const auto ms = wholeNumber(member, memberPath, 0, kMaxModemDelayMs);
                if (ms && key == "connectDelayMs") {
                    modem.connectDelayMs = *ms;
                } else if (ms) {
                    modem.dropCarrierAfterMs = *ms;
                }
                ok = ms.has_value();
            } else {
                ok = unknownKey(path, key,
                                "numbers, port, baud, connectDelayMs, dropCarrierAfterMs");
            }
            if (!ok) {
                return false;
            }
        }
        if (!numbersGiven) {
            return fail(path, "the key \"numbers\" is missing");
        }
        out = std::move(modem);
        return true;
    }

    bool faults(const JsonValue& value, const std::string& path,
                std::vector<FaultDescription>& out) {
        if (!expect(value, Kind::Array, path)) {
            return false;
        }
        if (value.items.size() > static_cast<std::size_t>(kMaxFaults)) {
            return fail(path, "more than " + std::to_string(kMaxFaults) + " faults");
        }
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            FaultDescription fault;
            if (!this->fault(value.items[i], JsonItemPath(path, i), fault)) {
                return false;
            }
            out.push_back(std::move(fault));
        }
        return true;
    }

    bool fault(const JsonValue& value, const std::string& path, FaultDescription& out) {
        if (!expect(value, Kind::Object, path)) {
            return false;
        }
        bool portGiven = false;
        bool atGiven = false;
        bool kindGiven = false;
        for (const auto& [key, member] : value.members) {
            const std::string memberPath = JsonMemberPath(path, key);
            bool ok = true;
            if (key == "port") {
                portGiven = true;
                ok = portName(member, memberPath, out.port);
            } else if (key == "at_ms" || key == "for_ms") {
                const auto ms = wholeNumber(member, memberPath, 0, kMaxFaultTimeMs);
                (key == "at_ms" ? out.atMs : out.forMs) = ms.value_or(0);
                atGiven = atGiven || key == "at_ms";
                ok = ms.has_value();
            } else if (key == "kind") {
                kindGiven = true;
                ok = faultKind(member, memberPath, out.kind);
            } else {
                ok = unknownKey(path, key, "port, at_ms, kind, for_ms");
            }
            if (!ok) {
                return false;
            }
        }
        for (const auto& [given, name] : {std::pair{portGiven, "port"}, std::pair{atGiven, "at_ms"},
                                          std::pair{kindGiven, "kind"}}) {
            if (!given) {
                return fail(path, std::string("the key \"") + name + "\" is missing");
            }
        }
        return true;
    }

    bool faultKind(const JsonValue& value, const std::string& path, FaultKind& out) {
        if (!expect(value, Kind::String, path)) {
            return false;
        }
        const auto row =
            std::find_if(kFaultKindNames.begin(), kFaultKindNames.end(),
                         [&value](const FaultKindName& r) { return value.text == r.name; });
        if (row == kFaultKindNames.end()) {
            return fail(path, QuotedForMessage(value.text) + " is not one of unplug, write, drop");
        }
        out = row->kind;
        return true;
    }

    bool numbers(const JsonValue& value, const std::string& path,
                 std::map<QString, DialOutcome>& out) {
        if (!expect(value, Kind::Object, path)) {
            return false;
        }
        if (value.members.size() > static_cast<std::size_t>(kMaxModemNumbers)) {
            return fail(path, "more than " + std::to_string(kMaxModemNumbers) + " numbers");
        }
        for (const JsonMember& member : value.members) {
            const std::string& number = member.key;
            const JsonValue& outcome = member.value;
            const std::string numberPath = JsonMemberPath(path, number);
            const bool dialable =
                !number.empty() &&
                number.size() <= static_cast<std::size_t>(kMaxPhoneNumberBytes) &&
                std::all_of(number.begin(), number.end(), [](char c) {
                    return (c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+' || c == ',';
                });
            if (!dialable) {
                return fail(path, QuotedForMessage(number) + " is not a number to dial (1-" +
                                      std::to_string(kMaxPhoneNumberBytes) + " of 0-9 * # + ,)");
            }
            if (!expect(outcome, Kind::String, numberPath)) {
                return false;
            }
            const auto row =
                std::find_if(kOutcomeNames.begin(), kOutcomeNames.end(),
                             [&outcome](const OutcomeName& r) { return outcome.text == r.name; });
            if (row == kOutcomeNames.end()) {
                return fail(numberPath, QuotedForMessage(outcome.text) +
                                            " is not one of connect, busy, no answer, no "
                                            "carrier, no dialtone, error");
            }
            out[QString::fromStdString(number)] = row->outcome;
        }
        return true;
    }

    bool portName(const JsonValue& value, const std::string& path, QString& out) {
        if (!expect(value, Kind::String, path)) {
            return false;
        }
        const std::string& t = value.text;
        const QString name = QString::fromStdString(t);
        if (ComPortNumber(name) == 0) {
            return fail(path, QuotedForMessage(t) + " is not a port COM1 to COM255");
        }
        out = name;
        return true;
    }

    bool readTelegrams(const JsonValue& value, const std::string& path, MeterDescription& meter) {
        if (!expect(value, Kind::Array, path)) {
            return false;
        }
        if (value.items.size() > static_cast<std::size_t>(kMaxTelegramsPerMeter)) {
            return fail(path, "more than " + std::to_string(kMaxTelegramsPerMeter) + " telegrams");
        }
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            const std::string itemPath = JsonItemPath(path, i);
            QByteArray frame;
            if (!hex(value.items[i], itemPath, kMaxRawTelegramBytes, frame)) {
                return false;
            }
            if (frame.isEmpty()) {
                return fail(itemPath, "the telegram is empty");
            }
            meter.telegrams.push_back(frame);
        }
        if (meter.raw) {
            return true;
        }
        for (std::size_t i = 0; i < meter.telegrams.size(); ++i) {
            const QByteArray& frame = meter.telegrams[i];
            if (frame.size() > kMaxAnswerFrameBytes) {
                return fail(JsonItemPath(path, i), "a long frame has at most 261 bytes, this one " +
                                                       std::to_string(frame.size()));
            }
            if (const auto problem = AnswerFrameProblem(frame)) {
                return fail(JsonItemPath(path, i), *problem);
            }
        }
        return true;
    }

    bool expect(const JsonValue& value, Kind kind, const std::string& path) {
        if (value.kind != kind) {
            return fail(path, "must be " + KindName(kind) + ", not " + KindName(value.kind));
        }
        return true;
    }

    bool text(const JsonValue& value, const std::string& path, int maxBytes, QString& out) {
        if (!expect(value, Kind::String, path)) {
            return false;
        }
        if (value.text.size() > static_cast<std::size_t>(maxBytes)) {
            return fail(path, "longer than " + std::to_string(maxBytes) + " bytes");
        }
        out = QString::fromStdString(value.text);
        return true;
    }

    bool flag(const JsonValue& value, const std::string& path, bool& out) {
        if (!expect(value, Kind::Bool, path)) {
            return false;
        }
        out = value.boolean;
        return true;
    }

    bool hex(const JsonValue& value, const std::string& path, qsizetype maxBytes, QByteArray& out) {
        if (!expect(value, Kind::String, path)) {
            return false;
        }
        std::string problem;
        auto bytes = ParseHexBytes(value.text, maxBytes, &problem);
        if (!bytes) {
            return fail(path, problem);
        }
        out = std::move(*bytes);
        return true;
    }

    std::optional<qint64> wholeNumber(const JsonValue& value, const std::string& path, qint64 low,
                                      qint64 high) {
        if (!expect(value, Kind::Number, path)) {
            return std::nullopt;
        }
        if (value.number != std::floor(value.number)) {
            fail(path, value.text + " is not a whole number");
            return std::nullopt;
        }
        if (value.number < static_cast<double>(low) || value.number > static_cast<double>(high)) {
            fail(path, value.text + " is out of range " + std::to_string(low) + "-" +
                           std::to_string(high));
            return std::nullopt;
        }
        return static_cast<qint64>(value.number);
    }

    bool byteNumber(const JsonValue& value, const std::string& path, int high, std::uint8_t& out) {
        const auto number = wholeNumber(value, path, 0, high);
        if (number) {
            out = static_cast<std::uint8_t>(*number);
        }
        return number.has_value();
    }

    bool baud(const JsonValue& value, const std::string& path, qint32& out) {
        const auto number = wholeNumber(value, path, 1, 1'000'000);
        if (!number) {
            return false;
        }
        if (std::find(kMeterBauds.begin(), kMeterBauds.end(), *number) == kMeterBauds.end()) {
            return fail(path, value.text + " is not one of 300, 600, 1200, 2400, 4800, 9600, "
                                           "14400, 19200, 38400");
        }
        out = static_cast<qint32>(*number);
        return true;
    }

    bool delay(const JsonValue& value, const std::string& path, double& out) {
        if (!expect(value, Kind::Number, path)) {
            return false;
        }
        if (!(value.number >= 0 && value.number <= kMaxReplyDelayMs)) {
            return fail(path, value.text + " is out of range 0-" +
                                  std::to_string(static_cast<int>(kMaxReplyDelayMs)));
        }
        out = value.number;
        return true;
    }

    bool id(const JsonValue& value, const std::string& path, IdBytes& out) {
        if (!expect(value, Kind::String, path)) {
            return false;
        }
        const std::string& t = value.text;
        const bool digits =
            t.size() == 8 && std::all_of(t.begin(), t.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'E') || (c >= 'a' && c <= 'e');
            });
        if (!digits) {
            return fail(path,
                        QuotedForMessage(t) + " must be 8 digits (A-E allowed, F is the wildcard)");
        }
        for (int k = 0; k < 4; ++k) {
            const auto pair =
                QString::fromStdString(t.substr(static_cast<std::size_t>(6 - 2 * k), 2));
            out[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(pair.toUInt(nullptr, 16));
        }
        return true;
    }

    bool manufacturer(const JsonValue& value, const std::string& path, std::uint16_t& out) {
        if (!expect(value, Kind::String, path)) {
            return false;
        }
        const std::string& t = value.text;
        if (t.size() != 3 ||
            !std::all_of(t.begin(), t.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
            return fail(path, QuotedForMessage(t) + " must be three capital letters A-Z");
        }
        out = static_cast<std::uint16_t>(((t[0] - 64) << 10) | ((t[1] - 64) << 5) | (t[2] - 64));
        return true;
    }

    bool unknownKey(const std::string& path, const std::string& key, const char* known) {
        return fail(path, "unknown key " + QuotedForMessage(key) + " (known: " + known + ")");
    }

    bool fail(const std::string& path, const std::string& message) {
        error_ = path.empty() ? message : path + ": " + message;
        return false;
    }

    double defaultDelay_ = kDefaultReplyDelayMs;
    std::string error_;
};

} // namespace

std::optional<BusDescription> ParseBusDescription(QByteArrayView json, QString* error) {
    const auto fail = [error](const std::string& message) {
        if (error != nullptr) {
            *error = QString::fromStdString(message);
        }
        return std::nullopt;
    };
    if (json.size() > kMaxBusFileBytes) {
        return fail("larger than " + std::to_string(kMaxBusFileBytes / 1024) + " KiB");
    }
    std::string problem;
    const auto root =
        ReadJson(std::string_view(json.data(), static_cast<std::size_t>(json.size())), &problem);
    if (!root) {
        return fail(problem);
    }
    Mapper mapper;
    auto bus = mapper.bus(*root);
    if (!bus) {
        return fail(mapper.error());
    }
    return bus;
}

std::optional<BusDescription> LoadBusFile(const QString& path, QString* error) {
    const QString& name = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error != nullptr) {
            *error = QStringLiteral("%1: cannot be read (%2)").arg(name, file.errorString());
        }
        return std::nullopt;
    }
    const QByteArray json = file.read(kMaxBusFileBytes + 1);
    QString problem;
    auto bus = ParseBusDescription(json, &problem);
    if (!bus && error != nullptr) {
        *error = QStringLiteral("%1: %2").arg(name, problem);
    }
    return bus;
}

QByteArray DemoBusJson() {
    QFile file(QStringLiteral(":/quorven/sim/demo-bus.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(kMaxBusFileBytes);
}

BusDescription DemoBusDescription() {
    QString error;
    auto bus = ParseBusDescription(DemoBusJson(), &error);
    // The demonstration bus is part of the build and tested; should it ever be
    // unreadable the program still gets a bus, an empty one.
    return bus ? std::move(*bus) : BusDescription{};
}

} // namespace quorven::sim
