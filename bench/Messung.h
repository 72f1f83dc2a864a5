#pragma once

#include <sys/resource.h>

// Process CPU time (user and system) in seconds, for the benchmarks' cpu_pct figures.
inline double cpuSekunden() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) * 1e-6;
}
