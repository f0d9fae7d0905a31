/* The 95 family as portgate tells it apart from an NT kernel that only reports the 95
 * family: its advapi32 answers the service manager's open with ERROR_CALL_NOT_IMPLEMENTED.
 * The entry of the resolved routine is overwritten with a jump to such a stub, so every
 * module of the process gets it, whenever it was loaded or bound its imports. */
#include <windows.h>
#include <string.h>
#include "portemu.h"

static SC_HANDLE WINAPI StubOpenA(LPCSTR machine, LPCSTR database, DWORD access)
{
    (void)machine; (void)database; (void)access;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return NULL;
}

static SC_HANDLE WINAPI StubOpenW(LPCWSTR machine, LPCWSTR database, DWORD access)
{
    (void)machine; (void)database; (void)access;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return NULL;
}

typedef struct EntryPatch {
    const char *name;
    void *stub;
    unsigned char *entry;  /* null while not patched */
    unsigned char saved[12];
} EntryPatch;

static EntryPatch patches[] = {
    {"OpenSCManagerA", (void *)StubOpenA, 0, {0}},
    {"OpenSCManagerW", (void *)StubOpenW, 0, {0}},
};

#ifdef _WIN64
#define JUMP_LENGTH 12 /* mov rax, imm64; jmp rax */
#else
#define JUMP_LENGTH 5  /* jmp rel32 */
#endif

static void Write(unsigned char *at, const unsigned char *bytes)
{
    DWORD old;
    VirtualProtect(at, JUMP_LENGTH, PAGE_EXECUTE_READWRITE, &old);
    memcpy(at, bytes, JUMP_LENGTH);
    VirtualProtect(at, JUMP_LENGTH, old, &old);
    FlushInstructionCache(GetCurrentProcess(), at, JUMP_LENGTH);
}

void portemu_stub_services(int on)
{
    HMODULE advapi = LoadLibraryA("advapi32.dll"); /* stays loaded: its code is patched */
    size_t i;
    for (i = 0; i < sizeof patches / sizeof patches[0]; i++) {
        EntryPatch *p = &patches[i];
        if (on && !p->entry && advapi) {
            unsigned char jump[JUMP_LENGTH];
            unsigned char *entry = (unsigned char *)GetProcAddress(advapi, p->name);
            if (!entry)
                continue;
#ifdef _WIN64
            ULONG_PTR target = (ULONG_PTR)p->stub;
            jump[0] = 0x48;
            jump[1] = 0xB8;
            memcpy(jump + 2, &target, 8);
            jump[10] = 0xFF;
            jump[11] = 0xE0;
#else
            LONG offset = (LONG)((ULONG_PTR)p->stub - ((ULONG_PTR)entry + JUMP_LENGTH));
            jump[0] = 0xE9;
            memcpy(jump + 1, &offset, 4);
#endif
            memcpy(p->saved, entry, JUMP_LENGTH);
            Write(entry, jump);
            p->entry = entry;
        } else if (!on && p->entry) {
            Write(p->entry, p->saved);
            p->entry = 0;
        }
    }
}
