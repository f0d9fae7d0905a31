// The machine model on its own: configuration mechanism 1, the cards' I/O windows,
// what nobody claims, and what the model reports to its host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "radeon_ids.h"
#include "simcard.h"

namespace {

class Machine : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&model, 0, sizeof model);
        sim_model_clear(&model);
        model.hooks.accessed = [](void* ctx, const SimAccess* a) {
            static_cast<Machine*>(ctx)->log.push_back(*a);
        };
        model.hooks.registerWritten = [](void* ctx, int slot, int index, uint32_t value) {
            static_cast<Machine*>(ctx)->stored.push_back({slot, index, value});
        };
        model.hooks.stateChanged = [](void* ctx, int slot, const SimCardState* state) {
            static_cast<Machine*>(ctx)->states.push_back(*state);
        };
        model.hooks.ctx = this;
    }

    void Put(int slot, int bus, int dev, int fn, uint32_t reg00, uint32_t reg2C, uint32_t reg14,
             bool card, uint32_t clock = 0)
    {
        uint32_t config[SIM_CONFIG_DWORDS] = {};
        uint32_t regs[SIM_CARD_REGISTERS] = {};
        config[0x00 / 4] = reg00;
        config[0x2C / 4] = reg2C;
        config[0x14 / 4] = reg14;
        regs[0x0A] = clock;
        ASSERT_TRUE(sim_model_put(&model, slot, SIM_LOCATION(bus, dev, fn), config, card, regs));
    }

    uint32_t Config(uint32_t address, uint16_t port = 0xCFC, int width = 4)
    {
        sim_out(&model, 0xCF8, 4, address);
        return sim_in(&model, port, width);
    }

    uint32_t CardRegister(uint16_t base, uint8_t index)
    {
        sim_out(&model, base + 8, 1, index);
        return sim_in(&model, base + 12, 4);
    }

    SimModel model;
    std::vector<SimAccess> log;
    struct Stored { int slot, index; uint32_t value; };
    std::vector<Stored> stored;
    std::vector<SimCardState> states;
};

// A chip of a family (by device id) as the only card, base 0xD000, R = 12; the
// model's clock is `now`, moved by the test.
class Chip : public Machine {
protected:
    void Card(uint16_t deviceId, uint32_t clock = 0x00A0A00C, uint8_t revision = 0)
    {
        uint32_t config[SIM_CONFIG_DWORDS] = {};
        uint32_t regs[SIM_CARD_REGISTERS] = {};
        config[0x00 / 4] = uint32_t(deviceId) << 16 | 0x1002;
        config[0x08 / 4] = 0x03000000u | revision;
        config[0x2C / 4] = 0x0A125A4B;
        config[0x14 / 4] = 0xD001;
        regs[0x0A] = clock;
        ASSERT_TRUE(sim_model_put(&model, 0, SIM_LOCATION(1, 0, 0), config, 1, regs));
        model.hooks.microseconds = [](void* ctx) { return static_cast<Chip*>(ctx)->now; };
    }
    const SimDevice& Device() const { return model.devices[0]; }
    uint32_t Read() { return sim_in(&model, 0xD00C, 4); }
    void Knob(uint32_t SimCardState::*knob, uint32_t count)
    {
        SimCardState state = Device().state;
        state.*knob = count;
        sim_model_set_state(&model, 0, &state);
    }
    uint64_t now = 1000000;
};

TEST_F(Chip, FamiliesComeFromTheDeviceIdOfAnAtiFunction)
{
    EXPECT_EQ(SIM_FAMILY_RV100, sim_family(0x5159));
    EXPECT_EQ(SIM_FAMILY_RV100, sim_family(0x4C59));
    EXPECT_EQ(SIM_FAMILY_RV200, sim_family(0x4C58));
    EXPECT_EQ(SIM_FAMILY_RS100, sim_family(0x4336));
    EXPECT_EQ(SIM_FAMILY_RS200, sim_family(0x4437));
    EXPECT_EQ(SIM_FAMILY_OTHER, sim_family(0x5246));
    EXPECT_EQ(SIM_ERRATUM_DUMMY_READS | SIM_ERRATUM_DATA_DELAY, sim_family_errata(SIM_FAMILY_RS200));
    EXPECT_EQ(0u, sim_family_errata(SIM_FAMILY_OTHER));
    Card(0x5157);
    EXPECT_EQ(SIM_FAMILY_RV200, Device().family);
    Put(1, 1, 1, 0, 0x515910DE, 0, 0xD101, true);  // another maker's id 5159
    EXPECT_EQ(SIM_FAMILY_OTHER, model.devices[1].family);
}

