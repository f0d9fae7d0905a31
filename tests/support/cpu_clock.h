// CPU time: the clock for bounds on a piece of work. A busy machine stretches the
// wall clock, not the time a thread spends working, so a bound on it still catches a
// runaway loop without failing when other programs take the cores. (Wine answers 0
// for another process's times, so only the calling thread's own are offered.)
#pragma once
#include <windows.h>

inline double CpuSeconds(const FILETIME& kernel, const FILETIME& user) {
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// The calling thread's CPU seconds so far.
inline double ThreadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return CpuSeconds(kernel, user);
}

