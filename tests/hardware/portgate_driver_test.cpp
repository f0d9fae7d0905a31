// portgate on the NT family: the GenPort1 service installed, started, opened, stopped
// and deleted around each bracket, through Wine's service manager and the simulated
// driver.
#include <gtest/gtest.h>
#include <regex>
#include "debug_output.h"
#include "gate_copy.h"
#include "import_patch.h"
#include "message_box.h"
#include "services.h"
#include "simscenario.h"

namespace {

using Lines = std::vector<std::string>;

Lines OpeningTrace(const GateCopy& gate)
{
    return {"zykInitialDriver", "**** WINNT", "ReleaseDriver", "ReleaseDriver_Sleep",
            "DLL_GetModule=<" + gate.dll + ">", "SYS=<" + gate.dir + "GenPort1.sys>",
            "DLL_CreateFile=<\\\\.\\GenPort1>"};
}

Lines Join(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PortgateDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveGenPort();
        sim::DefaultScenario();
    }
    void TearDown() override
    {
        // No full cycle may leave the service behind.
        EXPECT_EQ(ServiceState::Missing, GenPortServiceState());
        RemoveGenPort();
    }
    DebugOutputCapture trace;
};

unsigned long ConfigAddress(int bus, int device, int reg)
{
    return 0x80000000ul | bus << 16 | device << 11 | reg;
}

}  // namespace

TEST_F(PortgateDriver, FreshOpenInstallsAndOpensTheDeviceAndCloseRemovesTheService)
{
    GateCopy gate("gate-fresh");
    trace.Clear();
    ASSERT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ(Join(OpeningTrace(gate), {"DLL_InstallDriver=<GenPort1>", "OpenSCManager",
                                        "CreateService", "StartService", "DLL_OpenDevice=<GenPort1>"}),
              trace.Texts());
    EXPECT_EQ(ServiceState::Running, GenPortServiceState());

    // The device is ours alone: Wine lets a second open through, but the driver
    // serves only the first opener.
    HANDLE second = CreateFileA("\\\\.\\GenPort1", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (second != INVALID_HANDLE_VALUE) {
        unsigned long port = 0xCFC, value = 0;
        DWORD got = 0;
        EXPECT_FALSE(DeviceIoControl(second, 0x9C406408, &port, 4, &value, 4, &got, nullptr));
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
        CloseHandle(second);
    }

    // Each access is one request to the driver, served by the card model. The driver
    // refuses ports outside its list (0x300 here); a refused read gives the last value
    // read, zero-extended, and a refused write is lost.
    sim::ClearAccessLog();
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC));
    EXPECT_EQ(0x18A, gate.woutp(0xD008, 0x18A));  // the argument comes back as passed
    gate.woutpd(0xD00C, 0x123456FFul);
    EXPECT_EQ(0x123456FFul, gate.winpd(0xD00C));
    EXPECT_EQ(0xFF, gate.winp(0x300));
    EXPECT_EQ(0x56FF, gate.winpw(0x300));
    EXPECT_EQ(0x1234, gate.woutpw(0x302, 0x1234));
    EXPECT_EQ((std::vector<sim::PortAccess>{{true, 4, 0xCF8, ConfigAddress(1, 0, 0)},
                                            {false, 4, 0xCFC, 0x52461002},
                                            {true, 1, 0xD008, 0x8A},
                                            {true, 4, 0xD00C, 0x123456FF},
                                            {false, 4, 0xD00C, 0x123456FF}}),
              sim::AccessLog());

    trace.Clear();
    EXPECT_EQ(1, gate.zykCloseDriver());
    EXPECT_EQ((Lines{"zykCloseDriver", "DLL_CloseDevice"}), trace.Texts());
}

TEST_F(PortgateDriver, StoppedLeftoverPointingElsewhereIsRemovedAndOursInstalled)
{
    GateCopy other("gate-leftover-other");
    GateCopy gate("gate-leftover");
    RegisterStoppedGenPort(other.dir + "GenPort1.sys");
    ASSERT_EQ(ServiceState::Stopped, GenPortServiceState());
    ASSERT_TRUE(GenPortRegistered()) << "the registry view the direct road's tests rely on";
    trace.Clear();
    ASSERT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ(Join(OpeningTrace(gate), {"DLL_InstallDriver=<GenPort1>", "OpenSCManager",
                                        "CreateService", "StartService",
                                        "DLL_OpenDevice=<GenPort1>"}),
              trace.Texts());
    EXPECT_EQ(gate.dir + "GenPort1.sys", GenPortImagePath());
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC));
    EXPECT_EQ(1, gate.zykCloseDriver());
}

TEST_F(PortgateDriver, SecondOpenIsRefusedAndSecondCloseToo)
{
    GateCopy gate("gate-twice");
    ASSERT_EQ(1, gate.zykInitialDriver());
    trace.Clear();
    EXPECT_EQ(0, gate.zykInitialDriver());
    EXPECT_EQ((Lines{"zykInitialDriver", "**** WINNT", "zykInitialDriver_SKIP"}), trace.Texts());
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC)) << "the device stays open";

    EXPECT_EQ(1, gate.zykCloseDriver());
    trace.Clear();
    EXPECT_EQ(0, gate.zykCloseDriver());
    EXPECT_EQ((Lines{"zykCloseDriver", "zykCloseDriver_SKIP"}), trace.Texts());
}

