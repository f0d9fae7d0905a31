/* Stand-ins for the few wide-character and Windows XP functions that the compiler's
 * own runtime calls (thread support and thread-local destructors in libgcc and
 * libstdc++, the C runtime's locale lookup). Windows 98 exports most W functions only
 * as stubs that fail, and NT 4.0 has no GetModuleHandleExW at all, so a file importing
 * them would not load or would not work there. Each shipped file links this object:
 * the definitions below fill the runtime's import slots, so the system's are never
 * imported, and each does the same work through functions both families have. */
#include <windows.h>

#ifdef _WIN64
#define IMPORT_SLOT(name, bytes) __asm__("__imp_" #name)
#else
#define IMPORT_SLOT(name, bytes) __asm__("__imp__" #name "@" #bytes)
#endif

#ifndef GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT
#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x1
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x2
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x4
#endif

/* A wide name in the ANSI code page; 0 when it does not fit. */
static int Narrow(LPCWSTR wide, char* narrow, int size)
{
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, size, NULL, NULL) > 0;
}

static HANDLE WINAPI ShimCreateSemaphoreW(LPSECURITY_ATTRIBUTES security, LONG initial,
                                          LONG maximum, LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (name && !Narrow(name, narrow, sizeof narrow)) {
        SetLastError(ERROR_INVALID_NAME);
        return NULL;
    }
    return CreateSemaphoreA(security, initial, maximum, name ? narrow : NULL);
}

static HMODULE WINAPI ShimGetModuleHandleW(LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (!name) return GetModuleHandleA(NULL);
    if (!Narrow(name, narrow, sizeof narrow)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return NULL;
    }
    return GetModuleHandleA(narrow);
}

static HMODULE WINAPI ShimLoadLibraryW(LPCWSTR name)
{
    char narrow[MAX_PATH];
    if (!name || !Narrow(name, narrow, sizeof narrow)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return NULL;
    }
    return LoadLibraryA(narrow);
}

/* The module that holds an address is the allocation its pages belong to. A reference
 * is taken, unless asked not to, by loading the module again by its own file name. */
static BOOL WINAPI ShimGetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module)
{
    HMODULE found;
    char path[MAX_PATH];
    if (!module) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *module = NULL;
    if (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(name, &info, sizeof info) || !info.AllocationBase) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return FALSE;
        }
        found = (HMODULE)info.AllocationBase;
        if (!GetModuleFileNameA(found, path, sizeof path)) return FALSE;
    } else {
        found = ShimGetModuleHandleW(name);
        if (!found) return FALSE;
    }
    if (!(flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) && found != GetModuleHandleA(NULL)) {
        if (!GetModuleFileNameA(found, path, sizeof path) || !LoadLibraryA(path)) return FALSE;
    }
    *module = found;
    return TRUE;
}

HANDLE (WINAPI *const slotCreateSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    IMPORT_SLOT(CreateSemaphoreW, 16) = ShimCreateSemaphoreW;
HMODULE (WINAPI *const slotGetModuleHandleW)(LPCWSTR)
    IMPORT_SLOT(GetModuleHandleW, 4) = ShimGetModuleHandleW;
HMODULE (WINAPI *const slotLoadLibraryW)(LPCWSTR)
    IMPORT_SLOT(LoadLibraryW, 4) = ShimLoadLibraryW;
BOOL (WINAPI *const slotGetModuleHandleExW)(DWORD, LPCWSTR, HMODULE*)
    IMPORT_SLOT(GetModuleHandleExW, 12) = ShimGetModuleHandleExW;
