// The hardware GenPort1.sys (32-bit) under Wine's kernel: loaded as a service as
// portgate loads it, its start-up scan through Wine's HAL (whose configuration read
// answers nothing), stopped and removed cleanly. Wine gives a create no security
// context, and the hardware driver refuses such a create: every request on a handle
// Wine hands out anyway is refused. What Wine lets us see of its security, and the
// image properties the kernel asks for. The request layer's answers are tested in
// process (policy and open check tests) and through the simulated driver.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "driver_service.h"
#include "gate_copy.h"
#include "genport_ioctl.h"
#include "message_box.h"
#include "services.h"
#include "simscenario.h"

namespace {

std::string DosPath(std::string unixPath)
{
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

// The hardware driver of the shipped 32-bit folder (the folder under test holds the
// simulated one).
std::string HwDriverPath()
{
    return DosPath(GENPORT1_SHIPPED);
}

DWORD Fails(HANDLE device, DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength)
{
    DWORD error = 0;
    EXPECT_FALSE(Request(device, code, in, inLength, out, outLength, nullptr, &error))
        << std::hex << code;
    return error;
}

class HwDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveGenPort();
        // The simulated card answers differently (ids, all ones): if any of it shows
        // here, the wrong driver was loaded.
        sim::DefaultScenario();
    }
    void TearDown() override { RemoveGenPort(); }
};

TEST_F(HwDriver, PortgateBracketsItButGetsNoAnswerWithoutASecurityContext)
{
    GateCopy gate("gate-hw", HwDriverPath());
    MessageBoxAnswerer boxes;
    ASSERT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ(ServiceState::Running, GenPortServiceState());
    gate.woutpd(0xCF8, 0x80010000ul);
    EXPECT_EQ(0ul, gate.winpd(0xCFC))
        << "refused: the read buffer's first value. Answered, it would be the HAL's, and "
           "Wine's HAL reads nothing (0xFFFFFFFF); the simulated card would give 0x52461002";
    EXPECT_EQ(1, gate.zykCloseDriver());
    EXPECT_EQ(ServiceState::Missing, GenPortServiceState());
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_TRUE(sim::AccessLog().empty());
}

TEST_F(HwDriver, RefusesEveryRequestOfACallerWithoutSecurityContextAndStopsCleanly)
{
    DriverService service(HwDriverPath());
    ASSERT_TRUE(service.Start()) << service.lastError;
    HANDLE device = service.Open();
    ASSERT_NE(INVALID_HANDLE_VALUE, device) << "Wine hands out the handle: " << GetLastError();

    // The configuration dwords and the default scenario's card window would be served
    // to an administrator on NT; well-formed or not, nothing is served here.
    uint32_t value = 0xDEADBEEF;
    const std::pair<DWORD, uint32_t> requests[] = {
        {GENPORT_IOCTL_WRITE_DWORD, 0xCF8}, {GENPORT_IOCTL_READ_DWORD, 0xCF8},
        {GENPORT_IOCTL_READ_DWORD, 0xCFC},  {GENPORT_IOCTL_WRITE_BYTE, 0xD008},
        {GENPORT_IOCTL_READ_DWORD, 0xD00C}, {GENPORT_IOCTL_WRITE_DWORD, 0xCFC},
        {GENPORT_IOCTL_WRITE_BYTE, 0xCF9},  {GENPORT_IOCTL_READ_WORD, 0xCFE},
        {GENPORT_IOCTL_WRITE_BYTE, 0x64},   {GENPORT_IOCTL_WRITE_BYTE, 0x92},
        {GENPORT_IOCTL_READ_WORD, 0x1F0},   {GENPORT_IOCTL_READ_DWORD, 0x10CF8},
    };
    for (auto [code, port] : requests) {
        uint32_t record[2] = {port, 0x80010000};
        const bool write = (code & 0xF0) == 0x40;
        const DWORD width = 1u << ((code >> 2) & 3);
        EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED),
                  Fails(device, code, record, write ? 4 + width : 4, write ? nullptr : &value,
                        write ? 0 : width))
            << std::hex << code << " at " << port;
    }
    EXPECT_EQ(0xDEADBEEFu, value);
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), Fails(device, 0x9C406403, &value, 4, &value, 4));

    // A second open: refused outright, or a handle whose requests are refused too.
    HANDLE second = service.Open();
    if (second == INVALID_HANDLE_VALUE) {
        EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    } else {
        uint32_t port = 0xCF8;
        EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), Fails(second, GENPORT_IOCTL_READ_DWORD, &port, 4, &value, 4));
        CloseHandle(second);
    }

    // Stop: device and link are gone, and the driver loads again afterwards.
    CloseHandle(device);
    ASSERT_TRUE(service.Stop()) << service.lastError;
    EXPECT_EQ(INVALID_HANDLE_VALUE, service.Open());
    ASSERT_TRUE(service.Start()) << service.lastError;
    device = service.Open();
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    CloseHandle(device);
    EXPECT_TRUE(service.Stop()) << service.lastError;
    EXPECT_TRUE(sim::AccessLog().empty()) << "no simulated card behind this driver";
}

// What Wine's kernel lets user mode see of the device's security: the descriptor its
// object manager holds for the handle. It holds none (no owner, no DACL: nothing that
// would keep anyone out), so the driver's own create check is the only guard here, and
// the handle the object manager let through gets nothing. Should Wine start keeping a
// descriptor, this shows it.
TEST_F(HwDriver, WineKeepsNoDescriptorForTheDeviceAndTheDriversOwnCheckGuardsIt)
{
    DriverService service(HwDriverPath());
    ASSERT_TRUE(service.Start()) << service.lastError;
    HANDLE device = CreateFileA(GENPORT_DEVICE_PATH, READ_CONTROL | GENERIC_READ | GENERIC_WRITE,
                                0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, device) << GetLastError();
    const SECURITY_INFORMATION what =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetKernelObjectSecurity(device, what, nullptr, 0, &size);
    ASSERT_NE(0u, size) << GetLastError();
    std::vector<unsigned char> bytes(size);
    ASSERT_TRUE(GetKernelObjectSecurity(device, what, bytes.data(), size, &size)) << GetLastError();
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(bytes.data(), SDDL_REVISION_1,
                                                                     what, &text, nullptr));
    EXPECT_STREQ("", text) << "the device security as Wine holds it";
    LocalFree(text);
    uint32_t port = 0xCF8, value = 0;
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), Fails(device, GENPORT_IOCTL_READ_DWORD, &port, 4, &value, 4));
    CloseHandle(device);
    service.Stop();
}

// What the kernel asks of a driver image. Its imports are held to the reviewed list by
// the import floor test, with the rest of the shipped folder.
TEST(HwDriverImage, IsARelocatableNativeImageWithItsChecksum)
{
    std::ifstream file(HwDriverPath(), std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(data.size(), 0x400u) << HwDriverPath();
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(data.data() + *reinterpret_cast<DWORD*>(data.data() + 0x3C));
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);
    EXPECT_EQ(IMAGE_SUBSYSTEM_NATIVE, nt->OptionalHeader.Subsystem);
    EXPECT_LE(nt->OptionalHeader.MajorSubsystemVersion, 4);
    EXPECT_NE(0u, nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size)
        << "the kernel loads a driver wherever there is room";
    EXPECT_NE(0u, nt->OptionalHeader.CheckSum);
}

}  // namespace
