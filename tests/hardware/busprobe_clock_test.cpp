// Reading and programming register 0x0A: 27 MHz x divider / R, rounding, the halved
// memory clock of SSID 0x9A05, and fields left alone.
#include <gtest/gtest.h>
#include "debug_output.h"
#include "probe_copy.h"
#include "simscenario.h"

namespace {

using Lines = std::vector<std::string>;
const uint16_t kBase = 0xD000;

class Clocks : public ::testing::Test {
protected:
    // A card at bus 1 device 0 with the given SSID and register 0x0A, found once.
    void Card(uint16_t ssid, uint32_t reg0A)
    {
        sim::Reset();
        sim::AddCard(1, 0, 0, ssid, kBase | 1, reg0A);
        ASSERT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_Check(); }));
    }
    double Engine() { return probe.Bracket([&] { return probe.ATIAGP_GetGPUClock(); }); }
    double Memory() { return probe.Bracket([&] { return probe.ATIAGP_GetMemClock(); }); }
    void SetEngine(int mhz) { probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(mhz); }); }
    void SetMemory(int mhz) { probe.Bracket([&] { return probe.ATIAGP_SetMemClock(mhz); }); }
    uint32_t Register() { return sim::IoRegister(kBase, 0x0A); }

    // The trace of one call alone, inside an open bracket.
    template <typename F>
    Lines TraceOf(F call) { return probe.TraceInBracket(trace, call); }

    ProbeCopy probe;
    DebugOutputCapture trace;
};

}  // namespace

TEST_F(Clocks, EngineClockReadsAsTheWorkedValuesAtR12)
{
    Card(0x0A12, 0x00A0000C);
    EXPECT_DOUBLE_EQ(360.5, Engine());
    sim::SetIoRegister(kBase, 0x0A, 0x0085000C);
    EXPECT_DOUBLE_EQ(299.75, Engine());  // caller's 299
    sim::SetIoRegister(kBase, 0x0A, 0x00B2000C);
    EXPECT_DOUBLE_EQ(401.0, Engine());

    sim::SetIoRegister(kBase, 0x0A, 0x0085A00C);
    EXPECT_EQ((Lines{"\n----------", "ATIAGP_GetGPUClock", "test=<0X85A00C>", "test=<0X85>",
                     "test=<0X85><133>", "test1=<0X12B><299.25>"}),
              TraceOf([&] { probe.ATIAGP_GetGPUClock(); }));
    EXPECT_EQ((Lines{"\n----------", "ATIAGP_GetMemClock", "test=<0X85A00C>", "test=<0XA0>",
                     "test=<0XA0><160>", "test1=<0X168><360.00>"}),
              TraceOf([&] { probe.ATIAGP_GetMemClock(); }));
}

TEST_F(Clocks, SettingRoundsToTheNearestDividerAndReadsBackInSteps)
{
    Card(0x0A12, 0x00A0A00C);
    const struct { int mhz; uint32_t e; int readBack; } table[] = {
        {300, 133, 299}, {360, 160, 360}, {400, 178, 401}};
    for (const auto& row : table) {
        SetEngine(row.mhz);
        EXPECT_EQ(row.e, Register() >> 16 & 0xFF) << row.mhz;
        EXPECT_EQ(row.readBack, static_cast<int>(Engine())) << row.mhz;
    }
    SetEngine(300);
    EXPECT_EQ(0x0085A00Cu, Register());

    sim::SetIoRegister(kBase, 0x0A, 0x00A0A00C);
    EXPECT_EQ((Lines{"\nATIAGP_SetGPUClock=<300>", "test=<0XA0A00C>", "Value=<133>",
                     "test=<0X85A00C>"}),
              TraceOf([&] { probe.ATIAGP_SetGPUClock(300); }));
    EXPECT_EQ((Lines{"\nATIAGP_SetMemClock=<400>", "test=<0X85A00C>", "Value=<178>",
                     "test=<0X85B20C>"}),
              TraceOf([&] { probe.ATIAGP_SetMemClock(400); }));
}

TEST_F(Clocks, SettersChangeOnlyTheirOwnField)
{
    Card(0x0A12, 0xAB12340C);
    sim::ClearAccessLog();
    SetEngine(300);
    EXPECT_EQ(0xAB85340Cu, Register());
    SetMemory(300);
    EXPECT_EQ(0xAB85850Cu, Register());

    // Two index writes and reads that agree, then the index with write enable and the
    // write, per setter.
    std::vector<sim::PortAccess> window;
    for (const sim::PortAccess& a : sim::AccessLog())
        if (a.port >= kBase && a.port < kBase + 0x100) window.push_back(a);
    EXPECT_EQ((std::vector<sim::PortAccess>{{true, 1, 0xD008, 0x0A}, {false, 4, 0xD00C, 0xAB12340C},
                                            {true, 1, 0xD008, 0x0A}, {false, 4, 0xD00C, 0xAB12340C},
                                            {true, 1, 0xD008, 0x8A}, {true, 4, 0xD00C, 0xAB85340C},
                                            {true, 1, 0xD008, 0x0A}, {false, 4, 0xD00C, 0xAB85340C},
                                            {true, 1, 0xD008, 0x0A}, {false, 4, 0xD00C, 0xAB85340C},
                                            {true, 1, 0xD008, 0x8A}, {true, 4, 0xD00C, 0xAB85850C}}),
              window);
}

