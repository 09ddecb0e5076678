// Shared by the benchmark builds of the console and of the baseline window:
// prints the time since the process was created and the peak memory, then
// ends the process.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>

[[noreturn]] inline void ReportFirstPaintAndExit() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("first_paint_ms=%.2f peak_working_set_kb=%lu peak_pagefile_kb=%lu\n",
                static_cast<double>(ticks(now) - ticks(created)) / 10000.0,
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(memory.PeakPagefileUsage / 1024));
    std::fflush(stdout);
    ExitProcess(0);
}
