// Swaps an entry of the test program's own import table, so that the code under test
// (compiled into the test program) calls a recorder instead of the system routine.
#pragma once

// Returns the address the table held before, or null when the program does not
// import 'function' from 'dll' (then nothing is changed).
void* ReplaceImport(const char* dll, const char* function, void* replacement);
// The same in the import table of a loaded library.
void* ReplaceImportIn(void* module, const char* dll, const char* function, void* replacement);

// Puts an import back for the lifetime of a scope.
class ScopedImport {
public:
    ScopedImport(const char* dll, const char* function, void* replacement)
        : m_dll(dll), m_function(function), m_original(ReplaceImport(dll, function, replacement)) {}
    ~ScopedImport() { if (m_original) ReplaceImport(m_dll, m_function, m_original); }
    ScopedImport(const ScopedImport&) = delete;
    ScopedImport& operator=(const ScopedImport&) = delete;
    void* original() const { return m_original; }

private:
    const char* m_dll;
    const char* m_function;
    void* m_original;
};
