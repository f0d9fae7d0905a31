// Who may open GenPort1: the create decision of the request layer with the system's
// own AccessCheck injected, against real tokens of this process: its administrator
// token, the same token with Administrators made deny-only (what an ordinary user and a
// "restricted user" run have in common: no Administrators to grant anything), a token
// with restricting SIDs, and SYSTEM's where some process runs as SYSTEM. Then the
// rules around the check: no context, names below the device, no file object, one
// owner at a time.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <cstdint>
#include <string>
#include <vector>

#include "open_check.h"

namespace {

// The injected check: AccessCheck of an impersonation token against the descriptor,
// with the driver's mapping; kernel mode is granted everything, as SeAccessCheck
// grants it. Records the rights and the mode asked for.
struct TokenCheck {
    std::vector<uint32_t> asked;
    std::vector<int> userModes;

    static int Run(void* ctx, const void* subject, const void* descriptor, uint32_t desired,
                   int userMode)
    {
        static_cast<TokenCheck*>(ctx)->asked.push_back(desired);
        static_cast<TokenCheck*>(ctx)->userModes.push_back(userMode);
        if (!userMode)
            return 1;
        HANDLE token = *static_cast<const HANDLE*>(subject);
        GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                                   FILE_ALL_ACCESS};
        PRIVILEGE_SET privileges;
        DWORD size = sizeof privileges, granted = 0;
        BOOL status = FALSE;
        if (!AccessCheck(const_cast<void*>(descriptor), token, desired, &mapping, &privileges,
                         &size, &granted, &status)) {
            ADD_FAILURE() << "AccessCheck failed: " << GetLastError();
            return 0;
        }
        return status && (granted & desired) == desired;
    }
};

// A token the check can take: an impersonation copy.
class Token {
public:
    explicit Token(HANDLE primary)
    {
        EXPECT_TRUE(DuplicateToken(primary, SecurityImpersonation, &handle)) << GetLastError();
        CloseHandle(primary);
    }
    ~Token() { CloseHandle(handle); }
    const void* subject() const { return &handle; }
    HANDLE handle = nullptr;
};

HANDLE ProcessToken()
{
    HANDLE token = nullptr;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token));
    return token;
}

struct WellKnown {
    explicit WellKnown(WELL_KNOWN_SID_TYPE type)
    {
        DWORD size = sizeof bytes;
        EXPECT_TRUE(CreateWellKnownSid(type, nullptr, bytes, &size));
    }
    PSID sid() { return bytes; }
    BYTE bytes[SECURITY_MAX_SID_SIZE];
};

// The administrator's token with Administrators deny-only: allow entries for
// Administrators do not apply to it.
HANDLE WithoutAdministrators()
{
    WellKnown admins(WinBuiltinAdministratorsSid);
    SID_AND_ATTRIBUTES disable = {admins.sid(), 0};
    HANDLE process = ProcessToken(), token = nullptr;
    EXPECT_TRUE(CreateRestrictedToken(process, 0, 1, &disable, 0, nullptr, 0, nullptr, &token))
        << GetLastError();
    CloseHandle(process);
    return token;
}

// A token of a process running as SYSTEM, or nullptr where none can be opened.
HANDLE SystemToken()
{
    WellKnown system(WinLocalSystemSid);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {sizeof entry};
    HANDLE found = nullptr;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        HANDLE token = nullptr;
        if (process && OpenProcessToken(process, TOKEN_QUERY | TOKEN_DUPLICATE, &token)) {
            BYTE user[256];
            DWORD size = 0;
            if (GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
                EqualSid(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, system.sid()))
                found = token;
            else
                CloseHandle(token);
        }
        if (process)
            CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

class OpenCheck : public ::testing::Test {
protected:
    void Init(int contextFree) { genport_opens_init(&opens, TokenCheck::Run, &check, contextFree); }
    void SetUp() override { Init(0); }

    GenPortStatus Open(const void* file, const Token& token, uint32_t nameBytes = 0,
                       uint32_t origin = 0)
    {
        return genport_open(&opens, file, nameBytes, token.subject(), origin);
    }

    GenPortOpens opens;
    TokenCheck check;
    int fileA = 0, fileB = 0;  // two file objects: only their addresses matter
};

TEST_F(OpenCheck, AnAdministratorOpensForReadAndWriteDataWhateverTheCreateAsked)
{
    Token admin(ProcessToken());
    opens.configAddress = 0x80010000;
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileA, admin));
    EXPECT_EQ((std::vector<uint32_t>{FILE_READ_DATA | FILE_WRITE_DATA}), check.asked);
    EXPECT_TRUE(genport_is_owner(&opens, &fileA));
    EXPECT_EQ(0u, opens.configAddress) << "a new owner starts without a configuration address";
}

