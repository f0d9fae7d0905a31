// portgate installs GenPort1.sys only when no one but administrators may change it or
// its folder. Wine gives the build's files the running user as owner, full rights to
// that user and read rights to Everyone, which passes; other descriptors are played
// through the GetFileSecurityA the library looks up.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <algorithm>
#include "debug_output.h"
#include "gate_copy.h"
#include "import_patch.h"
#include "message_box.h"
#include "services.h"
#include "simscenario.h"

namespace {

using Lines = std::vector<std::string>;

bool Has(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct Sid {
    explicit Sid(const char* text) { ConvertStringSidToSidA(text, &sid); }
    Sid() = default;
    ~Sid() { if (sid && owned) LocalFree(sid); }
    PSID sid = nullptr;
    bool owned = true;
};

// The running user's SID.
PSID RunningUser()
{
    static BYTE buffer[256];
    HANDLE token;
    DWORD size;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    return reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
}

struct Ace {
    PSID sid;
    DWORD rights;
    DWORD flags;  // inheritance flags
    BYTE type = ACCESS_ALLOWED_ACE_TYPE;
};

// An entry of any type, written byte by byte: header, mask, what the type puts before
// its SID (an object entry's flags, a compound entry's kind and its server SID), the SID.
void AddRawAce(PACL acl, const Ace& ace)
{
    std::vector<BYTE> before;
    if (ace.type == ACCESS_ALLOWED_OBJECT_ACE_TYPE) {
        before.assign(4, 0);  // no object types
    } else if (ace.type == ACCESS_ALLOWED_COMPOUND_ACE_TYPE) {
        before = {1, 0, 0, 0};  // COMPOUND_ACE_IMPERSONATION, then a reserved word
        const BYTE* server = static_cast<const BYTE*>(ace.sid);
        before.insert(before.end(), server, server + GetLengthSid(ace.sid));
    }
    const DWORD sidBytes = GetLengthSid(ace.sid);
    std::vector<BYTE> bytes(8);
    bytes[0] = ace.type;
    bytes[1] = BYTE(ace.flags);
    const WORD size = WORD(8 + before.size() + sidBytes);
    memcpy(&bytes[2], &size, 2);
    memcpy(&bytes[4], &ace.rights, 4);
    bytes.insert(bytes.end(), before.begin(), before.end());
    const BYTE* sid = static_cast<const BYTE*>(ace.sid);
    bytes.insert(bytes.end(), sid, sid + sidBytes);
    EXPECT_TRUE(AddAce(acl, ACL_REVISION_DS, MAXDWORD, bytes.data(), size)) << GetLastError();
}

// The descriptor the hook answers with, and for which paths.
struct Played {
    PSID owner = nullptr;
    bool nullDacl = false;
    std::vector<Ace> aces;
    bool folderOnly = false;  // the file itself keeps its real descriptor
};
Played g_played;
WINBOOL(WINAPI* g_realGetFileSecurity)(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD, LPDWORD);

WINBOOL WINAPI PlayedGetFileSecurity(LPCSTR path, SECURITY_INFORMATION info,
                                     PSECURITY_DESCRIPTOR out, DWORD size, LPDWORD needed)
{
    std::string p(path);
    bool isFile = p.size() > 4 && _stricmp(p.c_str() + p.size() - 4, ".sys") == 0;
    if (g_played.folderOnly && isFile) return g_realGetFileSecurity(path, info, out, size, needed);

    SECURITY_DESCRIPTOR absolute;
    InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorOwner(&absolute, g_played.owner, FALSE);
    alignas(8) BYTE aclBuffer[1024];
    auto* acl = reinterpret_cast<PACL>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION_DS);
    for (const Ace& ace : g_played.aces) {
        if (ace.type == ACCESS_ALLOWED_ACE_TYPE)
            AddAccessAllowedAceEx(acl, ACL_REVISION_DS, ace.flags, ace.rights, ace.sid);
        else
            AddRawAce(acl, ace);
    }
    SetSecurityDescriptorDacl(&absolute, TRUE, g_played.nullDacl ? nullptr : acl, FALSE);
    *needed = size;
    return MakeSelfRelativeSD(&absolute, out, needed);
}

// The volumes as the library asks for them: the system folder's root (played as D:\)
// keeps ACLs or not, every other volume has none (FAT).
bool g_systemNtfs = false;

UINT WINAPI PlayedSystemDirectory(LPSTR buffer, UINT size)
{
    const char system[] = "D:\\WINNT\\system32";
    if (size < sizeof system) return sizeof system;
    memcpy(buffer, system, sizeof system);
    return sizeof system - 1;
}

WINBOOL WINAPI PlayedVolume(LPCSTR root, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD flags, LPSTR,
                            DWORD)
{
    *flags = FS_CASE_IS_PRESERVED;
    if (g_systemNtfs && _stricmp(root, "D:\\") == 0) *flags |= FS_PERSISTENT_ACLS;
    return TRUE;
}

FARPROC(WINAPI* g_realGetProcAddress)(HMODULE, LPCSTR);

FARPROC WINAPI LookupWithPlayer(HMODULE module, LPCSTR name)
{
    if (HIWORD(name) && strcmp(name, "GetFileSecurityA") == 0)
        return reinterpret_cast<FARPROC>(PlayedGetFileSecurity);
    return g_realGetProcAddress(module, name);
}

class DriverFileCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveGenPort();
        sim::DefaultScenario();
        g_played = Played();
    }
    void TearDown() override { RemoveGenPort(); }

    // One opening with the played descriptor; true when the driver was installed.
    bool Installs(GateCopy& gate)
    {
        // The library looks the function up when it checks (it is no import: the 95
        // family has no use for it), so the lookup is what answers with the player.
        g_realGetFileSecurity = reinterpret_cast<decltype(g_realGetFileSecurity)>(
            GetProcAddress(GetModuleHandleA("advapi32.dll"), "GetFileSecurityA"));
        g_realGetProcAddress = reinterpret_cast<decltype(g_realGetProcAddress)>(
            ReplaceImport(gate.module, "kernel32.dll", "GetProcAddress",
                            (void*)LookupWithPlayer));
        EXPECT_NE(nullptr, g_realGetProcAddress);
        std::vector<SeenMessageBox> boxes;
        {
            MessageBoxAnswerer answerer;
            trace.Clear();
            EXPECT_EQ(1, gate.zykInitialDriver());
            boxes = answerer.Seen();
        }
        ReplaceImport(gate.module, "kernel32.dll", "GetProcAddress", (void*)g_realGetProcAddress);
        EXPECT_TRUE(boxes.empty()) << "the program tells the user, once";
        bool installed = Has(trace.Texts(), "DLL_InstallDriver=<GenPort1>");
        EXPECT_EQ(installed, GenPortServiceState() == ServiceState::Running);
        EXPECT_EQ(installed ? 0 : 2, gate.zykDriverRefusal());
        EXPECT_EQ(!installed, Has(trace.Texts(), "DriverFile_Unsafe=<" + gate.dir + "GenPort1.sys>"));
        gate.zykCloseDriver();
        return installed;
    }
    DebugOutputCapture trace;
    Sid admins{"S-1-5-32-544"}, system{"S-1-5-18"}, users{"S-1-5-32-545"},
        everyone{"S-1-1-0"}, creatorOwner{"S-1-3-0"};
};

