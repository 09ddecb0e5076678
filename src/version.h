/* The version of Orvan 97 and the name its console window is found by,
   each defined once. Read by the resource script's VERSIONINFO
   (orvan97.rc), the About panel and the console's caption
   (ui/console_layout.cpp), the window class and the search for a running
   console (win32/), CMake's project(VERSION) (CMakeLists.txt), the package
   names (scripts/package.sh) and the installer (packaging/orvan97.nsi): the
   last three parse the "#define NAME value" lines below as text, so keep
   them one per line. Portable: C, C++ and the resource compiler include
   it; no <windows.h>. */
#ifndef ORVAN_VERSION_H
#define ORVAN_VERSION_H

#define ORVAN_VERSION_MAJOR 1
#define ORVAN_VERSION_MINOR 1
#define ORVAN_REVISION 3

/* The same numbers as shown: the minor number with two digits, and the
   file version's revision with four (the C++ check below holds them to the
   numbers above). */
#define ORVAN_VERSION "1.01"
#define ORVAN_REVISION_TEXT "3"
#define ORVAN_FILE_VERSION "1.01.0003"

/* The console's window: its class and its caption. A second start finds the
   running console by both, and so does the installer, which refuses to
   replace a running program. */
#define ORVAN_CONSOLE_CLASS "Orvan97Form"
#define ORVAN_CONSOLE_CAPTION "Orvan 97"

#if defined(__cplusplus) && !defined(RC_INVOKED)
namespace orvan::version_check {
constexpr char Digit(int n) { return static_cast<char>('0' + n % 10); }
constexpr bool Same(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}
constexpr char kVersion[] = {Digit(ORVAN_VERSION_MAJOR), '.', Digit(ORVAN_VERSION_MINOR / 10),
                             Digit(ORVAN_VERSION_MINOR), '\0'};
constexpr char kRevision[] = {Digit(ORVAN_REVISION), '\0'};
constexpr char kFileVersion[] = {kVersion[0],
                                 '.',
                                 kVersion[2],
                                 kVersion[3],
                                 '.',
                                 Digit(ORVAN_REVISION / 1000),
                                 Digit(ORVAN_REVISION / 100),
                                 Digit(ORVAN_REVISION / 10),
                                 Digit(ORVAN_REVISION),
                                 '\0'};
static_assert(ORVAN_VERSION_MAJOR < 10 && ORVAN_VERSION_MINOR < 100 && ORVAN_REVISION < 10,
              "version.h: widen the texts and this check for larger numbers");
static_assert(Same(ORVAN_VERSION, kVersion), "version.h: ORVAN_VERSION must spell MAJOR.MINOR (two digits)");
static_assert(Same(ORVAN_REVISION_TEXT, kRevision), "version.h: ORVAN_REVISION_TEXT must spell ORVAN_REVISION");
static_assert(Same(ORVAN_FILE_VERSION, kFileVersion),
              "version.h: ORVAN_FILE_VERSION must spell MAJOR.MINOR.REVISION (four digits)");
}  // namespace orvan::version_check
#endif

#endif
