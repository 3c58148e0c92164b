#include "SerialLineRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool SetLineRate(int fd, int32_t baud)
{
    if (baud <= 0)
        return false; // a rate of 0 would mean hang up (B0)
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = static_cast<speed_t>(baud);
    t.c_ospeed = static_cast<speed_t>(baud);
    return ioctl(fd, TCSETS2, &t) == 0;
}

int32_t LineRate(int fd)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return -1;
    return static_cast<int32_t>(t.c_ospeed);
}
