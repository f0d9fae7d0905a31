#include "gdi_count.h"

#include <windows.h>
#include <winternl.h>

namespace {

// One slot of the GDI handle table: a live handle has a kernel object address.
struct GdiTableEntry {
    UINT64 object;
    USHORT processId;
    USHORT count;
    ULONG type;
    UINT64 user;
};

}  // namespace

int CountGdiObjects() {
#ifdef _WIN64
    const size_t tableOffset = 0xF8;  // PEB.GdiSharedHandleTable
#else
    const size_t tableOffset = 0x94;
#endif
    PROCESS_BASIC_INFORMATION info;
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info,
                                  nullptr) != 0)
        return -1;
    PEB* peb = info.PebBaseAddress;
    auto* table = *(GdiTableEntry**)((BYTE*)peb + tableOffset);
    if (!table) return -1;
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(table, &mbi, sizeof mbi)) return -1;
    size_t n = ((BYTE*)mbi.BaseAddress + mbi.RegionSize - (BYTE*)table) / sizeof(GdiTableEntry);
    if (n > 65536) n = 65536;
    const USHORT pid = (USHORT)GetCurrentProcessId();
    int live = 0;
    for (size_t i = 0; i < n; ++i)
        if (table[i].object && (table[i].processId == 0 || table[i].processId == pid)) ++live;
    return live;
}
