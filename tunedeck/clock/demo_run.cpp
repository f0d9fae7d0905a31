#include "demo_run.h"

#include <stdio.h>
#include <string.h>

bool DemoCommandLine(const char* modulePath, char* out, size_t size) {
    const char* slash = strrchr(modulePath, '\\');
    if (!slash || size == 0) return false;
    int dirLength = static_cast<int>(slash - modulePath);
    int n = snprintf(out, size, "\"%.*s\\" DEMO_PROGRAM_NAME "\"", dirLength, modulePath);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool RunDemoProgram(const char* commandLine, DWORD waitMs) {
    char buffer[MAX_PATH + 2];  // CreateProcessA may write into the command line
    if (strlen(commandLine) >= sizeof(buffer)) return false;
    strcpy(buffer, commandLine);

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESIZE | STARTF_USEPOSITION;
    startup.dwX = 0;
    startup.dwY = 0;
    startup.dwXSize = GetSystemMetrics(SM_CXSCREEN) / 2;
    startup.dwYSize = GetSystemMetrics(SM_CYSCREEN) / 2;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process))
        return false;

    WaitForSingleObject(process.hProcess, waitMs);
    // Also when it has ended by itself: terminating an ended process does no harm.
    TerminateProcess(process.hProcess, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool OwnDemoCommandLine(char* out, size_t size) {
    char modulePath[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, modulePath, sizeof(modulePath));
    if (n == 0 || n >= sizeof(modulePath)) return false;
    return DemoCommandLine(modulePath, out, size);
}
