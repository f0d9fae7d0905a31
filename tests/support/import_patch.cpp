#include "import_patch.h"

#include <string.h>

namespace {

void** FindSlot(HMODULE module, const char* dll, const char* function) {
    BYTE* base = (BYTE*)module;
    auto* dos = (IMAGE_DOS_HEADER*)base;
    auto* nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return nullptr;
    for (auto* imp = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress); imp->Name; ++imp) {
        if (lstrcmpiA((const char*)(base + imp->Name), dll) != 0) continue;
        // Without the names' own table the slots still hold them until binding.
        auto* names = (IMAGE_THUNK_DATA*)(base + (imp->OriginalFirstThunk ? imp->OriginalFirstThunk
                                                                          : imp->FirstThunk));
        auto* slots = (IMAGE_THUNK_DATA*)(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, function) == 0) return (void**)&slots->u1.Function;
        }
    }
    return nullptr;
}

}  // namespace

void* ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    void** slot = FindSlot(module, dll, function);
    if (!slot) return nullptr;
    DWORD old;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
    void* previous = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof(void*), old, &old);
    return previous;
}

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement)
    : module_(module), dll_(dll), function_(function),
      original_(ReplaceImport(module, dll, function, replacement)) {}

ImportPatch::~ImportPatch() {
    if (original_) ReplaceImport(module_, dll_, function_, original_);
}