TEST_F(PortgateDriver, DriverPathIsTheLibraryDirectoryWhateverTheCurrentDirectory)
{
    // Deeper than the 128 bytes a module path was once read into.
    std::string deep = "gate-path\\" + std::string(60, 'd') + "\\" + std::string(60, 'e');
    GateCopy gate(deep);
    ASSERT_GT(gate.dll.size(), 128u);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA("C:\\");
    trace.Clear();
    EXPECT_EQ(1, gate.zykInitialDriver());
    SetCurrentDirectoryA(previous);
    Lines lines = trace.Texts();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ("SYS=<" + gate.dir + "GenPort1.sys>", lines[5]);
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC));
    EXPECT_EQ(1, gate.zykCloseDriver());
}

TEST_F(PortgateDriver, DriverThatCannotStartIsReportedWithItsErrorCode)
{
    // A driver file that is not a driver: find out what the service manager says.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string bogus = std::string(temp) + "not-a-driver.sys";
    HANDLE f = CreateFileA(bogus.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(f, "not a driver", 12, &written, nullptr);
    CloseHandle(f);
    GateCopy gate("gate-bogus", bogus);
    RegisterStoppedGenPort(gate.dir + "GenPort1.sys");
    unsigned long expected = StartGenPort();
    ASSERT_NE(0ul, expected);
    RemoveGenPort();

    std::vector<SeenMessageBox> boxes;
    {
        MessageBoxAnswerer answerer;
        EXPECT_EQ(1, gate.zykInitialDriver());
        boxes = answerer.Seen();
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("failure: StartService func. ErrCode=" + std::to_string(expected) + "L\n",
              boxes[0].text);
    EXPECT_EQ("Error", boxes[0].caption) << "the system's default caption";

    // Port access stays closed: nothing reaches the card, and there is nothing to close.
    sim::ClearAccessLog();
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0ul, gate.winpd(0xCFC));
    EXPECT_TRUE(sim::AccessLog().empty());
    trace.Clear();
    EXPECT_EQ(0, gate.zykCloseDriver());
    EXPECT_EQ((Lines{"zykCloseDriver", "zykCloseDriver_SKIP"}), trace.Texts());
    RemoveGenPort();  // the registered, never started service stays until removed
    DeleteFileA(bogus.c_str());
}

TEST_F(PortgateDriver, PortAccessBeforeTheFirstOpenReachesNothing)
{
    GateCopy gate("gate-early");
    sim::ClearAccessLog();
    EXPECT_EQ(0x80000000ul, gate.woutpd(0xCF8, 0x80000000ul));
    EXPECT_EQ(0ul, gate.winpd(0xCFC));
    EXPECT_EQ(0, gate.winp(0x300));
    EXPECT_TRUE(sim::AccessLog().empty());
}

TEST_F(PortgateDriver, FailedRemovalAtCloseNeverUsesOrClosesTheHandleAgain)
{
    GateCopy gate("gate-removal");
    ASSERT_EQ(1, gate.zykInitialDriver());
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC));
    // Someone else removes the service meanwhile: the library's own removal must fail.
    RemoveGenPort();
    EXPECT_EQ(0, gate.zykCloseDriver());

    // The handle value may now belong to another object: it must stay untouched.
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    sim::ClearAccessLog();
    unsigned long lost = gate.zykLostAccesses();
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC)) << "the last value read";
    EXPECT_TRUE(sim::AccessLog().empty());
    EXPECT_EQ(lost + 1, gate.zykLostAccesses());
    EXPECT_EQ(0, gate.zykCloseDriver()) << "the removal is tried again and fails again";

    // The next bracket removes what is left and installs afresh: port access works.
    EXPECT_EQ(1, gate.zykInitialDriver());
    gate.woutpd(0xCF8, ConfigAddress(1, 0, 0));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC));
    EXPECT_FALSE(sim::AccessLog().empty());
    EXPECT_EQ(1, gate.zykCloseDriver());
    DWORD flags;
    EXPECT_TRUE(GetHandleInformation(event, &flags)) << "the event handle was closed";
    CloseHandle(event);
}

namespace {
SC_HANDLE WINAPI RefusedServiceManager(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}
}  // namespace

TEST_F(PortgateDriver, RefusedServiceManagerIsTracedAndPortAccessStaysClosed)
{
    // A user without the right to open the service manager: Wine's never refuses.
    GateCopy gate("gate-noscm");
    ASSERT_NE(nullptr, ReplaceImport(gate.module, "advapi32.dll", "OpenSCManagerA",
                                       reinterpret_cast<void*>(RefusedServiceManager)));
    trace.Clear();
    EXPECT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ(Join(OpeningTrace(gate), {"DLL_InstallDriver=<GenPort1>", "OpenSCManager",
                                        "Open SCManager Error !", "AccessDenied=<OpenSCManager>"}),
              trace.Texts());
    EXPECT_EQ(ServiceState::Missing, GenPortServiceState());
    trace.Clear();
    EXPECT_EQ(0, gate.zykCloseDriver());
    EXPECT_EQ((Lines{"zykCloseDriver", "zykCloseDriver_SKIP"}), trace.Texts());
}
