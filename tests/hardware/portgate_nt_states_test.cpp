// portgate on the NT family as real machines run it: a service another program still
// holds, one that will not stop, a foreign registration, a limited user, a version
// faked by a compatibility layer, a driver file others may change, and a name planted
// by someone else. What Wine cannot produce is played through the library's imports.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <thread>
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

unsigned long ConfigAddress(int bus, int device, int reg)
{
    return 0x80000000ul | bus << 16 | device << 11 | reg;
}

// True when a configuration read through the copy reaches the simulated card.
bool ReachesCard(const GateCopy& gate)
{
    sim::ClearAccessLog();
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    return gate.winpd(0xCFC) == 0x52461002ul && sim::AccessLog().size() == 2;
}

class PortgateNtStates : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveGenPort();
        sim::DefaultScenario();
    }
    void TearDown() override { RemoveGenPort(); }
    DebugOutputCapture trace;
};

// What the hooks below answer; one test at a time uses them.
DWORD g_deniedCall;  // which hooked call answers access denied
WINBOOL(WINAPI* g_realStart)(SC_HANDLE, DWORD, LPCSTR*);
std::string g_heldFile;
DWORD g_writeOpenError, g_deleteError;

SC_HANDLE WINAPI LimitedOpenSCManager(LPCSTR machine, LPCSTR database, DWORD access)
{
    // A limited user may connect, but not create services.
    if (access & ~SC_MANAGER_CONNECT) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return OpenSCManagerA(machine, database, access);
}

SC_HANDLE WINAPI DeniedCreateService(SC_HANDLE, LPCSTR, LPCSTR, DWORD, DWORD, DWORD, DWORD,
                                     LPCSTR, LPCSTR, LPDWORD, LPCSTR, LPCSTR, LPCSTR)
{
    SetLastError(g_deniedCall);
    return nullptr;
}

WINBOOL WINAPI DeniedStartService(SC_HANDLE, DWORD, LPCSTR*)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

WINBOOL WINAPI StopRefused(SC_HANDLE, DWORD, LPSERVICE_STATUS)
{
    SetLastError(ERROR_INVALID_SERVICE_CONTROL);  // a driver without an unload routine
    return FALSE;
}

DWORD WINAPI NinetyEightVersion()
{
    return 0xC0000A04;  // 4.10, top bit set: what a "Windows 98" layer reports
}

// Tries to change the driver file while the service starts.
WINBOOL WINAPI StartWhileTryingToSwap(SC_HANDLE service, DWORD count, LPCSTR* args)
{
    HANDLE f = CreateFileA(g_heldFile.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    g_writeOpenError = f == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    g_deleteError = DeleteFileA(g_heldFile.c_str()) ? 0 : GetLastError();
    return g_realStart(service, count, args);
}

// A second handle (a console, a monitoring tool) on the service of one full bracket of
// `gate`: the bracket's deleted service keeps its name until Release or the end.
class HeldAcrossAClose {
public:
    explicit HeldAcrossAClose(GateCopy& gate)
    {
        EXPECT_EQ(1, gate.zykInitialDriver());
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        held_ = OpenServiceA(manager_, "GenPort1", SERVICE_QUERY_STATUS);
        EXPECT_EQ(1, gate.zykCloseDriver());
    }
    ~HeldAcrossAClose()
    {
        Release();
        CloseServiceHandle(manager_);
    }
    bool Holds() const { return held_ != nullptr; }
    void Release()
    {
        if (held_) CloseServiceHandle(held_);
        held_ = nullptr;
    }

private:
    SC_HANDLE manager_ = nullptr, held_ = nullptr;
};

}  // namespace

TEST_F(PortgateNtStates, ServiceMarkedForDeletionIsWaitedForAndTheBracketGoesOn)
{
    GateCopy gate("gate-marked");
    HeldAcrossAClose held(gate);
    ASSERT_TRUE(held.Holds());

    std::thread release([&] {
        Sleep(1500);
        held.Release();
    });
    std::vector<SeenMessageBox> boxes;
    {
        MessageBoxAnswerer answerer;
        trace.Clear();
        EXPECT_EQ(1, gate.zykInitialDriver());
        boxes = answerer.Seen();
    }
    release.join();
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_TRUE(Has(trace.Texts(), "CreateService_MarkedForDelete"));
    EXPECT_TRUE(Has(trace.Texts(), "DLL_OpenDevice=<GenPort1>"));
    EXPECT_TRUE(ReachesCard(gate));
    EXPECT_EQ(1, gate.zykCloseDriver());
}

TEST_F(PortgateNtStates, ServiceHeldBeyondTheWaitLeavesAccessClosedAndCountsTheLoss)
{
    GateCopy gate("gate-marked-long");
    HeldAcrossAClose held(gate);
    ASSERT_TRUE(held.Holds());

    std::vector<SeenMessageBox> boxes;
    {
        MessageBoxAnswerer answerer;
        DWORD start = GetTickCount();
        EXPECT_EQ(1, gate.zykInitialDriver());
        EXPECT_LT(GetTickCount() - start, 15000u) << "the wait is bounded";
        boxes = answerer.Seen();
    }
    unsigned long lost = gate.zykLostAccesses();
    EXPECT_FALSE(ReachesCard(gate));
    EXPECT_EQ(lost + 2, gate.zykLostAccesses()) << "the caller can tell the card was missed";
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("failure: CreateService", boxes[0].text);
}

