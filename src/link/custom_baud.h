// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quorven {

// Sets a rate that has no standard termios speed constant (14400) on an open
// terminal. False when the system cannot.
bool SetCustomBaudRate(int fd, int rate);

} // namespace quorven