// Fails if the decision let everyone in.
TEST_F(OpenCheck, ATokenWithoutAdministratorsIsRefused)
{
    Token user(WithoutAdministrators());
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(&fileA, user));
    EXPECT_EQ(1u, check.asked.size()) << "the system's check made the decision";
    EXPECT_FALSE(genport_is_owner(&opens, &fileA));
    EXPECT_EQ(nullptr, opens.owner);
    // A refused caller does not keep an administrator out afterwards.
    Token admin(ProcessToken());
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileB, admin));
}

TEST_F(OpenCheck, ATokenWithRestrictingSidsIsRefused)
{
    WellKnown everyone(WinWorldSid);
    SID_AND_ATTRIBUTES restrict = {everyone.sid(), 0};
    HANDLE process = ProcessToken(), primary = nullptr;
    ASSERT_TRUE(CreateRestrictedToken(process, 0, 0, nullptr, 0, nullptr, 1, &restrict, &primary));
    CloseHandle(process);
    if (!IsTokenRestricted(primary)) {
        CloseHandle(primary);
        GTEST_SKIP() << "this system makes no restricted tokens (Wine drops restricting SIDs)";
    }
    Token restricted(primary);
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(&fileA, restricted))
        << "Everyone, the only restricting SID, is granted nothing";
}

// A create from kernel mode is granted by the system's check, unless the kernel
// component opens on a user's behalf and says so with SL_FORCE_ACCESS_CHECK: then the
// user's own rights decide.
TEST_F(OpenCheck, AKernelCreateWithForceAccessCheckIsCheckedAsAUserModeOne)
{
    Token user(WithoutAdministrators());
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileA, user, 0, GENPORT_CREATE_FROM_KERNEL))
        << "kernel mode, no flag";
    genport_close(&opens, &fileA);
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED,
              Open(&fileB, user, 0, GENPORT_CREATE_FROM_KERNEL | GENPORT_CREATE_FORCE_CHECK));
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(&fileB, user, 0, GENPORT_CREATE_FORCE_CHECK))
        << "from user mode the flag changes nothing";
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(&fileB, user)) << "user mode";
    EXPECT_EQ((std::vector<int>{0, 1, 1, 1}), check.userModes);
    EXPECT_EQ(nullptr, opens.owner);

    Token admin(ProcessToken());
    EXPECT_EQ(GENPORT_STATUS_SUCCESS,
              Open(&fileB, admin, 0, GENPORT_CREATE_FROM_KERNEL | GENPORT_CREATE_FORCE_CHECK));
}

TEST_F(OpenCheck, SystemOpens)
{
    HANDLE primary = SystemToken();
    if (!primary)
        GTEST_SKIP() << "no process runs as SYSTEM here (Wine runs every process as the user)";
    Token system(primary);
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileA, system));
}

// The hardware driver refuses a create without security context; the simulated one
// (Wine's kernel gives none) lets it through, still one owner and no names below.
TEST_F(OpenCheck, ACreateWithoutSecurityContextIsRefusedUnlessTheBuildTrustsIt)
{
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_open(&opens, &fileA, 0, nullptr, 0));
    EXPECT_EQ(nullptr, opens.owner);

    Init(1);
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, genport_open(&opens, &fileA, 0, nullptr, 0));
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_open(&opens, &fileB, 0, nullptr, 0));
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_open(&opens, &fileB, 2, nullptr, 0));
    EXPECT_TRUE(check.asked.empty()) << "nothing to check without a subject";
}

TEST_F(OpenCheck, NamesBelowTheDeviceAndMissingFileObjectsAreRefusedEvenToAnAdministrator)
{
    Token admin(ProcessToken());
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(&fileA, admin, 2)) << "\\\\.\\GenPort1\\x";
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(nullptr, admin));
    EXPECT_EQ(nullptr, opens.owner);
    EXPECT_FALSE(genport_is_owner(&opens, nullptr)) << "a request without a file object, no owner";

    ASSERT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileA, admin));
    EXPECT_FALSE(genport_is_owner(&opens, nullptr)) << "a request without a file object, owned";
    genport_close(&opens, nullptr);
    EXPECT_TRUE(genport_is_owner(&opens, &fileA));
}