TEST_F(Clocks, Ssid9A05HalvesTheMemoryClock)
{
    Card(0x9A05, 0x00A0A006);  // R = 6
    EXPECT_DOUBLE_EQ(360.5, Memory());   // 27 x 160 / 6 = 720, halved
    EXPECT_DOUBLE_EQ(720.5, Engine());   // the engine clock is not halved
    SetMemory(300);
    EXPECT_EQ(133u, Register() >> 8 & 0xFF);  // 600 x 6 / 27 = 133.3
    EXPECT_EQ(299, static_cast<int>(Memory()));
    EXPECT_EQ((Lines{"\n----------", "ATIAGP_GetMemClock", "test=<0XA08506>", "test=<0X85>",
                     "test=<0X85><133>", "test1=<0X12B><299.25>"}),
              TraceOf([&] { probe.ATIAGP_GetMemClock(); }));
}

TEST_F(Clocks, DividerOutsideItsFieldIsClampedWithoutTouchingNeighbours)
{
    Card(0x0A12, 0x5A00000C);
    SetEngine(675);  // 675 x 12 / 27 = 300: more than 8 bits
    EXPECT_EQ(0x5AFF000Cu, Register());
    SetMemory(-50);
    EXPECT_EQ(0x5AFF000Cu, Register());
    SetMemory(700);
    EXPECT_EQ(0x5AFFFF0Cu, Register());
    SetEngine(-1);
    EXPECT_EQ(0x5A00FF0Cu, Register());
}

TEST_F(Clocks, ZeroReferenceDividerReadsAsNoClockAndIsNeverProgrammed)
{
    Card(0x0A12, 0x00A0A000);
    EXPECT_DOUBLE_EQ(0.5, Engine());
    EXPECT_DOUBLE_EQ(0.5, Memory());
    SetEngine(300);
    SetMemory(300);
    EXPECT_EQ(0x00A0A000u, Register());
}

TEST_F(Clocks, BeforeACardIsFoundNothingIsTouched)
{
    sim::DefaultScenario();
    sim::ClearAccessLog();
    EXPECT_DOUBLE_EQ(0.5, Engine());
    EXPECT_EQ(1, probe.Bracket([&] { return probe.ATIAGP_SetGPUClock(300); }));
    EXPECT_TRUE(sim::AccessLog().empty());
}

// The field's last value, the first past it, and below zero, on both fields: the
// register and the trace of each call, with neighbours that differ from every field.
TEST_F(Clocks, DividersAtTheEdgesOfTheFieldAreWrittenOrClampedExactly)
{
    Card(0x0A12, 0x5A3C7D0C);
    const struct {
        bool engine;
        int mhz;  // x 12 / 27, rounded: the divider
        uint32_t reg;
        Lines trace;
    } table[] = {
        {true, 574, 0x5AFF7D0C, {"\nATIAGP_SetGPUClock=<574>", "test=<0X5A3C7D0C>", "Value=<255>", "test=<0X5AFF7D0C>"}},
        {true, 576, 0x5AFF7D0C,
         {"\nATIAGP_SetGPUClock=<576>", "test=<0X5A3C7D0C>", "Value=<256>", "Value_Clamped=<255>", "test=<0X5AFF7D0C>"}},
        {true, -2, 0x5A007D0C,
         {"\nATIAGP_SetGPUClock=<-2>", "test=<0X5A3C7D0C>", "Value=<-1>", "Value_Clamped=<0>", "test=<0X5A007D0C>"}},
        {false, 574, 0x5A3CFF0C, {"\nATIAGP_SetMemClock=<574>", "test=<0X5A3C7D0C>", "Value=<255>", "test=<0X5A3CFF0C>"}},
        {false, 576, 0x5A3CFF0C,
         {"\nATIAGP_SetMemClock=<576>", "test=<0X5A3C7D0C>", "Value=<256>", "Value_Clamped=<255>", "test=<0X5A3CFF0C>"}},
        {false, -2, 0x5A3C000C,
         {"\nATIAGP_SetMemClock=<-2>", "test=<0X5A3C7D0C>", "Value=<-1>", "Value_Clamped=<0>", "test=<0X5A3C000C>"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << (row.engine ? "engine " : "memory ") << row.mhz);
        sim::SetIoRegister(kBase, 0x0A, 0x5A3C7D0C);
        EXPECT_EQ(row.trace, TraceOf([&] {
                      row.engine ? probe.ATIAGP_SetGPUClock(row.mhz) : probe.ATIAGP_SetMemClock(row.mhz);
                  }));
        EXPECT_EQ(row.reg, Register());
    }
}

// The paths that leave the card alone say so in the trace.
TEST_F(Clocks, NoCardAndNoDividerAreTraced)
{
    sim::DefaultScenario();
    EXPECT_EQ((Lines{"\n----------", "ATIAGP_GetGPUClock", "ATIAGP_NoCard"}),
              TraceOf([&] { probe.ATIAGP_GetGPUClock(); }));
    EXPECT_EQ((Lines{"\nATIAGP_SetMemClock=<300>", "ATIAGP_NoCard"}),
              TraceOf([&] { probe.ATIAGP_SetMemClock(300); }));

    Card(0x0A12, 0x00A0A000);
    EXPECT_EQ((Lines{"\nATIAGP_SetGPUClock=<300>", "test=<0XA0A000>", "ATIAGP_NoDivider"}),
              TraceOf([&] { probe.ATIAGP_SetGPUClock(300); }));
    EXPECT_EQ(0x00A0A000u, Register());
}

// Loading the library names the file it was loaded from.
TEST(ProbeLoading, TheFirstTraceNamesTheLoadedFile)
{
    sim::DefaultScenario();
    DebugOutputCapture trace;
    ProbeCopy probe;
    const Lines lines = trace.Texts();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("PCI_GetModule=<" + probe.dll + ">", lines[0]);
}