// The chip's own table against the drivers': every id of a family with errata filed as
// the drivers file it, every other id of the table a chip without errata.
TEST_F(Chip, TheFamilyTableIsTheDriversTable)
{
    const struct { const char* name; int family; } kRuled[] = {
        {"RV100", SIM_FAMILY_RV100}, {"RV200", SIM_FAMILY_RV200}, {"RS100", SIM_FAMILY_RS100},
        {"RS200", SIM_FAMILY_RS200}, {"R300", SIM_FAMILY_R300}};
    for (const RadeonId& r : kRadeonIds) {
        int want = SIM_FAMILY_OTHER;
        for (const auto& f : kRuled)
            if (std::string(f.name) == r.family) want = f.family;
        EXPECT_EQ(want, sim_family(r.id)) << std::hex << r.id << " " << r.family;
    }
}

TEST_F(Chip, ADataWriteWithoutWriteEnableIsIgnoredAndCounted)
{
    Card(0x5246);
    sim_out(&model, 0xD008, 1, 0x0A);
    sim_out(&model, 0xD00C, 4, 0x0085A00C);
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(1u, Device().state.ignoredWrites);
    ASSERT_EQ(1u, states.size()) << "the host hears of it";
    EXPECT_EQ(1u, states[0].ignoredWrites);
    EXPECT_TRUE(stored.empty());

    sim_out(&model, 0xD008, 1, 0xCA);  // register 0x0A (bits 0-5) with write enable
    sim_out(&model, 0xD00C, 4, 0x0085A00C);
    EXPECT_EQ(0x0085A00Cu, Device().registers[0x0A]);
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ(0x0A, stored[0].index);
    EXPECT_EQ(1u, Device().state.ignoredWrites);
}

TEST_F(Chip, Rv200ReadsGarbageUntilBothDummyReads)
{
    Card(0x5157);
    sim_out(&model, 0xD008, 1, 0x0A);
    const uint32_t a = Read(), b = Read();
    EXPECT_NE(0x0Cu, a & 0xFF) << "garbage never shows the divider";
    EXPECT_NE(0x0Cu, b & 0xFF);
    EXPECT_NE(a, b) << "different each read";
    sim_in(&model, 0xD050, 4);
    EXPECT_EQ(0x00A0A00Cu, Read()) << "data read, CRTC_GEN_CNTL read: the register";
    EXPECT_EQ(0x00A0A00Cu, Read());

    sim_out(&model, 0xD008, 1, 0x0A);
    sim_in(&model, 0xD050, 4);
    EXPECT_NE(0x00A0A00Cu, Read()) << "CRTC_GEN_CNTL alone is not enough: this is the dummy read";
    sim_in(&model, 0xD050, 4);
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(3u, Device().state.garbageReads);

    Card(0x5246);
    sim_out(&model, 0xD008, 1, 0x0A);
    EXPECT_EQ(0x00A0A00Cu, Read()) << "a chip without the erratum";
}

