#include "windows98.h"

#include <string.h>
#include <windows.h>

#include <string>

int RestartAsWindows98() {
    if (GetVersion() >= 0x80000000u) return -1;
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const char* name = strrchr(exe, '\\') + 1;
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + name;
    HKEY k;
    RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &k);
    RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    RegCloseKey(k);

    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, GetCommandLineA(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return 2;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    return static_cast<int>(code);
}
