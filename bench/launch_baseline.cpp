// The launch baseline: the least a Windows program can do to start the probe,
// one CreateProcessA with the arguments the console gives a user task that
// names a program (the file as application, its path in quotes as command
// line, its folder as current directory, show code 1), made when a line
// arrives on its input, so that its own start-up is over by then, as the
// console's is when it is clicked. Prints the system time just before the
// call, as a FILETIME in decimal: before=TICKS; then waits for its input to
// close, so that its exit does not compete with the probe's start.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/precise_clock.h"

using orvan::clock::Now;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: launch_baseline PROGRAM\n", stderr);
        return 2;
    }
    const std::string program = argv[1];
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    const std::string quoted = "\"" + program + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    int c;
    while ((c = std::getchar()) != EOF && c != '\n') {
    }
    const unsigned long long before = Now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        std::fprintf(stderr, "CreateProcessA failed: %lu\n", GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::fputs(("before=" + std::to_string(before) + "\n").c_str(), stdout);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
