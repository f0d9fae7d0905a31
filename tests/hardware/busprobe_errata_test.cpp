// The clock synthesiser of each chip family on the simulated card that behaves like the
// silicon: write enable, the dummy reads of RV200/RS200, the 5 ms of RV100/RS100/RS200,
// and reads in doubt that are never written back. Built twice: on the driver road, and
// (VELOTUNE_DIRECT_ROAD) on the 95 family's direct road through the port emulator.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "debug_output.h"
#include "families.h"
#include "probe_copy.h"
#include "simscenario.h"
#ifdef VELOTUNE_DIRECT_ROAD
#include "portemu.h"
#include "windows98.h"
#endif

namespace {

using Lines = std::vector<std::string>;
using Log = std::vector<sim::PortAccess>;
const uint16_t kBase = 0xD000;
const uint32_t kClock = 0x00A0A00C;  // R 12, 360/360 MHz
const uint32_t kSet = 0x0085850C;    // after setting 300/300 MHz
const uint16_t kNoErrata = 0x5246;   // Rage 128 Pro: an id outside the table

class Errata : public ::testing::Test {
protected:
    void Card(uint16_t deviceId, uint32_t clock = kClock)
    {
        sim::Reset();
        sim::AddDevice(0, 0, 0, 0x71908086, 0);
        sim::AddCard(1, 0, 0, 0x0A12, kBase | 1, clock, ATI_VENDOR_ID, ZYK_SUBSYSTEM_VENDOR_ID,
                     deviceId);
        ASSERT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_Check(); }));
        sim::ClearAccessLog();
    }
    void SetBoth()
    {
        probe.Bracket([&] {
            probe.ATIAGP_SetGPUClock(300);
            return probe.ATIAGP_SetMemClock(300);
        });
    }
    double Engine() { return probe.Bracket([&] { return probe.ATIAGP_GetGPUClock(); }); }
    uint32_t Register() { return sim::IoRegister(kBase, 0x0A); }
    // The accesses of the card's window alone, in order.
    static Log Window()
    {
        Log window;
        for (const sim::PortAccess& a : sim::AccessLog())
            if (a.port >= kBase && a.port < kBase + 0x100) window.push_back(a);
        return window;
    }
    template <typename F>
    Lines TraceOf(F call) { return probe.TraceInBracket(trace, call); }
    static bool Has(const Lines& lines, const std::string& text)
    {
        for (const std::string& line : lines)
            if (line == text) return true;
        return false;
    }

    ProbeCopy probe;
    DebugOutputCapture trace;
};

TEST_F(Errata, AChipWithoutErrataGetsTheBareIndexToReadAndWriteEnableToWrite)
{
    Card(kNoErrata);
    probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); });
    EXPECT_EQ((Log{sim::Out(1, 0xD008, 0x0A), sim::In(4, 0xD00C, kClock), sim::Out(1, 0xD008, 0x8A),
                   sim::Out(4, 0xD00C, 0x0085A00C)}),
              Window());
    EXPECT_EQ(0x0085A00Cu, Register());
    EXPECT_EQ(0u, sim::CardState(kBase).ignoredWrites);
}

TEST_F(Errata, Rv100WaitsAtLeast5msAfterEveryDataAccess)
{
    Card(0x5159);
    const unsigned long faults = probe.zykClockFaults();
    SetBoth();
    EXPECT_DOUBLE_EQ(299.75, Engine());
    EXPECT_EQ((Log{sim::Out(1, 0xD008, 0x0A), sim::In(4, 0xD00C, kClock), sim::Out(1, 0xD008, 0x8A),
                   sim::Out(4, 0xD00C, 0x0085A00C), sim::Out(1, 0xD008, 0x0A),
                   sim::In(4, 0xD00C, 0x0085A00C), sim::Out(1, 0xD008, 0x8A),
                   sim::Out(4, 0xD00C, kSet), sim::Out(1, 0xD008, 0x0A), sim::In(4, 0xD00C, kSet)}),
              Window());
    EXPECT_EQ(kSet, Register());
    const SimCardState state = sim::CardState(kBase);
    EXPECT_EQ(0u, state.hung);
    EXPECT_NE(SIM_NO_GAP, state.shortestGapUs) << "the card measured the waits";
    EXPECT_GE(state.shortestGapUs, 5000u) << "between each data access and the next access";
    EXPECT_EQ(faults, probe.zykClockFaults());
}

TEST_F(Errata, Rv200ReadsDataAndCrtcGenCntlAfterEveryIndexWrite)
{
    Card(0x5157);
    probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); });
    const Log window = Window();
    ASSERT_EQ(8u, window.size());
    // The dummy read's value is garbage by the chip's rule: its port and width are what count.
    const Log expected = {sim::Out(1, 0xD008, 0x0A),        sim::In(4, 0xD00C, window[1].value),
                          sim::In(4, 0xD050, 0),            sim::In(4, 0xD00C, kClock),
                          sim::Out(1, 0xD008, 0x8A),        sim::In(4, 0xD00C, window[5].value),
                          sim::In(4, 0xD050, 0),            sim::Out(4, 0xD00C, 0x0085A00C)};
    EXPECT_EQ(expected, window);
    EXPECT_EQ(0x0085A00Cu, Register());
}