TEST_F(PortgateNtStates, FailedStopIsFollowedByAReversionThatReachesTheCard)
{
    GateCopy gate("gate-stop");
    ASSERT_EQ(1, gate.zykInitialDriver());
    {
        ImportPatch stop(gate.module, "advapi32.dll", "ControlService", (void*)StopRefused);
        EXPECT_EQ(0, gate.zykCloseDriver());
        // The service still runs our driver and will not stop: the next bracket takes
        // it over instead of going without port access.
        trace.Clear();
        EXPECT_EQ(1, gate.zykInitialDriver());
        EXPECT_TRUE(Has(trace.Texts(), "OpenService"));
        EXPECT_TRUE(ReachesCard(gate));
        EXPECT_EQ(0, gate.zykCloseDriver());
    }
    // Once it can be stopped, a bracket removes and installs it afresh.
    EXPECT_EQ(1, gate.zykInitialDriver());
    EXPECT_TRUE(ReachesCard(gate));
    EXPECT_EQ(1, gate.zykCloseDriver());
    EXPECT_EQ(ServiceState::Missing, GenPortServiceState());
}

TEST_F(PortgateNtStates, ForeignServiceThatWillNotStopIsNeverStarted)
{
    GateCopy other("gate-foreign-other");
    GateCopy gate("gate-foreign");
    RegisterStoppedGenPort(other.dir + "GenPort1.sys");
    ASSERT_EQ(0ul, StartGenPort());
    ImportPatch stop(gate.module, "advapi32.dll", "ControlService", (void*)StopRefused);
    trace.Clear();
    EXPECT_EQ(1, gate.zykInitialDriver());
    Lines lines = trace.Texts();
    EXPECT_TRUE(Has(lines, "DLL_CreateFile_NotUsed")) << "its device answered, and was let be";
    EXPECT_TRUE(Has(lines, "ForeignService=<" + other.dir + "GenPort1.sys>"));
    EXPECT_FALSE(Has(lines, "StartService"));
    EXPECT_FALSE(ReachesCard(gate));
    EXPECT_EQ(0, gate.zykCloseDriver());
}

TEST_F(PortgateNtStates, LimitedUserIsToldApartFromAMissingCard)
{
    struct Case {
        const char* function;
        void* hook;
        const char* trace;
    } cases[] = {
        {"OpenSCManagerA", (void*)LimitedOpenSCManager, "AccessDenied=<OpenSCManager>"},
        {"CreateServiceA", (void*)DeniedCreateService, "AccessDenied=<CreateService>"},
        {"StartServiceA", (void*)DeniedStartService, "AccessDenied=<StartService>"},
    };
    g_deniedCall = ERROR_ACCESS_DENIED;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        GateCopy gate("gate-limited");
        ImportPatch denied(gate.module, "advapi32.dll", c.function, c.hook);
        std::vector<SeenMessageBox> boxes;
        {
            MessageBoxAnswerer answerer;
            trace.Clear();
            EXPECT_EQ(1, gate.zykInitialDriver());
            boxes = answerer.Seen();
        }
        EXPECT_TRUE(boxes.empty()) << "the program says it itself, once";
        EXPECT_TRUE(Has(trace.Texts(), "**** WINNT"));
        EXPECT_TRUE(Has(trace.Texts(), c.trace));
        EXPECT_EQ(1, gate.zykDriverRefusal());
        EXPECT_FALSE(ReachesCard(gate));
        EXPECT_EQ(0, gate.zykCloseDriver());
        RemoveGenPort();
    }
    // Any other failure is no refusal.
    GateCopy gate("gate-limited");
    g_deniedCall = ERROR_INVALID_PARAMETER;
    ImportPatch failing(gate.module, "advapi32.dll", "CreateServiceA", (void*)DeniedCreateService);
    MessageBoxAnswerer answerer;
    EXPECT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ(0, gate.zykDriverRefusal());
}

TEST_F(PortgateNtStates, NinetyFiveFamilyVersionOnAnNtKernelTakesTheDriverRoad)
{
    GateCopy gate("gate-compat");
    ImportPatch version(gate.module, "kernel32.dll", "GetVersion", (void*)NinetyEightVersion);
    trace.Clear();
    // A port instruction here would fault: nothing serves it in this process.
    ASSERT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ("**** WINNT", trace.Texts().at(1));
    EXPECT_EQ(ServiceState::Running, GenPortServiceState());
    EXPECT_TRUE(ReachesCard(gate));
    EXPECT_EQ(1, gate.zykCloseDriver());
}

