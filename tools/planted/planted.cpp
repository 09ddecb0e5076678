// planted.dll: a library the end-to-end tests put beside the console under
// the names of the system libraries it loads (oleacc.dll, comctl32.dll, ...),
// as a web page could drop one into a Downloads folder. It exports nothing;
// loaded into a process, it records so and stays loaded.
//
// The record goes to the probe's log (ORVAN_PROBE_LOG, a Windows path; see
// tools/probe/probe.cpp for the format), appended with one WriteFile:
//
//   event=loaded  pid module exe
//       module: this library's path (the name it was planted under);
//       exe: the program it was loaded into.
//
// Only kernel32 is called: the loader lock is held while this runs.
#include <windows.h>

#include <string>

#include "common/fields.h"

namespace {

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

void RecordLoad(HMODULE self) {
    char log[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA("ORVAN_PROBE_LOG", log, sizeof log);
    if (length == 0 || length >= sizeof log) return;
    const std::string line = "event=loaded\tpid=" + std::to_string(GetCurrentProcessId()) +
                             "\tmodule=" + orvan::fields::Escape(ModulePath(self)) +
                             "\texe=" + orvan::fields::Escape(ModulePath(nullptr)) + "\r\n";
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) RecordLoad(instance);
    return TRUE;
}