TEST_F(Chip, Rv100TouchedWithin5msOfADataAccessHangsForGood)
{
    Card(0x5159);
    sim_out(&model, 0xD008, 1, 0x0A);
    EXPECT_EQ(0x00A0A00Cu, Read());
    now += 5000;
    sim_out(&model, 0xD008, 1, 0x8A);
    now += 10;
    sim_out(&model, 0xD00C, 4, 0x0085A00C);
    EXPECT_EQ(0x0085A00Cu, Device().registers[0x0A]) << "index writes need no wait";
    EXPECT_EQ(0u, Device().state.hung);
    EXPECT_EQ(5000u, Device().state.shortestGapUs);

    now += 4999;
    sim_out(&model, 0xD008, 1, 0x0A);
    EXPECT_EQ(1u, Device().state.hung);
    EXPECT_EQ(4999u, Device().state.shortestGapUs);
    now += 100000;
    EXPECT_EQ(0xFFFFFFFFu, Read()) << "a hung chip reads all ones";
    sim_out(&model, 0xD008, 1, 0x8A);
    sim_out(&model, 0xD00C, 4, 0x00A0A00C);
    EXPECT_EQ(0x0085A00Cu, Device().registers[0x0A]) << "and loses writes";
    EXPECT_EQ(0xFFu, sim_in(&model, 0xD008, 1));
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(1u, states.back().hung);

    // A chip without the erratum takes any pace; so does one without a clock.
    Card(0x5246);
    sim_out(&model, 0xD008, 1, 0x0A);
    Read();
    sim_out(&model, 0xD008, 1, 0x0A);
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(0u, Device().state.hung);
    Card(0x4336);
    model.hooks.microseconds = nullptr;
    sim_out(&model, 0xD008, 1, 0x0A);
    Read();
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(0u, Device().state.hung);
}

TEST_F(Chip, TheFlakyKnobSpoilsTheNextReadsThatCount)
{
    Card(0x5157);
    SimCardState state;
    sim_state_fresh(&state);
    state.flakyReads = 1;
    sim_model_set_state(&model, 0, &state);
    sim_out(&model, 0xD008, 1, 0x0A);
    Read();  // the dummy read: garbage anyway, the knob waits
    sim_in(&model, 0xD050, 4);
    EXPECT_NE(0x00A0A00Cu, Read());
    EXPECT_EQ(0u, Device().state.flakyReads);
    EXPECT_EQ(0x00A0A00Cu, Read());
}

// The plausible knob: R intact, another field off, never the same garbage twice running,
// so two agreeing reads are the register.
TEST_F(Chip, PlausibleGarbageShowsTheDividerAndNeverRepeats)
{
    Card(0x5246);
    Knob(&SimCardState::plausibleReads, 40);
    sim_out(&model, 0xD008, 1, 0x0A);
    uint32_t before = 0;
    for (int i = 0; i < 40; i++) {
        const uint32_t g = Read();
        EXPECT_EQ(0x0Cu, g & 0xFF) << "R intact";
        EXPECT_NE(0x00A0A00Cu, g);
        EXPECT_TRUE((g ^ 0x00A0A00Cu) <= 0xFFFF00u) << std::hex << g << ": a divider off";
        EXPECT_NE(before, g) << "differs from the read before";
        before = g;
    }
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(40u, Device().state.garbageReads);
}

// The drivers never write a dummy-read chip's data port without both dummy reads since
// the index write; the chip counts such a write.
TEST_F(Chip, ADataWriteWithoutTheDummyReadsIsCounted)
{
    for (uint16_t id : {0x5157, 0x4137}) {
        Card(id);
        model.hooks.microseconds = nullptr;  // the RS200's 5 ms aside
        sim_out(&model, 0xD008, 1, 0x8A);
        sim_in(&model, 0xD00C, 4);
        sim_in(&model, 0xD050, 4);
        sim_out(&model, 0xD00C, 4, 0x0085A00C);
        EXPECT_EQ(0u, Device().state.writesWithoutDummyReads) << std::hex << id;
        sim_out(&model, 0xD008, 1, 0x8A);
        sim_in(&model, 0xD00C, 4);
        sim_out(&model, 0xD00C, 4, 0x0085A00C);
        EXPECT_EQ(1u, Device().state.writesWithoutDummyReads) << std::hex << id;
    }
    Card(0x5159);
    sim_out(&model, 0xD008, 1, 0x8A);
    sim_out(&model, 0xD00C, 4, 0x0085A00C);
    EXPECT_EQ(0u, Device().state.writesWithoutDummyReads) << "not a dummy-read chip";
}