TEST_F(PortgateNtStates, DriverFileIsHeldAgainstChangesUntilTheServiceStarted)
{
    GateCopy gate("gate-held");
    g_heldFile = gate.dir + "GenPort1.sys";
    g_realStart = reinterpret_cast<decltype(g_realStart)>(
        ReplaceImport(gate.module, "advapi32.dll", "StartServiceA", (void*)StartWhileTryingToSwap));
    ASSERT_NE(nullptr, g_realStart);
    EXPECT_EQ(1, gate.zykInitialDriver());
    ReplaceImport(gate.module, "advapi32.dll", "StartServiceA", (void*)g_realStart);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), g_writeOpenError);
    EXPECT_NE(0u, g_deleteError);
    EXPECT_TRUE(ReachesCard(gate));
    EXPECT_EQ(1, gate.zykCloseDriver());
    HANDLE f = CreateFileA(g_heldFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, f) << "given back once the service has started";
    CloseHandle(f);
}

TEST_F(PortgateNtStates, BoxesAreOwnedByTheCallersActiveWindow)
{
    GateCopy gate("gate-owner");
    HWND window = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(window);
    ASSERT_EQ(window, GetActiveWindow());
    g_deniedCall = ERROR_INVALID_PARAMETER;
    ImportPatch failing(gate.module, "advapi32.dll", "CreateServiceA", (void*)DeniedCreateService);
    std::vector<SeenMessageBox> boxes;
    {
        MessageBoxAnswerer answerer;
        EXPECT_EQ(1, gate.zykInitialDriver());
        boxes = answerer.Seen();
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("failure: CreateService", boxes[0].text);
    EXPECT_EQ(static_cast<void*>(window), boxes[0].owner);
    DestroyWindow(window);
}

namespace {

// A pipe server that answers in the device's place, as one planted under the name on
// NT 4.0 and 2000 (one global DOS-device namespace) would. Wine cannot plant it there
// (its DefineDosDevice brings the process down), so the library's opens of the device
// name are sent to it. Wine's pipes let the server impersonate whatever the client
// asked, so the identification-only request is checked at the open itself.
const char kPlantedPipe[] = "\\\\.\\pipe\\planted-genport";
DWORD g_plantedFlags;

HANDLE WINAPI OpenPlanted(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                          DWORD disposition, DWORD flags, HANDLE templ)
{
    if (_stricmp(name, "\\\\.\\GenPort1") == 0) {
        g_plantedFlags = flags;
        name = kPlantedPipe;
        share = 0;
    }
    return CreateFileA(name, access, share, sa, disposition, flags, templ);
}

struct PlantedPipe {
    PlantedPipe() : server([this] { Serve(); }) {}
    ~PlantedPipe()
    {
        stop = true;
        HANDLE wake = CreateFileA(kPlantedPipe, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        server.join();
        if (wake != INVALID_HANDLE_VALUE) CloseHandle(wake);
    }
    void Serve()
    {
        HANDLE pipe = CreateNamedPipeA(kPlantedPipe, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                       1, 512, 512, 0, nullptr);
        ready = pipe != INVALID_HANDLE_VALUE;
        tried = true;
        while (ready && ConnectNamedPipe(pipe, nullptr), !stop) {
            clients++;
            char buffer[64];
            DWORD got;
            while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr)) bytesReceived += got;
            DisconnectNamedPipe(pipe);
            served++;
        }
        if (ready) CloseHandle(pipe);
    }
    // Waits (at most 30 s) for the server thread, which a busy machine may run late.
    template <typename Done>
    static void Await(Done done)
    {
        for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < 30000;) Sleep(10);
    }
    std::atomic<bool> stop{false};
    std::atomic<bool> tried{false};
    std::atomic<bool> ready{false};
    std::atomic<int> served{0};
    std::atomic<int> clients{0};
    std::atomic<unsigned long> bytesReceived{0};
    std::thread server;
};

}  // namespace

TEST_F(PortgateNtStates, PlantedDeviceNameIsOpenedForIdentificationOnlyAndGetsNoPortAccess)
{
    GateCopy gate("gate-planted");
    PlantedPipe planted;
    PlantedPipe::Await([&] { return planted.tried.load(); });
    ASSERT_TRUE(planted.ready);
    ImportPatch open(gate.module, "kernel32.dll", "CreateFileA", (void*)OpenPlanted);
    std::vector<SeenMessageBox> boxes;
    {
        MessageBoxAnswerer answerer;
        trace.Clear();
        EXPECT_EQ(1, gate.zykInitialDriver());
        boxes = answerer.Seen();
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(Has(trace.Texts(), "DLL_CreateFile_NotUsed")) << "the answer before our service";
    EXPECT_EQ(static_cast<DWORD>(SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION),
              g_plantedFlags & (SECURITY_SQOS_PRESENT | SECURITY_VALID_SQOS_FLAGS));
    unsigned long lost = gate.zykLostAccesses();
    EXPECT_FALSE(ReachesCard(gate));
    EXPECT_EQ(lost + 2, gate.zykLostAccesses()) << "the caller learns the card was missed";
    gate.zykCloseDriver();
    PlantedPipe::Await([&] { return planted.served >= 1; });  // the client came and went
    EXPECT_GE(planted.clients, 1);
    EXPECT_EQ(0ul, planted.bytesReceived);
}
