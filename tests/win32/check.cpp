#include "check.h"

#include <cstdio>

namespace orvan::win32test {

namespace {
int passed = 0;
int failed = 0;
}  // namespace

void Check(bool ok, const char* what, const char* file, int line) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED %s:%d: %s\n", file, line, what);
}

int Passed() { return passed; }
int Failed() { return failed; }

}  // namespace orvan::win32test
