// The clock synthesiser of each chip family on the simulated card that behaves like the
// silicon: write enable, the dummy reads of RV200/RS200, the 5 ms of RV100/RS100/RS200,
// the R300 A11's read after each data access, values taken only from two agreeing reads,
// and reads in doubt that are never written back. Built twice: on the driver road, and
// (VELOTUNE_DIRECT_ROAD) on the 95 family's direct road through the port emulator.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "debug_output.h"
#include "families.h"
#include "probe_copy.h"
#include "radeon_ids.h"
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
const uint16_t kIndex = kBase + 8, kData = kBase + 12, kCrtc = kBase + 0x50, kConfig = kBase + 0xE0;

class Errata : public ::testing::Test {
protected:
    void Scenario(uint16_t deviceId, uint32_t clock = kClock, uint8_t revision = 0)
    {
        sim::Reset();
        sim::AddDevice(0, 0, 0, 0x71908086, 0);
        sim::AddCard(1, 0, 0, 0x0A12, kBase | 1, clock, ATI_VENDOR_ID, ZYK_SUBSYSTEM_VENDOR_ID,
                     deviceId, revision);
    }
    void Card(uint16_t deviceId, uint32_t clock = kClock, uint8_t revision = 0)
    {
        Scenario(deviceId, clock, revision);
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
    EXPECT_EQ((Log{sim::Out(1, 0xD008, 0x0A), sim::In(4, 0xD00C, kClock), sim::Out(1, 0xD008, 0x0A),
                   sim::In(4, 0xD00C, kClock), sim::Out(1, 0xD008, 0x8A),
                   sim::Out(4, 0xD00C, 0x0085A00C)}),
              Window())
        << "two reads that agree, then the write";
    EXPECT_EQ(0x0085A00Cu, Register());
    EXPECT_EQ(0u, sim::CardState(kBase).ignoredWrites);
}

TEST_F(Errata, Rv100WaitsAtLeast5msAfterEveryDataAccess)
{
    Card(0x5159);
    const unsigned long faults = probe.zykClockFaults();
    SetBoth();
    EXPECT_DOUBLE_EQ(299.75, Engine());
    const sim::PortAccess read = sim::Out(1, 0xD008, 0x0A), write = sim::Out(1, 0xD008, 0x8A);
    EXPECT_EQ((Log{read, sim::In(4, 0xD00C, kClock), read, sim::In(4, 0xD00C, kClock), write,
                   sim::Out(4, 0xD00C, 0x0085A00C), read, sim::In(4, 0xD00C, 0x0085A00C), read,
                   sim::In(4, 0xD00C, 0x0085A00C), write, sim::Out(4, 0xD00C, kSet), read,
                   sim::In(4, 0xD00C, kSet), read, sim::In(4, 0xD00C, kSet)}),
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
    ASSERT_EQ(12u, window.size());
    // The dummy read's value is garbage by the chip's rule: its port and width are what count.
    const Log expected = {sim::Out(1, 0xD008, 0x0A), sim::In(4, 0xD00C, window[1].value),
                          sim::In(4, 0xD050, 0),     sim::In(4, 0xD00C, kClock),
                          sim::Out(1, 0xD008, 0x0A), sim::In(4, 0xD00C, window[5].value),
                          sim::In(4, 0xD050, 0),     sim::In(4, 0xD00C, kClock),
                          sim::Out(1, 0xD008, 0x8A), sim::In(4, 0xD00C, window[9].value),
                          sim::In(4, 0xD050, 0),     sim::Out(4, 0xD00C, 0x0085A00C)};
    EXPECT_EQ(expected, window);
    EXPECT_EQ(0x0085A00Cu, Register());
    EXPECT_EQ(0u, sim::CardState(kBase).writesWithoutDummyReads);
}

// The rules a chip family needs, as the chips behave.
unsigned FamilyRules(const std::string& family)
{
    if (family == "RV100" || family == "RS100") return ERRATUM_DATA_DELAY;
    if (family == "RV200") return ERRATUM_DUMMY_READS;
    if (family == "RS200") return ERRATUM_DUMMY_READS | ERRATUM_DATA_DELAY;
    if (family == "R300") return ERRATUM_R300_A11;
    return 0;
}

struct ChipCase {
    uint16_t id;
    std::string family;
    uint8_t revision;
};

// Every id of the drivers' table (an R300 at revision A11 and at two others) and an id
// outside it: one bracket finds the card, sets both clocks and reads both back. Each gets
// its family's sequence and nothing else, both clocks land, nothing is counted, and the
// index register's upper bits (PPLL_DIV_SEL) are never changed.
TEST_F(Errata, EveryIdOfTheDriversTableGetsItsFamilysSequenceAndBothClocksLand)
{
    std::vector<ChipCase> cases = {{kNoErrata, "R128", 0}, {0x4E44, "R300", 1}, {0x4144, "R300", 0xF}};
    for (const RadeonId& r : kRadeonIds) cases.push_back({r.id, r.family, 0});
    for (const ChipCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "device id " << std::hex << c.id << " " << c.family
                                        << " revision " << int(c.revision));
        Scenario(c.id, kClock, c.revision);
        const unsigned long faults = probe.zykClockFaults();
        double engine = 0, memory = 0;
        probe.Bracket([&] {
            probe.ATIAGP_Check();
            probe.ATIAGP_SetGPUClock(300);
            probe.ATIAGP_SetMemClock(300);
            engine = probe.ATIAGP_GetGPUClock();
            memory = probe.ATIAGP_GetMemClock();
            return 0;
        });
        EXPECT_DOUBLE_EQ(299.75, engine);
        EXPECT_DOUBLE_EQ(299.75, memory);
        EXPECT_EQ(kSet, Register());
        EXPECT_EQ(faults, probe.zykClockFaults());

        const unsigned rules = FamilyRules(c.family);
        const bool delay = rules & ERRATUM_DATA_DELAY, dummy = rules & ERRATUM_DUMMY_READS;
        const bool r300 = rules & ERRATUM_R300_A11, a11 = r300 && c.revision == 0;
        const SimCardState state = sim::CardState(kBase);
        EXPECT_EQ(0u, state.ignoredWrites);
        EXPECT_EQ(0u, state.hung);
        EXPECT_EQ(0u, state.writesWithoutDummyReads);
        EXPECT_EQ(0u, state.indexUpperChanges);
        EXPECT_EQ(0u, state.a11Garbled) << "the last data access followed by the A11 read";
        if (delay) {
            EXPECT_GE(state.shortestGapUs, 5000u);
            EXPECT_NE(SIM_NO_GAP, state.shortestGapUs) << "the card measured the waits";
        }

        const Log w = Window();
        ASSERT_FALSE(w.empty());
        size_t crtcReads = 0, configReads = 0, a11Reads = 0;
        uint32_t index = 0;
        for (size_t i = 0; i < w.size(); i++) {
            const sim::PortAccess& a = w[i];
            if (a.port == kConfig) {
                configReads++;
                EXPECT_EQ(0u, i) << "CONFIG_CNTL before the first access to the clock register";
                EXPECT_EQ(sim::In(4, kConfig, uint32_t(c.revision & 0xF) << 16), a);
            } else if (a.port == kCrtc) {
                crtcReads++;
                ASSERT_GE(i, 2u);
                EXPECT_EQ(sim::In(4, kData, w[i - 1].value), w[i - 1]) << "the data dummy read first";
                EXPECT_EQ(kIndex, w[i - 2].port) << "right after the index write";
            } else if (a.port == kIndex) {
                EXPECT_TRUE(a.write && a.width == 1) << a;
                EXPECT_TRUE(a.value == 0x0A || a.value == 0x8A || (a11 && a.value == 0x00)) << a;
                if (a.value == 0x00) {
                    // The A11 read: one data read, then the index in use put back.
                    a11Reads++;
                    ASSERT_LT(i + 2, w.size());
                    EXPECT_EQ(kData, w[i - 1].port) << "after a data access";
                    EXPECT_EQ(sim::In(4, kData, 0), w[i + 1]);
                    EXPECT_EQ(sim::Out(1, kIndex, index), w[i + 2]);
                } else {
                    index = a.value;  // the index in use (the put-back repeats it)
                }
            } else if (a.port == kData && !(i >= 1 && w[i - 1] == sim::Out(1, kIndex, 0))) {
                // A data access of the clock register: on an A11 the index-0 read follows.
                if (a11) {
                    EXPECT_TRUE(i + 1 < w.size() && w[i + 1] == sim::Out(1, kIndex, 0)) << i;
                }
            }
        }
        EXPECT_EQ(r300 ? 1u : 0u, configReads);
        EXPECT_EQ(dummy, crtcReads > 0);
        EXPECT_EQ(dummy ? crtcReads : 0u, state.garbageReads) << "garbage only in dummy reads";
        EXPECT_EQ(a11, a11Reads > 0);
    }
}

// Reads that show the recorded R with another divider off, different read to read: a
// setter writes only from two reads that agree, so the other divider is never written
// back garbled; with no two agreeing among four reads nothing is written, and a getter
// answers from the last read and counts it.
TEST_F(Errata, PlausibleGarbageIsNeverWrittenBack)
{
    const struct {
        uint32_t garbled;  // reads in a row
        bool lands;
    } kCases[] = {{1, true}, {2, true}, {3, false}, {4, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.garbled << " garbled reads");
        Card(kNoErrata);
        const unsigned long faults = probe.zykClockFaults();
        sim::MakeReadsPlausible(kBase, c.garbled);
        Lines lines = TraceOf([&] { probe.ATIAGP_SetGPUClock(300); });
        EXPECT_EQ(c.lands ? 0x0085A00Cu : kClock, Register());
        EXPECT_EQ(!c.lands, Has(lines, "ATIAGP_WriteRefused"));
        EXPECT_EQ(faults + (c.lands ? 0 : 1), probe.zykClockFaults());
        sim::MakeReadsPlausible(kBase, c.garbled);
        probe.Bracket([&] { return probe.ATIAGP_SetMemClock(300); });
        EXPECT_EQ(c.lands ? kSet : kClock, Register());
        EXPECT_EQ(faults + (c.lands ? 0 : 2), probe.zykClockFaults());

        sim::MakeReadsPlausible(kBase, c.garbled);
        const double engine = Engine();
        EXPECT_EQ(faults + (c.lands ? 0 : 3), probe.zykClockFaults()) << "no two agreed: counted";
        if (c.garbled < 4) {
            EXPECT_DOUBLE_EQ(c.lands ? 299.75 : 360.5, engine) << "the last read";
        }
    }
}

// An R300 A11: CONFIG_CNTL read once before the clock register, and after every data
// access index 0, one data read, the index in use back.
TEST_F(Errata, R300A11ReadsDataAtIndex0AfterEveryDataAccess)
{
    Scenario(0x4E44);
    trace.Clear();
    ASSERT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_Check(); }));
    EXPECT_TRUE(Has(trace.Texts(), "ATI_ConfigCntl=<0X0>"));
    const sim::PortAccess zero = sim::Out(1, 0xD008, 0x00), cure = sim::In(4, 0xD00C, 0);
    const sim::PortAccess read = sim::Out(1, 0xD008, 0x0A), write = sim::Out(1, 0xD008, 0x8A);
    const Log readOnce = {read, sim::In(4, 0xD00C, kClock), zero, cure, read};
    Log expected = {sim::In(4, 0xD0E0, 0)};
    expected.insert(expected.end(), readOnce.begin(), readOnce.end());
    expected.insert(expected.end(), readOnce.begin(), readOnce.end());
    EXPECT_EQ(expected, Window());

    sim::ClearAccessLog();
    probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); });
    expected = readOnce;
    expected.insert(expected.end(), readOnce.begin(), readOnce.end());
    expected.insert(expected.end(), {write, sim::Out(4, 0xD00C, 0x0085A00C), zero, cure, write});
    EXPECT_EQ(expected, Window());
    EXPECT_EQ(0x0085A00Cu, Register());
    EXPECT_EQ(0u, sim::CardState(kBase).garbageReads);
}

