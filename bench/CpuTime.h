#pragma once
// CPU seconds used so far (user + system) by the process (RUSAGE_SELF) or
// the calling thread (RUSAGE_THREAD).
#include <sys/resource.h>

inline double CpuSeconds(int who = RUSAGE_SELF)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
