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
#include "import_hook.h"
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
};

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
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    for (const Ace& ace : g_played.aces)
        AddAccessAllowedAceEx(acl, ACL_REVISION, ace.flags, ace.rights, ace.sid);
    SetSecurityDescriptorDacl(&absolute, TRUE, g_played.nullDacl ? nullptr : acl, FALSE);
    *needed = size;
    return MakeSelfRelativeSD(&absolute, out, needed);
}

WINBOOL WINAPI FatVolume(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD flags, LPSTR, DWORD)
{
    *flags = FS_CASE_IS_PRESERVED;  // no FS_PERSISTENT_ACLS
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
            ReplaceImportIn(gate.module, "kernel32.dll", "GetProcAddress",
                            (void*)LookupWithPlayer));
        EXPECT_NE(nullptr, g_realGetProcAddress);
        std::vector<SeenMessageBox> boxes;
        {
            MessageBoxAnswerer answerer;
            trace.Clear();
            EXPECT_EQ(1, gate.zykInitialDriver());
            boxes = answerer.Seen();
        }
        ReplaceImportIn(gate.module, "kernel32.dll", "GetProcAddress", (void*)g_realGetProcAddress);
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

TEST_F(DriverFileCheck, VolumeWithoutAccessListsIsTracedAndInstalled)
{
    GateCopy gate("gate-acl-fat");
    ScopedImport fat(gate.module, "kernel32.dll", "GetVolumeInformationA", (void*)FatVolume);
    g_played.owner = users.sid;
    g_played.aces = {{everyone.sid, GENERIC_ALL, 0}};  // would be refused if checked
    EXPECT_TRUE(Installs(gate));
    EXPECT_TRUE(Has(trace.Texts(), "DriverFile_NoAcl=<" + gate.dir + "GenPort1.sys>"));
}