// R300 A11: after a data access every read of the chip is garbage until a data read with
// index 0; another revision and other families read true.
TEST_F(Chip, R300A11ReadsGarbageAfterADataAccessUntilTheIndex0Read)
{
    Card(0x4E44);
    EXPECT_EQ(0u, sim_in(&model, 0xD0E0, 4)) << "CONFIG_CNTL: revision A11";
    EXPECT_EQ(SIM_ERRATUM_R300_A11, sim_card_errata(&model, 0));
    sim_out(&model, 0xD008, 1, 0x0A);
    EXPECT_EQ(0x00A0A00Cu, Read()) << "the first access reads true";
    EXPECT_EQ(1u, Device().state.a11Garbled);
    EXPECT_NE(0x00A0A00Cu, Read());
    EXPECT_NE(0u, sim_in(&model, 0xD0E0, 4)) << "other registers too";
    sim_out(&model, 0xD008, 1, 0x0B);
    Read();
    EXPECT_EQ(1u, Device().state.a11Garbled) << "another register is no cure";
    sim_out(&model, 0xD008, 1, 0x00);
    Read();
    EXPECT_EQ(0u, Device().state.a11Garbled);
    sim_out(&model, 0xD008, 1, 0x8A);
    sim_out(&model, 0xD00C, 4, 0x0085A00C);
    EXPECT_EQ(0x0085A00Cu, Device().registers[0x0A]) << "writes land";
    EXPECT_EQ(1u, Device().state.a11Garbled) << "and garble what follows";
    sim_out(&model, 0xD008, 1, 0x00);
    Read();
    sim_out(&model, 0xD008, 1, 0x0A);
    EXPECT_EQ(0x0085A00Cu, Read());

    Card(0x4E44, 0x00A0A00C, 0x01);
    EXPECT_EQ(0x00010000u, sim_in(&model, 0xD0E0, 4)) << "CONFIG_CNTL: another revision";
    EXPECT_EQ(0u, sim_card_errata(&model, 0));
    sim_out(&model, 0xD008, 1, 0x0A);
    Read();
    EXPECT_EQ(0x00A0A00Cu, Read());
    EXPECT_EQ(0u, Device().state.a11Garbled);
    Card(0x5246);
    sim_out(&model, 0xD008, 1, 0x0A);
    Read();
    EXPECT_EQ(0x00A0A00Cu, Read()) << "not an R300";
}

TEST_F(Machine, NothingThereReadsAllOnesAndSwallowsWrites)
{
    Put(0, 1, 0, 0, 0x52461002, 0x0A125A4B, 0xD001, true);
    EXPECT_EQ(0xFFFFFFFFu, Config(0x80020000)) << "bus 2 is empty";
    EXPECT_EQ(0xFFFFFFFFu, Config(0x80010100)) << "function 1 of the card is absent";
    EXPECT_EQ(0xFFFFFFFFu, Config(0x80010800)) << "device 1 is absent";
    EXPECT_EQ(0xFFu, sim_in(&model, 0x300, 1));
    EXPECT_EQ(0xFFFFu, sim_in(&model, 0x300, 2));
    EXPECT_EQ(0xFFFFFFFFu, sim_in(&model, 0x300, 4));
    sim_out(&model, 0x300, 4, 0x12345678);
    EXPECT_EQ(0xFFFFFFFFu, sim_in(&model, 0x300, 4));
    EXPECT_EQ(0xFFFFFFFFu, sim_in(&model, 0xD000, 4)) << "the card claims only index and data";
    EXPECT_EQ(0xFFFFFFFFu, sim_in(&model, 0xD010, 4));
}

TEST_F(Machine, ConfigurationAddressSelectsBusDeviceFunctionAndDwordRegister)
{
    Put(0, 0, 0, 0, 0x71908086, 0, 0, false);
    Put(1, 255, 31, 7, 0x11112222, 0x33334444, 0, false);
    Put(2, 1, 0, 0, 0x52461002, 0x0A125A4B, 0xD001, true);
    Put(3, 1, 0, 1, 0x52471002, 0, 0, false);
    EXPECT_EQ(0x71908086u, Config(0x80000000));
    EXPECT_EQ(0x11112222u, Config(0x80FFFF00));
    EXPECT_EQ(0x33334444u, Config(0x80FFFF2C));
    EXPECT_EQ(0x52461002u, Config(0x80010000));
    EXPECT_EQ(0x52471002u, Config(0x80010100));
    EXPECT_EQ(0x0A125A4Bu, Config(0x8001002F)) << "the low two bits are not part of the register";
    EXPECT_EQ(0x0000D001u, Config(0xFF010014)) << "bits 30-24 are ignored";
    EXPECT_EQ(0u, Config(0x80010040)) << "registers not in the scenario read 0";
    EXPECT_EQ(0xFFFFFFFFu, Config(0x00010000)) << "without the enable bit nothing answers";
    EXPECT_EQ(0x00010000u, sim_in(&model, 0xCF8, 4)) << "the address register reads back";
}

