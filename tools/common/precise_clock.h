// The system time in FILETIME ticks (100 ns since 1601), from the precise
// clock where the system has one (the plain one may tick in milliseconds).
// Under Wine this is the unix clock, so the tests can compare it with theirs.
#pragma once

#include <windows.h>

namespace orvan::clock {

inline unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline unsigned long long Now() {
    using Precise = VOID(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<Precise>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise)
        precise(&now);
    else
        GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

}  // namespace orvan::clock
