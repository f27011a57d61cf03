// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_access.h"

#include <QFile>

#include <cerrno>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorven {

namespace {

bool GroupMayReadAndWrite(const struct stat& info) {
    return (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
}

// The group's name, or its number when the system does not know it. A group
// with many members needs a larger buffer: it grows up to 1 MiB.
QString GroupName(gid_t gid) {
    const long suggested = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(suggested > 0 ? suggested : 4096));
    group entry{};
    group* found = nullptr;
    int error = 0;
    while ((error = ::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < (std::size_t{1} << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (error != 0 || found == nullptr) {
        return QString::number(gid);
    }
    return QString::fromLocal8Bit(found->gr_name);
}

} // namespace

QString GroupThatMayOpen(const QString& device) {
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 || !GroupMayReadAndWrite(info)) {
        return {};
    }
    return GroupName(info.st_gid);
}

QString JoinGroupAdvice(const QString& group) {
    return QStringLiteral("add this user to group %1 with \"sudo usermod -aG %1 $USER\", then "
                          "log out and in again")
        .arg(group);
}

QString AccessDeniedHint(const QString& device, int error) {
    if (error != EACCES && error != EPERM) {
        return {};
    }
    const QString group = GroupThatMayOpen(device);
    if (group.isEmpty()) {
        return QStringLiteral("the device's permissions let no group open it: the "
                              "administrator must give this user access");
    }
    return QStringLiteral("only members of group %1 may open it: ").arg(group) +
           JoinGroupAdvice(group);
}

DeviceAccess CheckDeviceAccess(const QString& device) {
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), R_OK | W_OK) == 0 || errno != EACCES) {
        return {};
    }
    return {true, GroupThatMayOpen(device)};
}

QString NoAccessNote(const DeviceAccess& access) {
    if (!access.denied) {
        return {};
    }
    return access.group.isEmpty() ? QStringLiteral("present, no access")
                                  : QStringLiteral("present, no access: group ") + access.group;
}

} // namespace quorven
