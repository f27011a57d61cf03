// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The keys a test's JSON file may hold, checked before the file is used. A
// key that is not known, a value of the wrong kind, or a key given without the
// key it belongs with is refused as "FILE:LINE: PATH: PROBLEM", so that a
// misspelt key fails instead of passing by doing nothing.

#include "sim/json_reader.h"

#include <QString>

#include <algorithm>
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
    static const char* const kExpected[] = {
        "a string",  "a whole number", "true or false",      "true",
        "an object", "an array",       "an array of strings"};
    bool fits = true;
    switch (kind) {
    case JsonKind::String:
        fits = v.kind == K::String;
        break;
    case JsonKind::Number:
        fits = v.kind == K::Number && v.text.find_first_of(".eE") == std::string::npos;
        break;
    case JsonKind::Bool:
        fits = v.kind == K::Bool;
        break;
    case JsonKind::True:
        fits = v.kind == K::Bool && v.boolean;
        break;
    case JsonKind::Object:
        fits = v.kind == K::Object;
        break;
    case JsonKind::Array:
        fits = v.kind == K::Array;
        break;
    case JsonKind::Lines:
        fits = v.kind == K::Array && std::all_of(v.items.begin(), v.items.end(),
                                                 [](const auto& i) { return i.kind == K::String; });
        break;
    case JsonKind::Any:
        break;
    }
    return fits ? QString() : QStringLiteral("expected ") + kExpected[int(kind)];
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
