// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorven {

// Why a present device cannot be opened by this user, and how to fix it: on
// Debian a serial device belongs to group "dialout", and only its members may
// open it.

// The group that owns the device ("dialout") when its members may read and
// write it; empty when they may not or when it cannot be told.
QString GroupThatMayOpen(const QString& device);

// The advice after "Permission denied" when opening the device failed with
// error (an errno value): the device's group, the command that adds the user
// to it, and that the membership counts from the next login. Empty for any
// other error.
QString AccessDeniedHint(const QString& device, int error);

// Whether this user may open a device that is there.
struct DeviceAccess {
    bool denied = false; // present, but this user may not read and write it
    QString group;       // the group whose members may open it, if any
};
DeviceAccess CheckDeviceAccess(const QString& device);

// "present, no access: group dialout"; empty when access is not denied.
QString NoAccessNote(const DeviceAccess& access);

// How a user gets access to the devices of group: join it, log in again.
QString JoinGroupAdvice(const QString& group);

} // namespace quorven