TEST_F(OpenCheck, ASecondOpenIsRefusedUntilTheOwnerCloses)
{
    Token admin(ProcessToken());
    ASSERT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileA, admin));
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Open(&fileB, admin));
    EXPECT_FALSE(genport_is_owner(&opens, &fileB));

    genport_close(&opens, &fileB);  // the refused handle's close changes nothing
    EXPECT_TRUE(genport_is_owner(&opens, &fileA));
    opens.configAddress = 0x8001002C;
    genport_close(&opens, &fileA);
    EXPECT_FALSE(genport_is_owner(&opens, &fileA));
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Open(&fileB, admin));
    EXPECT_TRUE(genport_is_owner(&opens, &fileB));
    EXPECT_EQ(0u, opens.configAddress) << "the last owner's address is not handed on";
}

// The device object's descriptor as the driver sets it at creation: the same calls in
// the same order, played here on an event, whose descriptor the system then reports.
struct EventSecurity {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::string> calls;
    GenPortStatus openStatus = GENPORT_STATUS_SUCCESS;
    bool setFails = false;
    HANDLE opened = nullptr;

    ~EventSecurity() { CloseHandle(event); }

    static EventSecurity* Of(void* ctx) { return static_cast<EventSecurity*>(ctx); }
    static GenPortStatus Open(void* ctx, void* object, void** handle)
    {
        EventSecurity* e = Of(ctx);
        e->calls.push_back("open");
        if (e->openStatus != GENPORT_STATUS_SUCCESS)
            return e->openStatus;
        EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), object, GetCurrentProcess(), &e->opened,
                                    WRITE_DAC | WRITE_OWNER, FALSE, 0));
        *handle = e->opened;
        return GENPORT_STATUS_SUCCESS;
    }
    static GenPortStatus Set(void* ctx, void* handle, uint32_t information, const void* descriptor)
    {
        EventSecurity* e = Of(ctx);
        e->calls.push_back("set");
        EXPECT_EQ(e->opened, handle);
        if (e->setFails)
            return GENPORT_STATUS_ACCESS_DENIED;
        if (!SetKernelObjectSecurity(handle, information, const_cast<void*>(descriptor)))
            return GENPORT_STATUS_INVALID_PARAMETER;
        return GENPORT_STATUS_SUCCESS;
    }
    static void Close(void* ctx, void* handle)
    {
        EventSecurity* e = Of(ctx);
        e->calls.push_back("close");
        EXPECT_EQ(e->opened, handle);
        EXPECT_TRUE(CloseHandle(handle));
    }

    GenPortSecurityCalls Calls() { return {Open, Set, Close, this}; }

    std::string Descriptor() const
    {
        BYTE buffer[512];
        DWORD needed = 0;
        char* text = nullptr;
        const SECURITY_INFORMATION parts =
            OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
        if (!GetKernelObjectSecurity(event, parts, buffer, sizeof buffer, &needed) ||
            !ConvertSecurityDescriptorToStringSecurityDescriptorA(buffer, SDDL_REVISION_1, parts,
                                                                  &text, nullptr))
            return "unreadable";
        std::string result(text);
        LocalFree(text);
        return result;
    }
};

class DeviceDescriptor : public OpenCheck {};

TEST_F(DeviceDescriptor, TheDeviceObjectGetsOwnerGroupAndDaclOfTheCreateCheck)
{
    EventSecurity e;
    const std::string before = e.Descriptor();
    const GenPortSecurityCalls calls = e.Calls();
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, genport_secure_device(&opens, &calls, e.event));
    EXPECT_EQ((std::vector<std::string>{"open", "set", "close"}), e.calls);
    EXPECT_EQ("O:BAG:SYD:(A;;FA;;;BA)(A;;FA;;;SY)", e.Descriptor()) << "before: " << before;
}

TEST_F(DeviceDescriptor, AFailedCallIsReportedAndAnOpenedHandleClosed)
{
    EventSecurity refused;
    refused.openStatus = GENPORT_STATUS_ACCESS_DENIED;
    GenPortSecurityCalls calls = refused.Calls();
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_secure_device(&opens, &calls, refused.event));
    EXPECT_EQ((std::vector<std::string>{"open"}), refused.calls) << "nothing to set or close";

    EventSecurity unset;
    unset.setFails = true;
    calls = unset.Calls();
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_secure_device(&opens, &calls, unset.event));
    EXPECT_EQ((std::vector<std::string>{"open", "set", "close"}), unset.calls);
}

}  // namespace
