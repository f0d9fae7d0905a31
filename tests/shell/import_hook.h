// Swaps an entry of the test program's own import table, so that the code under test
// (compiled into the test program) calls a recorder instead of the system routine.
#pragma once
#include <windows.h>

// Returns the address the table held before, or null when the program does not
// import 'function' from 'dll' (then nothing is changed).
void* ReplaceImport(const char* dll, const char* function, void* replacement);
// The same in the import table of another loaded module (a library under test).
void* ReplaceImportIn(HMODULE module, const char* dll, const char* function, void* replacement);

// Puts an import back for the lifetime of a scope.
class ScopedImport {
public:
    ScopedImport(const char* dll, const char* function, void* replacement)
        : ScopedImport(GetModuleHandleA(nullptr), dll, function, replacement) {}
    ScopedImport(HMODULE module, const char* dll, const char* function, void* replacement)
        : m_module(module), m_dll(dll), m_function(function),
          m_original(ReplaceImportIn(module, dll, function, replacement)) {}
    ~ScopedImport() { if (m_original) ReplaceImportIn(m_module, m_dll, m_function, m_original); }
    ScopedImport(const ScopedImport&) = delete;
    ScopedImport& operator=(const ScopedImport&) = delete;
    void* original() const { return m_original; }

private:
    HMODULE m_module;
    const char* m_dll;
    const char* m_function;
    void* m_original;
};