// Every family of the table and an id outside it: both setters land, the read-back
// agrees, and the card saw no write without write enable, no hang and no garbage used.
TEST_F(Errata, EverySetterLandsOnEveryFamily)
{
    std::vector<uint16_t> ids = {kNoErrata};
    for (const ChipFamily& f : kChipFamilies) ids.push_back(f.id);
    for (uint16_t id : ids) {
        SCOPED_TRACE(testing::Message() << "device id " << std::hex << id);
        Card(id);
        const unsigned long faults = probe.zykClockFaults();
        SetBoth();
        probe.Bracket([&] { return probe.ATIAGP_GetMemClock(); });
        EXPECT_DOUBLE_EQ(299.75, Engine());
        EXPECT_EQ(kSet, Register());
        EXPECT_EQ(faults, probe.zykClockFaults());
        const SimCardState state = sim::CardState(kBase);
        EXPECT_EQ(0u, state.ignoredWrites);
        EXPECT_EQ(0u, state.hung);
        bool dummy = false;
        for (const sim::PortAccess& a : Window()) {
            if (a.port == 0xD008) EXPECT_TRUE(a.value == 0x0A || a.value == 0x8A) << a;
            if (a.port == 0xD050) dummy = true;
        }
        EXPECT_EQ(sim_family_errata(sim_family(id)) & SIM_ERRATUM_DUMMY_READS ? true : false, dummy);
    }
}

TEST_F(Errata, AFlakyReadIsReadAgainAndNeverWrittenBack)
{
    Card(kNoErrata);
    const unsigned long faults = probe.zykClockFaults();

    sim::MakeReadsFlaky(kBase, 1);
    Lines lines = TraceOf([&] { probe.ATIAGP_SetGPUClock(300); });
    EXPECT_TRUE(Has(lines, "ATIAGP_ReadInDoubt=<0XA0A00C>")) << "read once more";
    EXPECT_EQ(0x0085A00Cu, Register()) << "written from the good read";
    EXPECT_EQ(faults, probe.zykClockFaults()) << "a doubt the second read cleared";

    sim::MakeReadsFlaky(kBase, 2);
    sim::ClearAccessLog();
    lines = TraceOf([&] { probe.ATIAGP_SetMemClock(300); });
    EXPECT_TRUE(Has(lines, "ATIAGP_WriteRefused"));
    EXPECT_EQ(0x0085A00Cu, Register()) << "nothing written";
    for (const sim::PortAccess& a : Window()) EXPECT_FALSE(a.write && a.port == 0xD00C) << a;
    EXPECT_EQ(faults + 1, probe.zykClockFaults());

    // A getter in doubt reads once more and counts the doubt.
    sim::MakeReadsFlaky(kBase, 1);
    EXPECT_DOUBLE_EQ(299.75, Engine());
    EXPECT_EQ(faults + 2, probe.zykClockFaults());
}

TEST_F(Errata, TheDividerIsRecordedOnlyFromTwoReadsThatAgree)
{
    sim::Reset();
    sim::AddCard(1, 0, 0, 0x0A12, kBase | 1, kClock);

    // A card that never reads the same twice: no divider, so nothing is ever written.
    sim::MakeReadsFlaky(kBase, 20);
    const unsigned long faults = probe.zykClockFaults();
    trace.Clear();
    ASSERT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_Check(); }));
    const Lines lines = trace.Texts();
    EXPECT_TRUE(Has(lines, "ATI_DivisionInDoubt"));
    EXPECT_TRUE(Has(lines, "ATI_Division=<0X0><0>")) << "no garbled divider recorded";
    EXPECT_EQ(faults + 1, probe.zykClockFaults());
    sim::MakeReadsFlaky(kBase, 0);
    probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); });
    EXPECT_EQ(kClock, Register());
    EXPECT_EQ(faults + 2, probe.zykClockFaults()) << "the refused write counted";

    // One garbled read: the next two agree.
    sim::MakeReadsFlaky(kBase, 1);
    trace.Clear();
    ASSERT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_Check(); }));
    EXPECT_TRUE(Has(trace.Texts(), "ATI_Division=<0XC><12>"));
    EXPECT_EQ(faults + 2, probe.zykClockFaults());
    EXPECT_DOUBLE_EQ(360.5, Engine());
}

TEST_F(Errata, AReadBackThatDiffersFromTheWrittenDividerIsCounted)
{
    Card(kNoErrata);
    const unsigned long faults = probe.zykClockFaults();
    probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); });
    sim::SetIoRegister(kBase, 0x0A, 0x0090A00C);  // the engine field changed behind our back
    Lines lines = TraceOf([&] { probe.ATIAGP_GetGPUClock(); });
    EXPECT_TRUE(Has(lines, "ATIAGP_ReadBackDiffers=<0X85><0X90>"));
    EXPECT_EQ(faults + 1, probe.zykClockFaults());
    Engine();
    EXPECT_EQ(faults + 1, probe.zykClockFaults()) << "each write is read back once";
    probe.Bracket([&] { return probe.ATIAGP_GetMemClock(); });
    EXPECT_EQ(faults + 1, probe.zykClockFaults()) << "the memory field was not written";
}

}  // namespace

#ifdef VELOTUNE_DIRECT_ROAD
int main(int argc, char** argv)
{
    int restarted = RestartAsWindows98();
    if (restarted >= 0) return restarted;
    portemu_install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
#endif
