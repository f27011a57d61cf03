// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorven::sim {

// A JSON value with the place it was read from. The reader keeps every member
// of an object in order, so a key given twice is found and refused (Qt's
// reader silently keeps one of them).
struct JsonMember;

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // a string's UTF-8 text, or a number as written
    std::vector<JsonValue> items;
    std::vector<JsonMember> members; // in the order written
    int line = 1;
    int column = 1;
};

struct JsonMember {
    std::string key;
    JsonValue value;
};

// Nesting deeper than this is refused.
inline constexpr int kMaxJsonDepth = 32;

// Reads one JSON document (RFC 8259). On failure gives nothing and sets error
// to a message that names the line and column, and for a duplicate key the
// object it is in ("meters[2]: key \"address\" appears twice (line 9, column 7)").
std::optional<JsonValue> ReadJson(std::string_view text, std::string* error);

// The path of a member or an item, for messages: "meters[2].address".
std::string JsonMemberPath(const std::string& parent, const std::string& key);
std::string JsonItemPath(const std::string& parent, std::size_t index);

// A text shortened for a message, in double quotes.
std::string QuotedForMessage(std::string_view text);

} // namespace quorven::sim