TEST_F(Machine, DataPortGivesByteAndWordSlicesOfTheAddressedDword)
{
    Put(0, 1, 0, 0, 0x52461002, 0x0A125A4B, 0xD001, true);
    sim_out(&model, 0xCF8, 4, 0x8001002C);
    EXPECT_EQ(0x4Bu, sim_in(&model, 0xCFC, 1));
    EXPECT_EQ(0x5Au, sim_in(&model, 0xCFD, 1));
    EXPECT_EQ(0x12u, sim_in(&model, 0xCFE, 1));
    EXPECT_EQ(0x0Au, sim_in(&model, 0xCFF, 1));
    EXPECT_EQ(0x5A4Bu, sim_in(&model, 0xCFC, 2));
    EXPECT_EQ(0x0A12u, sim_in(&model, 0xCFE, 2));
    EXPECT_EQ(0xFFFFFFFFu, sim_in(&model, 0xCFD, 4)) << "a dword may not run past 0xCFF";
    EXPECT_EQ(0xFFFFu, sim_in(&model, 0xCFF, 2));
}

TEST_F(Machine, OnlyADwordAtCf8SetsTheAddressAndConfigurationWritesAreDropped)
{
    Put(0, 1, 0, 0, 0x52461002, 0x0A125A4B, 0xD001, true);
    sim_out(&model, 0xCF8, 4, 0x80010000);
    sim_out(&model, 0xCF8, 1, 0x2C);
    sim_out(&model, 0xCFA, 2, 0x0001);
    EXPECT_EQ(0x80010000u, sim_in(&model, 0xCF8, 4));
    EXPECT_EQ(0xFFu, sim_in(&model, 0xCF8, 1));
    sim_out(&model, 0xCFC, 4, 0xDEADBEEF);
    EXPECT_EQ(0x52461002u, sim_in(&model, 0xCFC, 4));
}

TEST_F(Machine, CardWindowComesFromRegister14)
{
    Put(0, 1, 0, 0, 0x52461002, 0x0A125A4B, 0x1234E001, true, 0x00A0A00C);
    Put(1, 1, 1, 0, 0x52461002, 0x0A125A4B, 0xC000, true, 0x11111111);   // memory BAR: no window
    Put(2, 2, 0, 0, 0x813910EC, 0x813910EC, 0xB001, false);              // not a card
    EXPECT_EQ(0x00A0A00Cu, CardRegister(0xE000, 0x0A)) << "the high 16 bits are dropped";
    EXPECT_EQ(0xFFFFFFFFu, CardRegister(0xC000, 0x0A));
    EXPECT_EQ(0xFFFFFFFFu, CardRegister(0xB000, 0x0A));
    EXPECT_EQ(0, sim_model_find_card(&model, 0xE000));
    EXPECT_EQ(-1, sim_model_find_card(&model, 0xC000));
    EXPECT_EQ(-1, sim_model_find_card(&model, 0xB000));
}

