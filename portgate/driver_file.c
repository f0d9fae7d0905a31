// Before GenPort1 is installed: its file and folder must be changeable by
// administrators only. Otherwise any user who may write there gets kernel code loaded
// the next time an administrator changes clocks.
#include <string.h>
#include "gate.h"
#include "trace.h"

// Rights that let their holder change or replace the file, or put files into the
// folder (FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY share their bits with
// FILE_WRITE_DATA and FILE_APPEND_DATA).
#define CHANGE_RIGHTS (FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | \
                       WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL)

// The security functions exist only on the NT family, where this check runs; they are
// looked up then, so that nothing of them stands in the import table that the 95
// family's loader reads.
typedef struct SecurityApi {
    BOOL(WINAPI* AllocateAndInitializeSid)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD,
                                           DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, PSID*);
    BOOL(WINAPI* EqualSid)(PSID, PSID);
    PVOID(WINAPI* FreeSid)(PSID);
    BOOL(WINAPI* GetAce)(PACL, DWORD, LPVOID*);
    BOOL(WINAPI* GetAclInformation)(PACL, LPVOID, DWORD, ACL_INFORMATION_CLASS);
    BOOL(WINAPI* GetFileSecurityA)(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD,
                                   LPDWORD);
    BOOL(WINAPI* GetSecurityDescriptorDacl)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
    BOOL(WINAPI* GetSecurityDescriptorOwner)(PSECURITY_DESCRIPTOR, PSID*, LPBOOL);
    BOOL(WINAPI* GetTokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
    BOOL(WINAPI* OpenProcessToken)(HANDLE, DWORD, PHANDLE);
} SecurityApi;

static SecurityApi api;

// False when one is missing: the check then fails, as for any unreadable descriptor.
static int LoadSecurityApi(void)
{
    static const char* const names[] = {
        "AllocateAndInitializeSid", "EqualSid", "FreeSid", "GetAce", "GetAclInformation",
        "GetFileSecurityA", "GetSecurityDescriptorDacl", "GetSecurityDescriptorOwner",
        "GetTokenInformation", "OpenProcessToken"};
    FARPROC* slots = (FARPROC*)&api;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    size_t i;
    for (i = 0; i < sizeof names / sizeof names[0]; i++) {
        slots[i] = advapi ? GetProcAddress(advapi, names[i]) : NULL;
        if (!slots[i]) return 0;
    }
    return 1;
}

typedef struct Trustees {
    PSID administrators;
    PSID system;
    PSID user;  // the administrator running the program
    BYTE userBuffer[256];
} Trustees;

static int FindTrustees(Trustees* t)
{
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    HANDLE token;
    DWORD size;
    t->administrators = t->system = t->user = NULL;
    if (!api.AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                      DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                      &t->administrators) ||
        !api.AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0,
                                      &t->system))
        return 0;
    if (!api.OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
    if (api.GetTokenInformation(token, TokenUser, t->userBuffer, sizeof t->userBuffer, &size))
        t->user = ((TOKEN_USER*)t->userBuffer)->User.Sid;
    CloseHandle(token);
    return t->user != NULL;
}

static void FreeTrustees(Trustees* t)
{
    if (t->administrators) api.FreeSid(t->administrators);
    if (t->system) api.FreeSid(t->system);
}

static int Trusted(const Trustees* t, PSID sid)
{
    return api.EqualSid(sid, t->administrators) || api.EqualSid(sid, t->system) ||
           api.EqualSid(sid, t->user);
}

static int DaclTrustsOnly(const Trustees* t, PACL dacl)
{
    ACL_SIZE_INFORMATION size;
    DWORD i;
    if (!api.GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return 0;
    for (i = 0; i < size.AceCount; i++) {
        ACE_HEADER* ace;
        if (!api.GetAce(dacl, i, (void**)&ace)) return 0;
        // Inherit-only entries are for objects made later (CREATOR OWNER and such).
        if (ace->AceFlags & INHERIT_ONLY_ACE) continue;
        if (ace->AceType == ACCESS_DENIED_ACE_TYPE) continue;
        // Compound, object and callback entries may grant too; their layouts are not
        // read here, so any of them fails the check.
        if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE) return 0;
        ACCESS_ALLOWED_ACE* allowed = (ACCESS_ALLOWED_ACE*)ace;
        if ((allowed->Mask & CHANGE_RIGHTS) && !Trusted(t, (PSID)&allowed->SidStart))
            return 0;
    }
    return 1;
}