const DWORD kRead = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;

}  // namespace

TEST_F(DriverFileCheck, WhatWineAnswersForItsOwnFilesPasses)
{
    GateCopy gate("gate-acl-wine");
    trace.Clear();
    EXPECT_EQ(1, gate.zykInitialDriver());
    EXPECT_TRUE(Has(trace.Texts(), "DLL_InstallDriver=<GenPort1>"));
    EXPECT_EQ(0, gate.zykDriverRefusal());
    EXPECT_EQ(1, gate.zykCloseDriver());
}

TEST_F(DriverFileCheck, AdministratorsSystemAndTheRunningAdministratorMayChangeIt)
{
    GateCopy gate("gate-acl-xp");
    // As XP leaves a file an administrator unzipped, with an inherited CREATOR OWNER
    // entry that applies to later objects only.
    g_played.owner = RunningUser();
    g_played.aces = {{admins.sid, GENERIC_ALL, 0},
                     {system.sid, FILE_ALL_ACCESS, 0},
                     {RunningUser(), FILE_ALL_ACCESS, 0},
                     {users.sid, kRead, 0},
                     {creatorOwner.sid, GENERIC_ALL, INHERIT_ONLY_ACE | OBJECT_INHERIT_ACE}};
    EXPECT_TRUE(Installs(gate));
    g_played.owner = admins.sid;
    EXPECT_TRUE(Installs(gate));
}

