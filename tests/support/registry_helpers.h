// Direct registry access for tests of the clock pairs (HKEY_LOCAL_MACHINE).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace regtest {

// Removes SOFTWARE\ZYK with everything under it.
void DeleteZykTree();

// The raw bytes of a value, "" when it cannot be read.
std::string Read(const char* key, const char* value);
DWORD Type(const char* key, const char* value);  // REG_NONE when missing
std::string Dword(DWORD v);                      // the 4 bytes of a REG_DWORD

void WriteDword(const char* key, const char* value, DWORD v);
void WriteRaw(const char* key, const char* value, DWORD type, const std::string& bytes);

// Subkey names in enumeration order (empty when the key is missing).
std::vector<std::string> Subkeys(const char* key);
bool KeyExists(const char* key);

// Makes `key` volatile, so that no lasting key can be created below it.
bool CreateVolatile(const char* key);

}  // namespace regtest