static int OnlyTrusteesMayChange(const Trustees* t, const char* path)
{
    static union {
        SECURITY_DESCRIPTOR header;
        BYTE bytes[4096];  // a descriptor larger than this is not trusted
    } sd;
    DWORD needed;
    PSID owner = NULL;
    PACL dacl = NULL;
    BOOL present = FALSE, defaulted;
    return api.GetFileSecurityA(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            &sd, sizeof sd, &needed) &&
           api.GetSecurityDescriptorOwner(&sd, &owner, &defaulted) && owner &&
           Trusted(t, owner) &&
           api.GetSecurityDescriptorDacl(&sd, &present, &dacl, &defaulted) &&
           present && dacl &&  // no DACL at all lets everyone do everything
           DaclTrustsOnly(t, dacl);
}

// "X:\" or "\\server\share\" of an absolute path; 0 when it has neither form.
static int VolumeRoot(const char* path, char* root, size_t size)
{
    size_t length = 0;
    if (path[0] && path[1] == ':' && path[2] == '\\') {
        length = 3;
    } else if (path[0] == '\\' && path[1] == '\\') {
        const char* share = strchr(path + 2, '\\');
        const char* end = share ? strchr(share + 1, '\\') : NULL;
        if (end) length = (size_t)(end - path) + 1;
    }
    if (length == 0 || length >= size) return 0;
    memcpy(root, path, length);
    root[length] = '\0';
    return 1;
}

static int VolumeKeepsAcls(const char* path)
{
    char root[MAX_PATH];
    DWORD flags = 0;
    if (!VolumeRoot(path, root, sizeof root) ||
        !GetVolumeInformationA(root, NULL, 0, NULL, NULL, &flags, NULL, 0))
        return 1;  // unknown: the check runs and decides
    return (flags & FS_PERSISTENT_ACLS) != 0;
}

// The volume of the Windows directory, asked through its system folder (Terminal
// Server gives each user a Windows directory of their own).
static int SystemVolumeKeepsAcls(void)
{
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) return 1;
    return VolumeKeepsAcls(system);
}

int CheckDriverFile(const char* driverPath, HANDLE* held)
{
    // Held from here until the service has started, so that the file checked is the
    // file loaded.
    *held = CreateFileA(driverPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                        NULL);
    if (*held == INVALID_HANDLE_VALUE) {
        // A missing file is left to the service start, which reports it; one that is
        // being written or deleted is not installed.
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 1;
        TraceMessage("DriverFile_Busy=<%s>", driverPath);
        return 0;
    }
    if (!VolumeKeepsAcls(driverPath)) {
        TraceMessage("DriverFile_NoAcl=<%s>", driverPath);
        // Without ACLs anyone may replace the file. That crosses no boundary only where
        // the system's own volume has none either.
        if (!SystemVolumeKeepsAcls()) return 1;
        TraceMessage("DriverFile_Unsafe=<%s>", driverPath);
        CloseHandle(*held);
        *held = INVALID_HANDLE_VALUE;
        return 0;
    }

    char folder[MAX_PATH];
    lstrcpynA(folder, driverPath, sizeof folder);
    char* slash = strrchr(folder, '\\');
    if (slash) slash[slash == folder + 2 && folder[1] == ':' ? 1 : 0] = '\0';

    Trustees t;
    int ok = 0;
    if (LoadSecurityApi()) {
        ok = FindTrustees(&t) && OnlyTrusteesMayChange(&t, driverPath) &&
             (!slash || OnlyTrusteesMayChange(&t, folder));
        FreeTrustees(&t);
    }
    if (!ok) {
        TraceMessage("DriverFile_Unsafe=<%s>", driverPath);
        CloseHandle(*held);
        *held = INVALID_HANDLE_VALUE;
    }
    return ok;
}
