// The Win32 tests' one way to check: each check counts, and a failed one
// prints where it stands and what it expected.
#pragma once

namespace orvan::win32test {

void Check(bool ok, const char* what, const char* file, int line);
int Passed();
int Failed();

}  // namespace orvan::win32test

#define CHECK(x) ::orvan::win32test::Check((x), #x, __FILE__, __LINE__)
#define CHECK_THAT(x, what) ::orvan::win32test::Check((x), (what), __FILE__, __LINE__)