TEST_F(Machine, IndexSelectsTheRegisterThatTheDataPortReadsAndWrites)
{
    Put(0, 1, 0, 0, 0x52461002, 0x0A125A4B, 0xD001, true, 0x00A0A00C);
    Put(1, 1, 2, 0, 0x52461002, 0x0A125A4B, 0xD101, true, 0x00303006);
    sim_out(&model, 0xD008, 1, 0x8A);  // register 0x0A with write enable
    sim_out(&model, 0xD108, 1, 0x0B);
    EXPECT_EQ(0x8Au, sim_in(&model, 0xD008, 1)) << "each card keeps its own index";
    EXPECT_EQ(0x00A0A00Cu, sim_in(&model, 0xD00C, 4));
    EXPECT_EQ(0xA0u, sim_in(&model, 0xD00E, 1));
    EXPECT_EQ(0x00A0u, sim_in(&model, 0xD00E, 2));
    sim_out(&model, 0xD00C, 4, 0x0085A00C);
    sim_out(&model, 0xD00D, 1, 0x90);
    sim_out(&model, 0xD00E, 2, 0x1286);
    EXPECT_EQ(0x1286900Cu, sim_in(&model, 0xD00C, 4)) << "narrow writes replace their slice";
    EXPECT_EQ(0x00303006u, CardRegister(0xD100, 0x0A)) << "the other card is untouched";
    EXPECT_EQ(0x38Au, sim_in(&model, 0xD008, 4)) << "PPLL_DIV_SEL kept by the byte write";
    EXPECT_EQ(0u, model.devices[0].state.indexUpperChanges);
    sim_out(&model, 0xD008, 4, 0xFFFFFF05);
    EXPECT_EQ(0xFFFFFF05u, sim_in(&model, 0xD008, 4)) << "a dword write clobbers bits 8-31";
    EXPECT_EQ(1u, model.devices[0].state.indexUpperChanges);
    sim_out(&model, 0xD009, 1, 0x0A);
    EXPECT_EQ(0x05u, sim_in(&model, 0xD008, 1)) << "base + 9 does not select";
    EXPECT_EQ(2u, model.devices[0].state.indexUpperChanges) << "but changes PPLL_DIV_SEL";
    sim_out(&model, 0xD008, 2, 0x0A05);
    EXPECT_EQ(2u, model.devices[0].state.indexUpperChanges) << "the same bits again: no change";

    ASSERT_EQ(3u, stored.size()) << "every data write is handed to the host";
    EXPECT_EQ(0, stored[0].slot);
    EXPECT_EQ(0x0A, stored[0].index);
    EXPECT_EQ(0x0085A00Cu, stored[0].value);
    EXPECT_EQ(0x1286900Cu, stored[2].value) << "the whole register after a narrow write";
}

TEST_F(Machine, ReportsEveryAccessInOrderWithTheValueSeen)
{
    Put(0, 1, 0, 0, 0x52461002, 0x0A125A4B, 0xD001, true, 0x00A0A00C);
    sim_out(&model, 0xCF8, 4, 0x80010000);
    sim_in(&model, 0xCFC, 4);
    sim_out(&model, 0xD008, 1, 0x10A);
    sim_in(&model, 0xD00C, 4);
    sim_in(&model, 0x80, 2);
    ASSERT_EQ(5u, log.size());
    auto is = [](const SimAccess& a, int write, int width, uint16_t port, uint32_t value) {
        return a.write == write && a.width == width && a.port == port && a.value == value;
    };
    EXPECT_TRUE(is(log[0], 1, 4, 0xCF8, 0x80010000));
    EXPECT_TRUE(is(log[1], 0, 4, 0xCFC, 0x52461002));
    EXPECT_TRUE(is(log[2], 1, 1, 0xD008, 0x0A)) << "a byte write carries its low 8 bits";
    EXPECT_TRUE(is(log[3], 0, 4, 0xD00C, 0x00A0A00C));
    EXPECT_TRUE(is(log[4], 0, 2, 0x0080, 0xFFFF));
    EXPECT_TRUE(stored.empty()) << "index writes and reads change no register";
}

TEST(AccessLine, RoundTripsAndRejectsGarbage)
{
    SimAccess a = {1, 2, 0xD00E, 0x1286};
    char line[SIM_LOG_LINE];
    sim_format_access(&a, line);
    EXPECT_EQ("W2 D00E 00001286\n", std::string(line, SIM_LOG_LINE));
    SimAccess back = {};
    ASSERT_TRUE(sim_parse_access(line, SIM_LOG_LINE, &back));
    EXPECT_EQ(1, back.write);
    EXPECT_EQ(2, back.width);
    EXPECT_EQ(0xD00E, back.port);
    EXPECT_EQ(0x1286u, back.value);
    EXPECT_FALSE(sim_parse_access("R3 0CF8 00000000\n", SIM_LOG_LINE, &back));
    EXPECT_FALSE(sim_parse_access("X4 0CF8 00000000\n", SIM_LOG_LINE, &back));
    EXPECT_FALSE(sim_parse_access("R4 0CG8 00000000\n", SIM_LOG_LINE, &back));
    EXPECT_FALSE(sim_parse_access("R4 0CF8 0000", 12, &back));
}

}  // namespace
