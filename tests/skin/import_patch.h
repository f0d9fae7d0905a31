// Replaces one imported function of the test program itself, by rewriting its slot in
// the program's import table, for the lifetime of the object. The code under test is
// linked statically into the program, so its calls go through that table.
#pragma once
#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return slot_ != nullptr; }
    // The function the slot held before (call it to pass through).
    template <typename F> F Original() const { return (F)original_; }

private:
    void Write(void* value);
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
