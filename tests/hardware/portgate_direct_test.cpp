// portgate on the Windows 95 family: the library executes the port instructions itself
// (served here by the port emulator from the simulated card) and no service is used.
// Wine reports the 95 family to a program whose AppDefaults version is win98, so the
// test program starts itself again that way.
#include <gtest/gtest.h>
#include <windows.h>
#include "debug_output.h"
#include "gate_copy.h"
#include "portemu.h"
#include "windows98.h"
#include "probe_copy.h"
#include "services.h"
#include "simscenario.h"

namespace {

using Lines = std::vector<std::string>;

class PortgateDirect : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveGenPort();
        sim::DefaultScenario();
        sim::ClearAccessLog();
    }
    DebugOutputCapture trace;
};

}  // namespace

TEST_F(PortgateDirect, DriverCallsSucceedAtOnceAndTouchNoService)
{
    GateCopy gate("gate-direct", "-");  // no driver file at all
    trace.Clear();
    EXPECT_EQ(1, gate.zykInitialDriver());
    EXPECT_EQ(1, gate.zykInitialDriver()) << "nothing to refuse on this road";
    EXPECT_EQ(1, gate.zykCloseDriver());
    EXPECT_EQ(1, gate.zykCloseDriver());
    EXPECT_EQ((Lines{"zykInitialDriver", "**** WIN9X", "zykInitialDriver", "**** WIN9X",
                     "zykCloseDriver", "zykCloseDriver"}),
              trace.Texts());
    EXPECT_FALSE(GenPortRegistered()) << "no service on this road";
}

TEST_F(PortgateDirect, PortInstructionsReachTheCardWithTheirOwnWidths)
{
    GateCopy gate("gate-direct");
    ASSERT_EQ(1, gate.zykInitialDriver());
    sim::ClearAccessLog();
    EXPECT_EQ(0x80010000ul, gate.woutpd(0xCF8, 0x80010000ul));
    EXPECT_EQ(0x52461002ul, gate.winpd(0xCFC));
    EXPECT_EQ(-1, gate.winp(0x300)) << "a byte of 0xFF is sign-extended on this road";
    EXPECT_EQ(0xFFFF, gate.winpw(0x300));
    EXPECT_EQ(0xAB, gate.woutp(0x303, 0x1AB)) << "only the low 8 bits come back";
    EXPECT_EQ(0x1234, gate.woutpw(0x302, 0x1234));
    EXPECT_EQ((std::vector<sim::PortAccess>{{true, 4, 0xCF8, 0x80010000},
                                            {false, 4, 0xCFC, 0x52461002},
                                            {false, 1, 0x300, 0xFF},
                                            {false, 2, 0x300, 0xFFFF},
                                            {true, 1, 0x303, 0xAB},
                                            {true, 2, 0x302, 0x1234}}),
              sim::AccessLog());
    EXPECT_EQ(1, gate.zykCloseDriver());
}

TEST_F(PortgateDirect, BusprobeFindsAndProgramsTheCardOnThisRoadToo)
{
    ProbeCopy probe;
    EXPECT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_Check(); }));
    probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); });
    EXPECT_EQ(0x0085A00Cu, sim::IoRegister(0xD000, 0x0A));
    EXPECT_DOUBLE_EQ(299.75, probe.Bracket([&] { return probe.ATIAGP_GetGPUClock(); }));
    EXPECT_FALSE(GenPortRegistered()) << "no service on this road";
}

int main(int argc, char** argv)
{
    int restarted = RestartAsWindows98();
    if (restarted >= 0) return restarted;
    portemu_install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
