// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/json_reader.h"

#include <charconv>
#include <unordered_set>

namespace quorven::sim {

namespace {

constexpr std::size_t kMaxQuotedChars = 40;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> document(std::string* error) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3; // a byte order mark
        }
        skipSpace();
        auto value = readValue("", 0);
        if (value) {
            skipSpace();
            if (pos_ != text_.size()) {
                value.reset();
                fail("unexpected text after the end of the document");
            }
        }
        if (!value && error != nullptr) {
            *error = error_;
        }
        return value;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void advance() {
        const auto c = static_cast<unsigned char>(text_[pos_++]);
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column_; // count characters, not the continuation bytes of UTF-8
        }
    }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            advance();
        }
    }

    std::nullopt_t fail(const std::string& message) {
        if (error_.empty()) {
            error_ = "line " + std::to_string(line_) + ", column " + std::to_string(column_) +
                     ": " + message;
        }
        return std::nullopt;
    }

    std::optional<JsonValue> readValue(const std::string& path, int depth) {
        if (depth > kMaxJsonDepth) {
            return fail("nesting deeper than " + std::to_string(kMaxJsonDepth) + " levels");
        }
        JsonValue value;
        value.line = line_;
        value.column = column_;
        if (atEnd()) {
            return fail("unexpected end of the file");
        }
        const char c = peek();
        if (c == '{') {
            return readObject(std::move(value), path, depth);
        }
        if (c == '[') {
            return readArray(std::move(value), path, depth);
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            if (!readString(value.text)) {
                return std::nullopt;
            }
            return value;
        }
        if (c == '-' || IsDigit(c)) {
            return readNumber(std::move(value));
        }
        for (const auto& [word, kind, flag] :
             {std::tuple{std::string_view("true"), JsonValue::Kind::Bool, true},
              std::tuple{std::string_view("false"), JsonValue::Kind::Bool, false},
              std::tuple{std::string_view("null"), JsonValue::Kind::Null, false}}) {
            if (text_.substr(pos_, word.size()) == word) {
                for (std::size_t i = 0; i < word.size(); ++i) {
                    advance();
                }
                value.kind = kind;
                value.boolean = flag;
                return value;
            }
        }
        return fail("expected a value");
    }

    std::optional<JsonValue> readObject(JsonValue value, const std::string& path, int depth) {
        value.kind = JsonValue::Kind::Object;
        advance(); // {
        skipSpace();
        if (peek() == '}') {
            advance();
            return value;
        }
        std::unordered_set<std::string> keys;
        for (;;) {
            skipSpace();
            if (peek() != '"') {
                return fail("expected a key in double quotes");
            }
            const int keyLine = line_;
            const int keyColumn = column_;
            std::string key;
            if (!readString(key)) {
                return std::nullopt;
            }
            if (!keys.insert(key).second) {
                error_ = (path.empty() ? std::string("top level") : path) + ": key " +
                         QuotedForMessage(key) + " appears twice (line " + std::to_string(keyLine) +
                         ", column " + std::to_string(keyColumn) + ")";
                return std::nullopt;
            }
            skipSpace();
            if (peek() != ':') {
                return fail("expected ':' after the key");
            }
            advance();
            skipSpace();
            auto member = readValue(JsonMemberPath(path, key), depth + 1);
            if (!member) {
                return std::nullopt;
            }
            value.members.push_back(JsonMember{std::move(key), std::move(*member)});
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            if (peek() == '}') {
                advance();
                return value;
            }
            return fail("expected ',' or '}'");
        }
    }

    std::optional<JsonValue> readArray(JsonValue value, const std::string& path, int depth) {
        value.kind = JsonValue::Kind::Array;
        advance(); // [
        skipSpace();
        if (peek() == ']') {
            advance();
            return value;
        }
        for (;;) {
            skipSpace();
            auto item = readValue(JsonItemPath(path, value.items.size()), depth + 1);
            if (!item) {
                return std::nullopt;
            }
            value.items.push_back(std::move(*item));
            skipSpace();
            if (peek() == ',') {
                advance();
                continue;
            }
            if (peek() == ']') {
                advance();
                return value;
            }
            return fail("expected ',' or ']'");
        }
    }

    std::optional<char32_t> readHex4() {
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = peek();
            int digit = -1;
            if (IsDigit(c)) {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            }
            if (atEnd() || digit < 0) {
                fail("expected four hexadecimal digits after \\u");
                return std::nullopt;
            }
            value = value * 16 + static_cast<char32_t>(digit);
            advance();
        }
        return value;
    }

    bool readEscape(std::string& out) {
        advance(); // backslash
        const char c = peek();
        static constexpr std::string_view kFrom = "\"\\/bfnrt";
        static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const auto i = kFrom.find(c); !atEnd() && i != std::string_view::npos) {
            out += kTo[i];
            advance();
            return true;
        }
        if (c != 'u') {
            fail("unknown escape in a string");
            return false;
        }
        advance();
        auto code = readHex4();
        if (!code) {
            return false;
        }
        if (*code >= 0xD800 && *code <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\u") {
                fail("a lone surrogate in a \\u escape");
                return false;
            }
            advance();
            advance();
            const auto low = readHex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                if (low) {
                    fail("a lone surrogate in a \\u escape");
                }
                return false;
            }
            code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
        } else if (*code >= 0xDC00 && *code <= 0xDFFF) {
            fail("a lone surrogate in a \\u escape");
            return false;
        }
        AppendUtf8(out, *code);
        return true;
    }

    bool readString(std::string& out) {
        advance(); // opening quote
        for (;;) {
            if (atEnd()) {
                fail("a string is not closed");
                return false;
            }
            const char c = peek();
            if (c == '"') {
                advance();
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("a control character inside a string");
                return false;
            }
            if (c == '\\') {
                if (!readEscape(out)) {
                    return false;
                }
                continue;
            }
            out += c;
            advance();
        }
    }

    std::optional<JsonValue> readNumber(JsonValue value) {
        const std::size_t start = pos_;
        const auto digits = [this] {
            std::size_t n = 0;
            while (IsDigit(peek())) {
                advance();
                ++n;
            }
            return n;
        };
        if (peek() == '-') {
            advance();
        }
        if (peek() == '0') {
            advance();
        } else if (digits() == 0) {
            return fail("a malformed number");
        }
        if (peek() == '.') {
            advance();
            if (digits() == 0) {
                return fail("a malformed number");
            }
        }
        if (peek() == 'e' || peek() == 'E') {
            advance();
            if (peek() == '+' || peek() == '-') {
                advance();
            }
            if (digits() == 0) {
                return fail("a malformed number");
            }
        }
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(text_.substr(start, pos_ - start));
        const char* first = value.text.data();
        const char* last = first + value.text.size();
        const auto [end, ec] = std::from_chars(first, last, value.number);
        if (ec != std::errc() || end != last) {
            return fail("the number " + QuotedForMessage(value.text) + " is out of range");
        }
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
    std::string error_;
};

} // namespace

std::optional<JsonValue> ReadJson(std::string_view text, std::string* error) {
    return Reader(text).document(error);
}

std::string JsonMemberPath(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

std::string JsonItemPath(const std::string& parent, std::size_t index) {
    return parent + "[" + std::to_string(index) + "]";
}

std::string QuotedForMessage(std::string_view text) {
    std::string out = "\"";
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool startsCharacter = (c & 0xC0) != 0x80;
        if (startsCharacter && characters == kMaxQuotedChars) {
            out += "…";
            break;
        }
        characters += startsCharacter ? 1 : 0;
        out += c < 0x20 ? '?' : static_cast<char>(c);
    }
    return out + "\"";
}

} // namespace quorven::sim