TEST_F(Errata, AFlakyReadIsReadAgainAndNeverWrittenBack)
{
    Card(kNoErrata);
    const unsigned long faults = probe.zykClockFaults();

    sim::MakeReadsFlaky(kBase, 1);
    Lines lines = TraceOf([&] { probe.ATIAGP_SetGPUClock(300); });
    EXPECT_TRUE(Has(lines, "ATIAGP_ReadInDoubt=<0XA0A00C>")) << "read again";
    EXPECT_EQ(0x0085A00Cu, Register()) << "written from the two good reads";
    EXPECT_EQ(faults, probe.zykClockFaults()) << "a doubt the next reads cleared";

    sim::MakeReadsFlaky(kBase, 3);
    sim::ClearAccessLog();
    lines = TraceOf([&] { probe.ATIAGP_SetMemClock(300); });
    EXPECT_TRUE(Has(lines, "ATIAGP_WriteRefused"));
    EXPECT_EQ(0x0085A00Cu, Register()) << "nothing written";
    for (const sim::PortAccess& a : Window()) EXPECT_FALSE(a.write && a.port == 0xD00C) << a;
    EXPECT_EQ(faults + 1, probe.zykClockFaults());

    // A getter whose reads come to agree counts nothing; one whose reads never agree
    // answers from the last and counts it.
    sim::MakeReadsFlaky(kBase, 1);
    EXPECT_DOUBLE_EQ(299.75, Engine());
    EXPECT_EQ(faults + 1, probe.zykClockFaults());
    sim::MakeReadsFlaky(kBase, 4);
    Engine();
    EXPECT_EQ(faults + 2, probe.zykClockFaults());

    // Reads that agree on another R than the recorded one: nothing written either.
    sim::SetIoRegister(kBase, 0x0A, 0x0085A006);
    lines = TraceOf([&] { probe.ATIAGP_SetGPUClock(360); });
    EXPECT_TRUE(Has(lines, "ATIAGP_WriteRefused"));
    EXPECT_EQ(0x0085A006u, Register());
    EXPECT_EQ(faults + 3, probe.zykClockFaults());
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
