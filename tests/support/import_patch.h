// Replaces one imported function of a loaded module (the test program itself, or a
// library under test) by rewriting its slot in the module's import table. Code that
// the module links statically calls through that table, so it meets the replacement.
#pragma once
#include <windows.h>

// Writes `replacement` into the slot and returns what the slot held, or null when
// `module` does not import `function` from `dll` (then nothing is changed).
void* ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement);

// The same for the lifetime of the object; the slot gets its old value back after.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
        : ImportPatch(GetModuleHandleA(nullptr), dll, function, replacement) {}
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return original_ != nullptr; }
    // The function the slot held before (call it to pass through).
    template <typename F> F Original() const { return (F)original_; }

private:
    HMODULE module_;
    const char* dll_;
    const char* function_;
    void* original_;
};
