// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace quorven {

// Runs one handler of the window and hands any error it lets out to onError
// with its message, so that no exception crosses the event loop.
template <class Handler, class OnError>
void RunGuarded(Handler&& handler, OnError&& onError) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        onError(QString::fromUtf8(e.what()));
    } catch (...) {
        onError(QStringLiteral("Unknown error"));
    }
}

} // namespace quorven
