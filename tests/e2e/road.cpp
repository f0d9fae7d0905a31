#include "road.h"

#include <gtest/gtest.h>

#include "e2esupport.h"

namespace e2e {

namespace {

std::string s_road;

std::string AppDefaultsKey(const std::string& exe) {
    size_t slash = exe.find_last_of("\\/");
    return "Software\\Wine\\AppDefaults\\" + exe.substr(slash == std::string::npos ? 0 : slash + 1);
}

void SetVersion(const std::string& exe, const std::string& version) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, AppDefaultsKey(exe).c_str(), &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    RegCloseKey(key);
}

// Loads the emulator DLL into the suspended process: a thread of its own calling
// LoadLibraryA (kernel32 sits at the same address in every process of the prefix).
bool LoadEmulatorInto(HANDLE process) {
    std::string dll = BinDirectory() + "\\portemu_inject.dll";
    void* remote = VirtualAllocEx(process, nullptr, dll.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process, remote, dll.c_str(), dll.size() + 1, nullptr)) return false;
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA"));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    if (!thread) return false;
    DWORD module = 0;
    bool loaded = WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0 &&
                  GetExitCodeThread(thread, &module) && module != 0;
    CloseHandle(thread);
    return loaded;
}

}  // namespace

void SetRoad(const std::string& version) { s_road = version; }
const std::string& Road() { return s_road; }
bool DirectRoad() { return s_road == "win98"; }

bool StartOnRoad(const std::string& exe, std::string commandLine, const std::string& directory,
                 PROCESS_INFORMATION* pi) {
    if (s_road.empty())
        ForgetRoad(exe);  // a run that ended early must not leave its version behind
    else
        SetVersion(exe, s_road);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    DWORD flags = DirectRoad() ? CREATE_SUSPENDED : 0;
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr,
                        directory.c_str(), &si, pi)) {
        ADD_FAILURE() << "cannot start " << exe << " (error " << GetLastError() << ")";
        return false;
    }
    if (DirectRoad()) {
        if (!LoadEmulatorInto(pi->hProcess)) {
            ADD_FAILURE() << "the port emulator could not be loaded into " << exe;
            TerminateProcess(pi->hProcess, 3);
        }
        ResumeThread(pi->hThread);
    }
    return true;
}

void ForgetRoad(const std::string& exe) {
    std::string key = AppDefaultsKey(exe);
    HKEY k;
    if (RegOpenKeyA(HKEY_CURRENT_USER, key.c_str(), &k) != ERROR_SUCCESS) return;
    RegDeleteValueA(k, "Version");
    RegCloseKey(k);
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());  // only when nothing else is left in it
}

}  // namespace e2e
