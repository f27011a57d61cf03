// SPDX-License-Identifier: GPL-3.0-or-later
// Kept apart from every other file: the kernel's termios2 definitions clash
// with the C library's <termios.h>.
#include "link/custom_baud.h"

#ifdef __linux__
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);
#endif

namespace quorven {

bool SetCustomBaudRate([[maybe_unused]] int fd, [[maybe_unused]] int rate) {
#if defined(__linux__) && defined(BOTHER)
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return false;
    }
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | CIBAUD);
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(rate);
    tio.c_ospeed = static_cast<speed_t>(rate);
    if (ioctl(fd, TCSETS2, &tio) != 0) {
        return false;
    }
    // The driver may round the rate or keep its old one and still succeed.
    struct termios2 now {};
    return ioctl(fd, TCGETS2, &now) == 0 && now.c_ospeed == static_cast<speed_t>(rate);
#else
    return false;
#endif
}

} // namespace quorven
