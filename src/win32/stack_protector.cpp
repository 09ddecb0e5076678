// The stack protector's canary and what ends the program when a canary or a
// checked copy finds memory overwritten, in place of libssp's. libssp seeds
// its canary through CryptAcquireContext before the program's first line,
// which loads a cryptographic provider by the name the registry gives it,
// before the library search is kept to the system folder; this seeds it from
// the system's random numbers (advapi32, a known library) and loads nothing.
// Linked into the program itself, so these definitions are the ones taken.
#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

extern "C" {

// The compiler's code compares every protected frame against this.
std::uintptr_t __stack_chk_guard = 0x2B992DDF;

[[noreturn]] void __stack_chk_fail() {
    // The process is in no state to run anything of its own: ended at once,
    // with the code Windows' error reporting knows as a stack buffer overrun.
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_trap();
}

// A checked copy (_FORTIFY_SOURCE) found its destination too small.
[[noreturn]] void __chk_fail() { __stack_chk_fail(); }
}

namespace {

// Before the program's own code, while only the C runtime is on the stack: a
// protected frame below this one would find its canary changed. Nothing here
// is protected, so nothing here checks the old value.
__attribute__((constructor, no_stack_protector)) void SeedStackGuard() {
    std::uintptr_t seed = 0;
    if (RtlGenRandom(&seed, sizeof seed) && seed != 0) {
        __stack_chk_guard = seed;
        return;
    }
    // The system's generator failed: what differs from start to start.
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    __stack_chk_guard ^= static_cast<std::uintptr_t>(counter.QuadPart) ^ now.dwLowDateTime ^
                         (static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16) ^ GetCurrentThreadId() ^
                         reinterpret_cast<std::uintptr_t>(&seed);
}

}  // namespace