TEST_F(DriverFileCheck, AnyoneElseWhoMayChangeItStopsTheInstallation)
{
    GateCopy gate("gate-acl-users");
    struct Case {
        const char* what;
        DWORD rights;
    } cases[] = {{"write", FILE_WRITE_DATA},        {"append", FILE_APPEND_DATA},
                 {"delete", DELETE},                {"change rights", WRITE_DAC},
                 {"take ownership", WRITE_OWNER},   {"generic write", GENERIC_WRITE},
                 {"full control", GENERIC_ALL},     {"delete child", FILE_DELETE_CHILD}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_played = Played();
        g_played.owner = admins.sid;
        g_played.aces = {{admins.sid, GENERIC_ALL, 0}, {users.sid, kRead | c.rights, 0}};
        EXPECT_FALSE(Installs(gate));
    }
    EXPECT_EQ(ServiceState::Missing, GenPortServiceState());
}

TEST_F(DriverFileCheck, WrongOwnerNoDaclOrAnUnsafeFolderStopTheInstallationToo)
{
    GateCopy gate("gate-acl-owner");
    g_played.owner = users.sid;  // an owner may always change the rights
    g_played.aces = {{admins.sid, GENERIC_ALL, 0}};
    EXPECT_FALSE(Installs(gate));

    g_played.owner = admins.sid;
    g_played.nullDacl = true;  // no DACL: everyone may do everything
    EXPECT_FALSE(Installs(gate));

    // NT 4.0 gives a new folder Everyone: Full Control.
    g_played = Played();
    g_played.owner = admins.sid;
    g_played.aces = {{everyone.sid, GENERIC_ALL, 0}};
    g_played.folderOnly = true;
    EXPECT_FALSE(Installs(gate));
}

// Entries that may grant in ways the check does not read fail it; deny entries and
// entries for later objects only are let be.
TEST_F(DriverFileCheck, EntriesOfOtherTypesStopTheInstallationUnlessInheritOnly)
{
    GateCopy gate("gate-acl-types");
    struct Case {
        const char* what;
        Ace ace;
        bool installs;
    } cases[] = {
        {"object entry granting write", {users.sid, kRead | FILE_WRITE_DATA, 0, ACCESS_ALLOWED_OBJECT_ACE_TYPE}, false},
        {"object entry granting read only", {users.sid, kRead, 0, ACCESS_ALLOWED_OBJECT_ACE_TYPE}, false},
        {"compound entry (NT 4.0)", {users.sid, GENERIC_ALL, 0, ACCESS_ALLOWED_COMPOUND_ACE_TYPE}, false},
        {"callback entry", {everyone.sid, kRead, 0, ACCESS_ALLOWED_CALLBACK_ACE_TYPE}, false},
        {"deny entry", {users.sid, FILE_WRITE_DATA | DELETE, 0, ACCESS_DENIED_ACE_TYPE}, true},
        {"inherit-only object entry", {users.sid, GENERIC_ALL, INHERIT_ONLY_ACE | OBJECT_INHERIT_ACE,
                                       ACCESS_ALLOWED_OBJECT_ACE_TYPE}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_played = Played();
        g_played.owner = admins.sid;
        g_played.aces = {{admins.sid, GENERIC_ALL, 0}, c.ace, {system.sid, FILE_ALL_ACCESS, 0}};
        EXPECT_EQ(c.installs, Installs(gate));
    }
}

// Without ACLs on the program's volume anyone may replace the file: installed only where
// the system's volume has none either, so that no boundary is crossed.
TEST_F(DriverFileCheck, VolumeWithoutAccessListsInstallsOnlyWhereTheSystemsHasNoneEither)
{
    GateCopy gate("gate-acl-fat");
    ImportPatch volume(gate.module, "kernel32.dll", "GetVolumeInformationA", (void*)PlayedVolume);
    ImportPatch system(gate.module, "kernel32.dll", "GetSystemDirectoryA",
                        (void*)PlayedSystemDirectory);
    ASSERT_TRUE(system.Active()) << "the library asks for the system folder";
    g_played.owner = users.sid;
    g_played.aces = {{everyone.sid, GENERIC_ALL, 0}};  // would be refused if checked
    const std::string noAcl = "DriverFile_NoAcl=<" + gate.dir + "GenPort1.sys>";

    g_systemNtfs = false;
    EXPECT_TRUE(Installs(gate)) << "both volumes without ACLs";
    EXPECT_TRUE(Has(trace.Texts(), noAcl));

    g_systemNtfs = true;
    EXPECT_FALSE(Installs(gate)) << "a FAT folder on a machine whose system volume is NTFS";
    EXPECT_TRUE(Has(trace.Texts(), noAcl));
    EXPECT_EQ(ServiceState::Missing, GenPortServiceState());
}
