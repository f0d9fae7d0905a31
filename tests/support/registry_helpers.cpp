#include "registry_helpers.h"

namespace regtest {
namespace {

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[300];
    for (;;) {
        DWORD size = sizeof(child);
        if (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteTree(key, child);
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

}  // namespace

void DeleteZykTree() { DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZYK"); }

std::string Read(const char* key, const char* value) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return "";
    char data[256];
    DWORD size = sizeof(data);
    LONG r = RegQueryValueExA(k, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS ? std::string(data, size) : "";
}

DWORD Type(const char* key, const char* value) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(k, value, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = REG_NONE;
    RegCloseKey(k);
    return type;
}

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), sizeof(v)); }

void WriteRaw(const char* key, const char* value, DWORD type, const std::string& bytes) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(k, value, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(k);
}

void WriteDword(const char* key, const char* value, DWORD v) { WriteRaw(key, value, REG_DWORD, Dword(v)); }

std::vector<std::string> Subkeys(const char* key) {
    std::vector<std::string> names;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return names;
    char name[300];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(k, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(k);
    return names;
}

bool KeyExists(const char* key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool CreateVolatile(const char* key) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

}  // namespace regtest
