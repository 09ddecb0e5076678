// Shared by the benchmark builds of the console and of the baseline window:
// stamps the phases of start-up with the precise counter, then prints the
// time from the process's creation to the end of each phase and of the first
// complete paint, and the peak memory, and ends the process.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "common/precise_clock.h"

namespace orvan::bench {

struct Stamp {
    const char* phase;
    LARGE_INTEGER counter;
};
inline Stamp stamps[16];
inline int stampCount = 0;

// The phase ends now; a phase stamped again ends at its last stamp.
inline void StampPhase(const char* phase) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    for (int i = 0; i < stampCount; ++i) {
        if (std::strcmp(stamps[i].phase, phase) == 0) {
            stamps[i].counter = now;
            return;
        }
    }
    if (stampCount < static_cast<int>(sizeof stamps / sizeof stamps[0])) stamps[stampCount++] = {phase, now};
}

// Prints "first_paint_ms=... peak_working_set_kb=... peak_pagefile_kb=..."
// and then "<phase>_ms=..." for each phase, in the order they were first
// stamped, all in milliseconds since the process was created.
[[noreturn]] inline void ReportFirstPaintAndExit() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    const unsigned long long now = clock::Now();
    QueryPerformanceFrequency(&frequency);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const double total = static_cast<double>(now - clock::Ticks(created)) / 10000.0;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("first_paint_ms=%.2f peak_working_set_kb=%lu peak_pagefile_kb=%lu", total,
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(memory.PeakPagefileUsage / 1024));
    // The process's creation is known only in system time: a stamp lies the
    // counter's distance before this moment.
    for (int i = 0; i < stampCount; ++i)
        std::printf(" %s_ms=%.2f", stamps[i].phase,
                    total - static_cast<double>(counter.QuadPart - stamps[i].counter.QuadPart) * 1000.0 /
                                static_cast<double>(frequency.QuadPart));
    std::printf("\n");
    std::fflush(stdout);
    ExitProcess(0);
}

}  // namespace orvan::bench
