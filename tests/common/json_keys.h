#pragma once

// The keys a test's JSON file may hold, checked before the file is used. A
// key that is not known, a value of the wrong kind, or a key given without the
// key it belongs with is refused as "FILE:LINE: PATH: PROBLEM", so that a
// misspelt key fails instead of passing by doing nothing.

#include "sim/json_reader.h"

#include <QString>

#include <span>
#include <string>

namespace quorven::testing {

enum class JsonKind { String, Number, Bool, True, Object, Array, Lines, Any };

struct JsonKey {
    const char* name;
    JsonKind kind;
    // Another key this one belongs with; "text|select" for either of them.
    const char* needs = nullptr;
};

inline const sim::JsonValue* JsonMember(const sim::JsonValue& object, std::string_view key) {
    for (const sim::JsonMember& m : object.members) {
        if (m.key == key) {
            return &m.value;
        }
    }
    return nullptr;
}

inline QString JsonProblem(const QString& file, const sim::JsonValue& at, const std::string& path,
                           const QString& problem) {
    return QStringLiteral("%1:%2: %3: %4")
        .arg(file)
        .arg(at.line)
        .arg(QString::fromStdString(path), problem);
}

// What is wrong with a value that should be of `kind`; empty when nothing.
inline QString JsonKindProblem(const sim::JsonValue& v, JsonKind kind) {
    using K = sim::JsonValue::Kind;
    switch (kind) {
    case JsonKind::String:
        return v.kind == K::String ? QString() : QStringLiteral("expected a string");
    case JsonKind::Number:
        return v.kind == K::Number && v.text.find_first_of(".eE") == std::string::npos
                   ? QString()
                   : QStringLiteral("expected a whole number");
    case JsonKind::Bool:
        return v.kind == K::Bool ? QString() : QStringLiteral("expected true or false");
    case JsonKind::True:
        return v.kind == K::Bool && v.boolean ? QString() : QStringLiteral("expected true");
    case JsonKind::Object:
        return v.kind == K::Object ? QString() : QStringLiteral("expected an object");
    case JsonKind::Array:
        return v.kind == K::Array ? QString() : QStringLiteral("expected an array");
    case JsonKind::Lines:
        if (v.kind != K::Array) {
            return QStringLiteral("expected an array of strings");
        }
        for (const sim::JsonValue& item : v.items) {
            if (item.kind != K::String) {
                return QStringLiteral("expected an array of strings");
            }
        }
        return {};
    case JsonKind::Any:
        return {};
    }
    return {};
}

// The first problem with the keys of `object` (found at `path` of `file`);
// empty when there is none.
inline QString CheckJsonKeys(const sim::JsonValue& object, std::span<const JsonKey> rules,
                             const QString& file, const std::string& path) {
    if (object.kind != sim::JsonValue::Kind::Object) {
        return JsonProblem(file, object, path.empty() ? "(file)" : path,
                           QStringLiteral("expected an object"));
    }
    for (const sim::JsonMember& m : object.members) {
        const std::string at = sim::JsonMemberPath(path, m.key);
        const JsonKey* rule = nullptr;
        for (const JsonKey& r : rules) {
            if (m.key == r.name) {
                rule = &r;
            }
        }
        if (rule == nullptr) {
            return JsonProblem(file, m.value, at, QStringLiteral("unknown key"));
        }
        if (const QString kind = JsonKindProblem(m.value, rule->kind); !kind.isEmpty()) {
            return JsonProblem(file, m.value, at, kind);
        }
        if (rule->needs == nullptr) {
            continue;
        }
        bool partner = false;
        const QString needs = QString::fromLatin1(rule->needs);
        for (const QString& other : needs.split(u'|')) {
            partner = partner || JsonMember(object, other.toStdString()) != nullptr;
        }
        if (!partner) {
            return JsonProblem(file, m.value, at,
                               QStringLiteral("belongs with \"%1\", which is not given")
                                   .arg(QString(needs).replace(u'|', QStringLiteral("\" or \""))));
        }
    }
    return {};
}

} // namespace quorven::testing
