// Who may open GenPort1: the create decision of the request layer with the system's
// own AccessCheck injected, against real tokens of this process: its administrator
// token, the same token with Administrators made deny-only (what an ordinary user and a
// "restricted user" run have in common: no Administrators to grant anything), a token
// with restricting SIDs, and SYSTEM's where some process runs as SYSTEM. Then the
// rules around the check: no context, names below the device, no file object, one
// owner at a time.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <vector>

#include "open_check.h"

namespace {

// The injected check: AccessCheck of an impersonation token against the descriptor,
// with the driver's mapping. Records the rights asked for.
struct TokenCheck {
    std::vector<uint32_t> asked;

    static int Run(void* ctx, const void* subject, const void* descriptor, uint32_t desired)
    {
        static_cast<TokenCheck*>(ctx)->asked.push_back(desired);
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
// Administrators no longer apply.
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

    GenPortStatus Open(const void* file, const Token& token, uint32_t nameBytes = 0)
    {
        return genport_open(&opens, file, nameBytes, token.subject());
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
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_open(&opens, &fileA, 0, nullptr));
    EXPECT_EQ(nullptr, opens.owner);

    Init(1);
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, genport_open(&opens, &fileA, 0, nullptr));
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_open(&opens, &fileB, 0, nullptr));
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, genport_open(&opens, &fileB, 2, nullptr));
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

}  // namespace
