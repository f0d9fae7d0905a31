// The search for the card on PCI buses 1 to 6, its trace, and what it records.
#include <gtest/gtest.h>
#include <algorithm>
#include "busprobe.h"
#include "debug_output.h"
#include "probe_copy.h"
#include "simscenario.h"

namespace {

using Lines = std::vector<std::string>;

class Scan : public ::testing::Test {
protected:
    void SetUp() override { sim::Reset(); }

    // ATIAGP_Check in a bracket; the trace of the check alone (the bracket's own
    // lines are left out).
    int Check(Lines* checkTrace = nullptr)
    {
        probe.zykOpen_PCI();
        sim::ClearAccessLog();
        trace.Clear();
        int found = probe.ATIAGP_Check();
        if (checkTrace) *checkTrace = trace.Texts();
        accesses = sim::AccessLog();
        probe.zykClose_PCI();
        return found;
    }

    // Whether any access of the last check touched ports first..last.
    bool Touched(unsigned first, unsigned last) const
    {
        return std::any_of(accesses.begin(), accesses.end(), [&](const sim::PortAccess& a) {
            return a.port >= first && a.port <= last;
        });
    }

    ProbeCopy probe;
    DebugOutputCapture trace;
    std::vector<sim::PortAccess> accesses;
};

const Lines kHeader = {"\n----------", "ATIAGP_Check"};

}  // namespace

TEST_F(Scan, CardAtBus1Device0IsRecordedAndTheRestOfTheBusListed)
{
    sim::AddCard(1, 0, 0, 0x0A12, 0x0000D001, 0x00A0A00C);
    sim::AddDevice(1, 3, 0, 0x12348086, 0x00000000);
    sim::AddDevice(2, 0, 0, 0x00021102, 0x00011102);  // a later bus is not scanned

    Lines lines;
    ASSERT_EQ(1, Check(&lines));
    Lines expected = kHeader;
    expected.insert(expected.end(),
                    {"device_id=0", "ven_id=<0X52461002>", "Vender_ID=<0X1002>",
                     "Device_ID=<0X5246>", "ZYK=<0X5A4B>", "P/N=<0XA12>", "SSID=<0XA12>",
                     "**** ATI ZYK ****", "test=<0XD001>", "Address=<0XD000>",
                     "test=<0XA0A00C>", "ATI_Division=<0XC><12>",
                     "device_id=3", "ven_id=<0X12348086>", "Vender_ID=<0X8086>",
                     "Device_ID=<0X1234>", "ZYK=<0X0>", "P/N=<0X0>", "SSID=<0X0>",
                     "pci_bus=1"});
    EXPECT_EQ(expected, lines);
    EXPECT_EQ(0x0A12, probe.ATIAGP_GetSSID());

    // Bus 1 is read in full (register 0x00 of every device, 0x2C of the two present),
    // the card's clock register twice, and nothing of bus 2.
    std::vector<sim::PortAccess> window;
    std::copy_if(accesses.begin(), accesses.end(), std::back_inserter(window),
                 [](const sim::PortAccess& a) { return a.port >= 0xD000 && a.port <= 0xD0FF; });
    EXPECT_EQ((std::vector<sim::PortAccess>{{true, 1, 0xD008, 0x0A}, {false, 4, 0xD00C, 0x00A0A00C},
                                            {true, 1, 0xD008, 0x0A}, {false, 4, 0xD00C, 0x00A0A00C}}),
              window)
        << "the divider from two reads that agree";
    size_t configWrites = std::count_if(accesses.begin(), accesses.end(),
                                        [](const sim::PortAccess& a) { return a.write && a.port == 0xCF8; });
    EXPECT_EQ(32u + 2u + 1u, configWrites);
    EXPECT_FALSE(std::any_of(accesses.begin(), accesses.end(), [](const sim::PortAccess& a) {
        return a.port == 0xCF8 && (a.value >> 16 & 0xFF) == 2;
    }));

    // The recorded window and divider serve the clocks in a later bracket.
    EXPECT_DOUBLE_EQ(360.5, probe.Bracket([&] { return probe.ATIAGP_GetGPUClock(); }));
}

TEST_F(Scan, LookalikesAreListedButNeverTouched)
{
    // Another maker's device with Zyk's subsystem vendor, and ATI with another one.
    sim::AddCard(1, 2, 0, 0x0A12, 0x0000E001, 0x00A0A00C, /*vendor*/ 0x10DE);
    sim::AddCard(1, 5, 0, 0x0A12, 0x0000E101, 0x00A0A00C, 0x1002, /*subsystem vendor*/ 0x1043);

    Lines lines;
    EXPECT_EQ(0, Check(&lines));
    EXPECT_EQ(0, probe.ATIAGP_GetSSID());
    EXPECT_FALSE(Touched(0xE000, 0xE1FF));
    Lines expected = kHeader;
    expected.insert(expected.end(),
                    {"device_id=2", "ven_id=<0X524610DE>", "Vender_ID=<0X10DE>",
                     "Device_ID=<0X5246>", "ZYK=<0X5A4B>", "P/N=<0XA12>", "SSID=<0XA12>",
                     "device_id=5", "ven_id=<0X52461002>", "Vender_ID=<0X1002>",
                     "Device_ID=<0X5246>", "ZYK=<0X1043>", "P/N=<0XA12>", "SSID=<0XA12>"});
    EXPECT_EQ(expected, lines);
}

TEST_F(Scan, CardOnBus0OrAsFunction1OnlyIsNotFound)
{
    sim::AddCard(0, 1, 0, 0x0A12, 0x0000D001, 0x00A0A00C);
    sim::AddCard(3, 4, 1, 0x0A13, 0x0000D101, 0x00A0A00C);
    Lines lines;
    EXPECT_EQ(0, Check(&lines));
    EXPECT_EQ(kHeader, lines) << "no present function 0 on buses 1 to 6";
    EXPECT_EQ(0, probe.ATIAGP_GetSSID());
    EXPECT_FALSE(Touched(0xD000, 0xD1FF));
}

TEST_F(Scan, IoBaseKeepsTheLow16BitsWithoutTheIoFlag)
{
    sim::AddCard(4, 7, 0, 0x9A05, 0x1234E001, 0x00A0A00C);
    Lines lines;
    ASSERT_EQ(1, Check(&lines));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "test=<0X1234E001>"));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Address=<0XE000>"));
    EXPECT_EQ("pci_bus=4", lines.back());
    EXPECT_TRUE(Touched(0xE008, 0xE00C));
    EXPECT_EQ(0x9A05, probe.ATIAGP_GetSSID());
}

TEST_F(Scan, LastMatchOnTheBusWinsAndALaterFailedCheckKeepsTheRecord)
{
    sim::AddCard(2, 1, 0, 0x0A12, 0x0000D001, 0x00A0A00C);
    sim::AddCard(2, 9, 0, 0x0A14, 0x0000C001, 0x00A0A006);
    ASSERT_EQ(1, Check());
    EXPECT_EQ(0x0A14, probe.ATIAGP_GetSSID());
    // R = 6 from the second card: E = 160 gives 720 MHz.
    EXPECT_DOUBLE_EQ(720.5, probe.Bracket([&] { return probe.ATIAGP_GetGPUClock(); }));

    sim::Reset();
    EXPECT_EQ(0, Check());
    EXPECT_EQ(0x0A14, probe.ATIAGP_GetSSID());
}

TEST_F(Scan, WithoutACardEveryPresentDeviceOnBuses1To6IsListed)
{
    sim::AddDevice(0, 0, 0, 0x71908086, 0);  // the host bridge on bus 0 is not scanned
    sim::AddDevice(1, 31, 0, 0x00011106, 0);
    sim::AddDevice(6, 0, 0, 0x800010EC, 0x800010EC);
    sim::AddDevice(7, 0, 0, 0x00021106, 0);
    Lines lines;
    EXPECT_EQ(0, Check(&lines));
    Lines expected = kHeader;
    expected.insert(expected.end(),
                    {"device_id=31", "ven_id=<0X11106>", "Vender_ID=<0X1106>", "Device_ID=<0X1>",
                     "ZYK=<0X0>", "P/N=<0X0>", "SSID=<0X0>",
                     "device_id=0", "ven_id=<0X800010EC>", "Vender_ID=<0X10EC>",
                     "Device_ID=<0X8000>", "ZYK=<0X10EC>", "P/N=<0X8000>", "SSID=<0X8000>"});
    EXPECT_EQ(expected, lines);
    EXPECT_EQ(0, probe.ATIAGP_GetSSID());
    // 6 buses x 32 devices read at register 0x00, plus 0x2C of the two present.
    size_t reads = std::count_if(accesses.begin(), accesses.end(),
                                 [](const sim::PortAccess& a) { return !a.write && a.port == 0xCFC; });
    EXPECT_EQ(6u * 32u + 2u, reads);
}
