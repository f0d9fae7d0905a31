// The request layer of GenPort1 on a model machine: the card, a storage controller, the
// keyboard controller, the CMOS, the reset ports, a display device of another maker,
// an ATI device that is not a display and ATI displays whose window is not the card's.
// Configuration space is read through the HAL only; only the cards' clock ports may
// ever be reached, and a refused request reaches nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>
#include <winioctl.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "access.h"
#include "genport_ioctl.h"
#include "port_policy.h"
#include "requests.h"
#include "simcard.h"

namespace {

struct Access {
    bool write;
    int width;
    uint16_t port;
    bool operator<(const Access& o) const
    {
        return std::tie(port, write, width) < std::tie(o.port, o.write, o.width);
    }
    bool operator==(const Access& o) const
    {
        return port == o.port && write == o.write && width == o.width;
    }
};

std::ostream& operator<<(std::ostream& os, const Access& a)
{
    return os << (a.write ? "out" : "in") << a.width * 8 << " 0x" << std::hex << a.port
              << std::dec;
}

constexpr uint32_t kDisplay = 0x03000000, kStorage = 0x01010000, kMultimedia = 0x04000000;
constexpr uint32_t kMultiFunction = 0x00800000;  // header type bit 7, register 0x0C
constexpr uint32_t kDecoding = 0x00000003;       // command register: I/O and memory on

struct HalRead {
    int bus, dev, fn, reg;
    bool operator==(const HalRead& o) const
    {
        return bus == o.bus && dev == o.dev && fn == o.fn && reg == o.reg;
    }
};

std::ostream& operator<<(std::ostream& os, const HalRead& r)
{
    return os << "hal " << r.bus << ":" << r.dev << "." << r.fn << " reg 0x" << std::hex << r.reg
              << std::dec;
}

// The machine: PCI and the cards' windows from the model, its configuration space also
// through a HAL function, and the motherboard's legacy ports as plain registers. Every
// port access, HAL read and configuration answer is recorded.
class Machine {
public:
    Machine()
    {
        sim_model_clear(&model);
        model.hooks.accessed = [](void* ctx, const SimAccess* a) {
            static_cast<Machine*>(ctx)->log.push_back({a->write != 0, a->width, a->port});
        };
        model.hooks.ctx = this;
        for (uint16_t p = 0x1F0; p <= 0x1F7; p++)
            legacy[p] = 0x50;  // IDE status: ready
        legacy[0x60] = 0xFA;
        legacy[0x64] = 0x1C;
        legacy[0x70] = 0x0B;
        legacy[0x71] = 0x02;
        legacy[0x92] = 0x02;  // fast A20 on, reset bit clear
        legacy[0xCF9] = 0x00;
        saved = legacy;
        ports = {in8, in16, in32, out8, out16, out32, config, answered, this};
    }

    void Put(int slot, int bus, int dev, int fn, uint32_t ids, uint32_t classCode,
             std::map<int, uint32_t> bars, uint32_t header = 0, bool card = false)
    {
        uint32_t config[SIM_CONFIG_DWORDS] = {};
        config[0] = ids;
        config[0x08 / 4] = classCode;
        config[0x04 / 4] = kDecoding;
        config[0x0C / 4] = header;
        for (auto& [reg, value] : bars)
            config[reg / 4] = value;
        sim_model_put(&model, slot, SIM_LOCATION(bus, dev, fn), config, card, nullptr);
    }

    // The scenario of the tests below.
    void Populate()
    {
        Put(0, 0, 0, 0, 0x71908086, 0x06000000, {});                       // host bridge
        Put(1, 1, 0, 0, 0x52461002, kDisplay, {{0x10, 0xE0000008}, {0x14, 0xD001}}, 0, true);
        Put(2, 0, 7, 1, 0x71118086, kStorage, {{0x20, 0xF001}});            // IDE, legacy ports
        Put(3, 0, 7, 0, 0x71108086, 0x06010000, {}, kMultiFunction);        // its ISA bridge
        Put(4, 2, 0, 0, 0x002010DE, kDisplay, {{0x14, 0xE001}}, 0, true);   // another maker's
        Put(5, 2, 1, 0, 0x47421002, kMultimedia, {{0x14, 0xB001}}, 0, true);  // ATI, no display
        // ATI displays as functions 2 and 3 of a multi-function device: function 2 has a
        // 64-bit memory window in 0x10, so 0x14 (bit 0 set) is its upper half, and an
        // I/O window in 0x18, which is not the register the card's window is read from;
        // function 3 has its window in 0x14.
        Put(6, 3, 4, 0, 0x12345678, 0x0B400000, {}, kMultiFunction);
        Put(7, 3, 4, 2, 0x51591002, kDisplay, {{0x10, 0x0000000C}, {0x14, 0x0000A001},
                                                {0x18, 0xA401}});
        Put(14, 3, 4, 3, 0x51591002, kDisplay, {{0x14, 0x9C01}});
        // Function 1 of a device whose function 0 is absent is not looked at.
        Put(8, 4, 2, 1, 0x51591002, kDisplay, {{0x14, 0x9001}});
        // Behind a single-function device, function 1 is a ghost (devices that ignore the
        // function number answer there too): not looked at either.
        Put(12, 6, 0, 0, 0x813910EC, 0x02000000, {});
        Put(13, 6, 0, 1, 0x51591002, kDisplay, {{0x14, 0x9801}});
        // Unassigned and misplaced windows are not taken.
        Put(9, 5, 0, 0, 0x51591002, kDisplay, {{0x14, 0x0001}});
        Put(10, 5, 1, 0, 0x51591002, kDisplay, {{0x14, 0x0CF1}});
        // Nor a window the card does not decode, one off the card's 256-byte alignment,
        // one in 0x10 instead of 0x14, or a memory window in 0x14.
        Put(15, 7, 0, 0, 0x51591002, kDisplay, {{0x04, 0x0002}, {0x14, 0x9401}});
        Put(16, 7, 1, 0, 0x51591002, kDisplay, {{0x14, 0x9541}});
        Put(17, 7, 2, 0, 0x51591002, kDisplay, {{0x10, 0x9601}});
        Put(18, 7, 3, 0, 0x51591002, kDisplay, {{0x14, 0x00009700}});
        // The high half of register 0x14 is dropped, as the clock library drops it.
        Put(19, 7, 4, 0, 0x51591002, kDisplay, {{0x14, 0x1234C001}});
        Put(20, 5, 2, 0, 0x51591002, kDisplay, {{0x14, 0x0061}});  // over the keyboard's ports
        // Bus 255 is scanned too.
        Put(11, 255, 31, 0, 0x51591002, kDisplay, {{0x14, 0x8801}});
    }

    GenPortStatus Request(uint32_t code, const void* in, uint32_t inLength, void* out,
                          uint32_t outLength, uint32_t* returned = nullptr)
    {
        uint32_t got = 0xDEAD;
        GenPortStatus status = genport_request(&policy, &ports, &configAddress, code, in, inLength,
                                               out, outLength, &got);
        if (returned)
            *returned = got;
        return status;
    }

    bool LegacyUntouched() const { return legacy == saved; }

    SimModel model;
    GenPortPolicy policy = {};
    GenPortPorts ports;
    uint32_t configAddress = 0;           // the handle's 0xCF8
    std::vector<Access> log;              // what reached the ports
    std::vector<HalRead> hal;             // the HAL's configuration reads
    std::vector<SimAccess> answers;       // the 0xCF8/0xCFC dwords requests saw
    std::map<std::tuple<int, int, int, int>, uint32_t> halOnly;  // what only the HAL shows
    std::map<uint16_t, uint8_t> legacy, saved;

private:
    static Machine* Of(void* ctx) { return static_cast<Machine*>(ctx); }
    // The legacy registers take the whole access at their first port.
    static bool Legacy(void* ctx, uint16_t port, int width, bool write, uint32_t* value)
    {
        Machine* m = Of(ctx);
        auto it = m->legacy.find(port);
        if (it == m->legacy.end())
            return false;
        m->log.push_back({write, width, port});
        if (write)
            it->second = uint8_t(*value);
        else
            *value = it->second;
        return true;
    }
    static uint32_t In(void* ctx, uint16_t port, int width)
    {
        uint32_t v;
        return Legacy(ctx, port, width, false, &v) ? v : sim_in(&Of(ctx)->model, port, width);
    }
    static void Out(void* ctx, uint16_t port, int width, uint32_t v)
    {
        if (!Legacy(ctx, port, width, true, &v))
            sim_out(&Of(ctx)->model, port, width, v);
    }
    static uint8_t in8(void* c, uint16_t p) { return uint8_t(In(c, p, 1)); }
    static uint16_t in16(void* c, uint16_t p) { return uint16_t(In(c, p, 2)); }
    static uint32_t in32(void* c, uint16_t p) { return In(c, p, 4); }
    static void out8(void* c, uint16_t p, uint8_t v) { Out(c, p, 1, v); }
    static void out16(void* c, uint16_t p, uint16_t v) { Out(c, p, 2, v); }
    static void out32(void* c, uint16_t p, uint32_t v) { Out(c, p, 4, v); }
    static uint32_t config(void* c, int bus, int dev, int fn, int reg)
    {
        Machine* m = Of(c);
        m->hal.push_back({bus, dev, fn, reg});
        auto it = m->halOnly.find({bus, dev, fn, reg});
        if (it != m->halOnly.end())
            return it->second;
        return sim_config_read(&m->model, SIM_LOCATION(bus, dev, fn), reg);
    }
    static void answered(void* c, int write, uint16_t port, uint32_t value)
    {
        Of(c)->answers.push_back({write, 4, port, value});
    }
};

struct Kind {
    uint32_t code;
    bool write;
    int width;
};
const Kind kKinds[] = {
    {GENPORT_IOCTL_READ_BYTE, false, 1},  {GENPORT_IOCTL_READ_WORD, false, 2},  {GENPORT_IOCTL_READ_DWORD, false, 4},
    {GENPORT_IOCTL_WRITE_BYTE, true, 1},  {GENPORT_IOCTL_WRITE_WORD, true, 2},  {GENPORT_IOCTL_WRITE_DWORD, true, 4},
};

// One well-formed request of a kind at a port.
GenPortStatus Send(Machine& m, const Kind& k, uint32_t port, uint32_t value = 0x5A5A5A5A)
{
    uint8_t buffer[8];
    std::memcpy(buffer, &port, 4);
    std::memcpy(buffer + 4, &value, 4);
    return k.write ? m.Request(k.code, buffer, 4 + k.width, nullptr, 0)
                   : m.Request(k.code, buffer, 4, buffer, k.width);
}

class Policy : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.Populate();
        m.model.configAddress = 0x80000010;
        genport_policy_scan(&m.policy, &m.ports);
        scanLog = m.log;
        scanHal = m.hal.size();
        m.log.clear();
        m.hal.clear();
    }
    Machine m;
    std::vector<Access> scanLog;
    size_t scanHal = 0;
};

TEST_F(Policy, TheScanTakesOnlyTheCardsDecodedAlignedWindowThroughTheHalAlone)
{
    std::set<uint16_t> found(m.policy.base, m.policy.base + m.policy.windows);
    EXPECT_EQ((std::set<uint16_t>{0xD000, 0x9C00, 0xC000, 0x8800}), found);
    EXPECT_EQ(4, m.policy.windows) << "each window once";

    EXPECT_GT(scanHal, 256u * 32u) << "every bus and device asked through the HAL";
    EXPECT_TRUE(scanLog.empty()) << "no port touched, 0xCF8/0xCFC included: " << scanLog.size();
    EXPECT_EQ(0x80000010u, m.model.configAddress) << "the machine's configuration address untouched";
    EXPECT_TRUE(m.LegacyUntouched());
}

TEST_F(Policy, MoreWindowsThanTheTableHoldsKeepTheFirstOnes)
{
    Machine big;
    for (int slot = 0; slot < GENPORT_MAX_WINDOWS + 4; slot++)
        big.Put(slot, 1, slot, 0, 0x52461002, kDisplay, {{0x14, uint32_t(0x1000 + 0x100 * slot) | 1}});
    genport_policy_scan(&big.policy, &big.ports);
    ASSERT_EQ(GENPORT_MAX_WINDOWS, big.policy.windows);
    EXPECT_EQ(0x1000, big.policy.base[0]);
    EXPECT_TRUE(genport_policy_allows(&big.policy, 0x1000 + 0x100 * (GENPORT_MAX_WINDOWS - 1) + 12, 4, 0, 0));
    EXPECT_FALSE(genport_policy_allows(&big.policy, 0x1000 + 0x100 * GENPORT_MAX_WINDOWS + 12, 4, 0, 0));
}

// The index port is write-only: a read is refused whatever value a caller hands the
// check, the clock register's index bytes included.
TEST_F(Policy, TheIndexPortIsNeverRead)
{
    Machine one;
    one.Put(0, 1, 0, 0, 0x52461002, kDisplay, {{0x14, 0x1000u | 1}});
    genport_policy_scan(&one.policy, &one.ports);
    ASSERT_EQ(1, one.policy.windows);
    EXPECT_TRUE(genport_policy_allows(&one.policy, 0x1008, 1, 1, 0x0A)) << "the write is the way in";
    for (uint32_t value : {0x0Au, 0x8Au, 0u})
        EXPECT_FALSE(genport_policy_allows(&one.policy, 0x1008, 1, 0, value)) << std::hex << value;
}

TEST_F(Policy, TheCardIsReachedAsBusprobeReachesIt)
{
    const Kind& writeByte = kKinds[3];
    const Kind& readDword = kKinds[2];
    const Kind& writeDword = kKinds[5];
    uint32_t address = 0x80010000;
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeDword, 0xCF8, address));
    uint8_t buffer[4] = {0xFC, 0x0C, 0, 0};
    uint32_t returned = 0;
    ASSERT_EQ(GENPORT_STATUS_SUCCESS, m.Request(GENPORT_IOCTL_READ_DWORD, buffer, 4, buffer, 4, &returned))
        << "the record and the value share one buffer";
    EXPECT_EQ(4u, returned);
    uint32_t ids;
    std::memcpy(&ids, buffer, 4);
    EXPECT_EQ(0x52461002u, ids);

    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeByte, 0xD008, 0x8A));
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeDword, 0xD00C, 0x00A0A00C));
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeByte, 0xD008, 0x0A));
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, readDword, 0xD00C));
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, readDword, 0xD050)) << "the chips' dummy read";
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, readDword, 0xD0E0)) << "CONFIG_CNTL: the revision";
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeByte, 0xD008, 0x00)) << "the A11 read";
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, readDword, 0xD00C));
    EXPECT_EQ(0x00A0A00Cu, m.model.devices[1].registers[0x0A]);
    EXPECT_EQ((std::vector<Access>{{true, 1, 0xD008}, {true, 4, 0xD00C}, {true, 1, 0xD008},
                                   {false, 4, 0xD00C}, {false, 4, 0xD050}, {false, 4, 0xD0E0},
                                   {true, 1, 0xD008}, {false, 4, 0xD00C}}),
              m.log)
        << "the configuration dwords never reach the ports";
    EXPECT_EQ((std::vector<HalRead>{{1, 0, 0, 0x00}}), m.hal);
    ASSERT_EQ(2u, m.answers.size()) << "both configuration dwords told to the backend";
    EXPECT_EQ(std::make_tuple(1, 0xCF8, 0x80010000u),
              std::make_tuple(m.answers[0].write, int(m.answers[0].port), m.answers[0].value));
    EXPECT_EQ(std::make_tuple(0, 0xCFC, 0x52461002u),
              std::make_tuple(m.answers[1].write, int(m.answers[1].port), m.answers[1].value));
}

// busprobe's two requests, 0xCF8 written and 0xCFC read, become one HAL read of the
// register the handle's address names; the machine's own address register is never
// written, so the HAL's configuration cycles cannot be turned elsewhere.
TEST_F(Policy, ConfigurationDwordsAreAnsweredByTheHalForTheHandlesAddress)
{
    const Kind& readDword = kKinds[2];
    const Kind& writeDword = kKinds[5];
    auto readData = [&](uint32_t* shadow) {
        uint32_t port = 0xCFC, value = 0xDEAD, returned = 0;
        EXPECT_EQ(GENPORT_STATUS_SUCCESS,
                  genport_request(&m.policy, &m.ports, shadow, GENPORT_IOCTL_READ_DWORD, &port, 4,
                                  &value, 4, &returned));
        return value;
    };
    m.halOnly[{6, 31, 0, 0x14}] = 0x13572468;    // somewhere the ports could not show it
    m.halOnly[{1, 0, 0, 0x2C}] = 0x0A125A4B;
    m.model.configAddress = 0x80000000;          // the machine's register: the host bridge

    EXPECT_EQ(0xFFFFFFFFu, readData(&m.configAddress)) << "a fresh handle's address is 0";
    EXPECT_TRUE(m.hal.empty()) << "nothing asked while the enable bit is clear";

    // Bits 30-24 and 1-0 of the address are not part of it.
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeDword, 0xCF8, 0xFF06F817));
    EXPECT_EQ(0x13572468u, readData(&m.configAddress));
    EXPECT_EQ((std::vector<HalRead>{{6, 31, 0, 0x14}}), m.hal);
    uint8_t back[4] = {0xF8, 0x0C, 0, 0};
    ASSERT_EQ(GENPORT_STATUS_SUCCESS, m.Request(GENPORT_IOCTL_READ_DWORD, back, 4, back, 4));
    uint32_t readBack;
    std::memcpy(&readBack, back, 4);
    EXPECT_EQ(0xFF06F817u, readBack) << "0xCF8 reads back the handle's address";

    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeDword, 0xCF8, 0x7F01002C));
    EXPECT_EQ(0xFFFFFFFFu, readData(&m.configAddress)) << "enable bit clear";
    EXPECT_EQ(1u, m.hal.size());

    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, writeDword, 0xCF8, 0x8001002C));
    uint32_t other = 0;  // another handle's address is its own
    EXPECT_EQ(0xFFFFFFFFu, readData(&other));
    EXPECT_EQ(0x0A125A4Bu, readData(&m.configAddress)) << "the card's subsystem register";
    EXPECT_EQ(0x8001002Cu, m.configAddress);

    EXPECT_TRUE(m.log.empty()) << "no port touched: " << m.log.size();
    EXPECT_EQ(0x80000000u, m.model.configAddress);
    EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Send(m, writeDword, 0xCFC, 0x12345678))
        << "configuration space stays read-only";
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, Send(m, readDword, 0xCF8));
}

// Through the shadow only the scan's registers reach the HAL: function 0 on buses 1 to
// 6, registers 0x00, 0x14 and 0x2C. Every other register answers as an absent device,
// is counted, and is told to the backend as answered.
TEST_F(Policy, OnlyTheScansRegistersAreReadEveryOtherReadsAllOnesAndIsCounted)
{
    auto expected = [](int bus, int dev, int fn, int reg) {
        return 0x10000000u | uint32_t(bus) << 16 | uint32_t(dev) << 11 | uint32_t(fn) << 8 |
               uint32_t(reg);
    };
    const int buses[] = {0, 1, 2, 5, 6, 7, 128, 255}, devices[] = {0, 7, 31};
    for (int bus : buses)
        for (int dev : devices)
            for (int fn = 0; fn < 8; fn++)
                for (int reg = 0; reg < 0x100; reg += 4)
                    m.halOnly[{bus, dev, fn, reg}] = expected(bus, dev, fn, reg);

    int allowed = 0;
    for (int bus : buses)
        for (int dev : devices)
            for (int fn = 0; fn < 8; fn++)
                for (int reg = 0; reg < 0x100; reg += 4) {
                    const bool scans = bus >= 1 && bus <= 6 && fn == 0 &&
                                       (reg == 0x00 || reg == 0x14 || reg == 0x2C);
                    const uint32_t refusedBefore = genport_refused_config_reads();
                    const size_t halBefore = m.hal.size();
                    m.configAddress = GENPORT_CONFIG_ENABLE | expected(bus, dev, fn, reg);
                    uint32_t port = 0xCFC, value = 0, returned = 0;
                    ASSERT_EQ(GENPORT_STATUS_SUCCESS,
                              m.Request(GENPORT_IOCTL_READ_DWORD, &port, 4, &value, 4, &returned));
                    SCOPED_TRACE(::testing::Message() << bus << ":" << dev << "." << fn
                                                      << " reg 0x" << std::hex << reg);
                    EXPECT_EQ(4u, returned);
                    EXPECT_EQ(scans ? expected(bus, dev, fn, reg) : 0xFFFFFFFFu, value);
                    EXPECT_EQ(scans ? halBefore + 1 : halBefore, m.hal.size());
                    EXPECT_EQ(refusedBefore + (scans ? 0 : 1), genport_refused_config_reads());
                    ASSERT_FALSE(m.answers.empty());
                    EXPECT_EQ(value, m.answers.back().value);
                    allowed += scans;
                }
    EXPECT_EQ(4 * 3 * 3, allowed) << "buses 1, 2, 5 and 6 of the list, three devices each";
    EXPECT_TRUE(m.log.empty());

    // A read while the enable bit is clear is no configuration read: not counted.
    const uint32_t refusedBefore = genport_refused_config_reads();
    m.configAddress = 0x00000000;
    uint32_t port = 0xCFC, value = 0, returned = 0;
    EXPECT_EQ(GENPORT_STATUS_SUCCESS, m.Request(GENPORT_IOCTL_READ_DWORD, &port, 4, &value, 4, &returned));
    EXPECT_EQ(0xFFFFFFFFu, value);
    EXPECT_EQ(refusedBefore, genport_refused_config_reads());
}

// Each of the six requests at every port: the legacy devices, the other devices'
// windows, the neighbours of the configuration and clock ports all stay untouched.
TEST_F(Policy, OnlyTheListedAccessesPassAnywhereInThePortSpaceAndBeyond)
{
    const std::set<std::pair<uint32_t, uint32_t>> allowed = {
        {0xCF8, GENPORT_IOCTL_READ_DWORD}, {0xCF8, GENPORT_IOCTL_WRITE_DWORD}, {0xCFC, GENPORT_IOCTL_READ_DWORD},
    };
    std::set<std::pair<uint32_t, uint32_t>> expected = allowed;
    for (uint32_t base : {0xD000u, 0x9C00u, 0xC000u, 0x8800u}) {
        expected.insert({base + 8, GENPORT_IOCTL_WRITE_BYTE});
        expected.insert({base + 12, GENPORT_IOCTL_READ_DWORD});
        expected.insert({base + 12, GENPORT_IOCTL_WRITE_DWORD});
        expected.insert({base + 0x50, GENPORT_IOCTL_READ_DWORD});
        expected.insert({base + 0xE0, GENPORT_IOCTL_READ_DWORD});
    }
    std::set<std::pair<uint32_t, uint32_t>> passed;
    for (uint32_t port = 0; port <= 0xFFFF; port++) {
        for (const Kind& k : kKinds) {
            // 0x8A: the index byte the window takes (any value elsewhere).
            GenPortStatus status = Send(m, k, port, 0x8A);
            if (status == GENPORT_STATUS_SUCCESS)
                passed.insert({port, k.code});
            else
                ASSERT_EQ(GENPORT_STATUS_ACCESS_DENIED, status) << std::hex << port;
        }
    }
    EXPECT_EQ(expected, passed);
    std::set<uint16_t> reached;
    for (const Access& a : m.log)
        reached.insert(a.port);
    EXPECT_EQ((std::set<uint16_t>{0xD008, 0xD00C, 0xD050, 0xD0E0, 0x9C08, 0x9C0C, 0x9C50, 0x9CE0,
                                  0xC008, 0xC00C, 0xC050, 0xC0E0, 0x8808, 0x880C, 0x8850, 0x88E0}),
              reached);
    EXPECT_TRUE(m.LegacyUntouched());
    EXPECT_EQ(3u, m.answers.size()) << "the three configuration requests, each told once";
    EXPECT_EQ(0x80000010u, m.model.configAddress);

    m.log.clear();
    for (uint32_t beyond : {0x10000u, 0x10CF8u, 0x1D008u, 0x1D00Cu, 0x80000CFCu, 0xFFFFFFFFu})
        for (const Kind& k : kKinds)
            EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, Send(m, k, beyond))
                << "port numbers past 0xFFFF do not wrap: 0x" << std::hex << beyond;
    EXPECT_TRUE(m.log.empty());
    EXPECT_TRUE(m.hal.empty());
}

// The index port takes three bytes alone: the clock register to read, the same with
// write enable to write, and 0x00 for the R300 A11's read after each data access. Any
// other byte would open every PLL register to the driver's owner, with write enable.
// Each refusal reaches nothing, and the card's index stays.
TEST_F(Policy, TheIndexPortTakesOnlyTheClockRegisterWithOrWithoutWriteEnableAndIndex0)
{
    const Kind& writeByte = kKinds[3];
    for (uint32_t base : {0xD000u, 0x9C00u, 0xC000u, 0x8800u}) {
        std::set<uint32_t> passed;
        for (uint32_t value = 0; value <= 0xFF; value++) {
            GenPortStatus status = Send(m, writeByte, base + 8, value);
            if (status == GENPORT_STATUS_SUCCESS)
                passed.insert(value);
            else
                EXPECT_EQ(GENPORT_STATUS_ACCESS_DENIED, status) << std::hex << base << " " << value;
        }
        EXPECT_EQ((std::set<uint32_t>{0x00, 0x0A, 0x8A}), passed) << std::hex << base;
    }
    EXPECT_EQ(12u, m.log.size()) << "only the accepted bytes reached a port";
    EXPECT_EQ(0x8Au, m.model.devices[1].index & 0xFF) << "the last accepted byte, nothing after it";

    // The same bytes in other widths, at the neighbouring ports, and CRTC_GEN_CNTL and
    // CONFIG_CNTL in every way but a dword read, are refused too.
    m.log.clear();
    for (const Kind& k : kKinds) {
        for (uint32_t value : {0x00u, 0x0Au, 0x8Au, 0x4Au, 0x8Bu, 0x80u}) {
            for (uint32_t port : {0xD007u, 0xD008u, 0xD009u, 0xD00Bu, 0xD04Cu, 0xD04Fu, 0xD050u,
                                  0xD051u, 0xD052u, 0xD053u, 0xD054u, 0xD0DCu, 0xD0DFu, 0xD0E0u,
                                  0xD0E1u, 0xD0E2u, 0xD0E3u, 0xD0E4u}) {
                const bool allowed = (port == 0xD008 && k.write && k.width == 1 &&
                                      (value == 0x00 || value == 0x0A || value == 0x8A)) ||
                                     ((port == 0xD050 || port == 0xD0E0) && !k.write && k.width == 4);
                EXPECT_EQ(allowed ? GENPORT_STATUS_SUCCESS : GENPORT_STATUS_ACCESS_DENIED,
                          Send(m, k, port, value))
                    << std::hex << k.code << " port " << port << " value " << value;
            }
        }
    }
    for (const Access& a : m.log)
        EXPECT_TRUE((a.port == 0xD008 && a.write && a.width == 1) ||
                    ((a.port == 0xD050 || a.port == 0xD0E0) && !a.write && a.width == 4))
            << a;
    EXPECT_TRUE(m.LegacyUntouched());
}

TEST_F(Policy, EveryOtherLengthMissingBufferAndUnknownCodeIsRefusedUntouched)
{
    uint8_t in[80] = {0x0C, 0xD0, 0, 0, 0x0A};  // 0xD00C
    uint8_t out[80];
    for (const Kind& k : kKinds) {
        const uint32_t inExact = k.write ? 4 + k.width : 4, outExact = k.write ? 0 : k.width;
        for (uint32_t inLength = 0; inLength <= 64; inLength++)
            for (uint32_t outLength = 0; outLength <= 64; outLength++) {
                if (inLength == inExact && outLength == outExact)
                    continue;
                uint32_t returned;
                EXPECT_EQ(GENPORT_STATUS_INVALID_PARAMETER,
                          m.Request(k.code, in, inLength, out, outLength, &returned))
                    << std::hex << k.code << std::dec << " in " << inLength << " out " << outLength;
                EXPECT_EQ(0u, returned);
            }
        EXPECT_EQ(GENPORT_STATUS_INVALID_PARAMETER, m.Request(k.code, nullptr, inExact, out, outExact));
        if (!k.write) {
            EXPECT_EQ(GENPORT_STATUS_INVALID_PARAMETER, m.Request(k.code, in, 4, nullptr, outExact));
        }
    }
    // Neighbours of the six: other methods (direct, neither), other access, other
    // functions, another device type.
    for (uint32_t code : {0x9C406401u, 0x9C406402u, 0x9C406403u, 0x9C40640Cu, 0x9C402400u,
                          0x9C40E400u, 0x9C406440u, 0x9C40A400u, 0x9C40A44Cu, 0x9C40A443u,
                          0x9C416400u, 0x00226400u, 0u, 0xFFFFFFFFu})
        for (uint32_t inLength : {0u, 4u, 5u, 8u})
            EXPECT_EQ(GENPORT_STATUS_INVALID_DEVICE_REQUEST, m.Request(code, in, inLength, out, 4))
                << std::hex << code;
    EXPECT_TRUE(m.log.empty());
    EXPECT_TRUE(m.hal.empty());
    EXPECT_TRUE(m.answers.empty());
}

// portgate and the driver share one definition of the codes; it follows the control
// code layout: device type 40000, functions 0x900-0x902 with read access and
// 0x910-0x912 with write access, buffered.
TEST(GenPortWire, TheCodesFollowTheBufferedControlCodeLayout)
{
    const uint32_t codes[] = {GENPORT_IOCTL_READ_BYTE,  GENPORT_IOCTL_READ_WORD,  GENPORT_IOCTL_READ_DWORD,
                              GENPORT_IOCTL_WRITE_BYTE, GENPORT_IOCTL_WRITE_WORD, GENPORT_IOCTL_WRITE_DWORD};
    const uint32_t functions[] = {0x900, 0x901, 0x902, 0x910, 0x911, 0x912};
    for (int i = 0; i < 6; i++) {
        const uint32_t access = i < 3 ? FILE_READ_ACCESS : FILE_WRITE_ACCESS;
        EXPECT_EQ(uint32_t(CTL_CODE(GENPORT_DEVICE_TYPE, functions[i], METHOD_BUFFERED, access)), codes[i]);
    }
}

TEST(GenPortDescriptor, GrantsAdministratorsAndSystemAndNobodyElse)
{
    GenPortDescriptor d;
    std::memset(&d, 0xCC, sizeof d);
    genport_build_descriptor(&d);
    PSECURITY_DESCRIPTOR sd = d.bytes;
    ASSERT_TRUE(IsValidSecurityDescriptor(sd));
    EXPECT_EQ(DWORD(GENPORT_DESCRIPTOR_BYTES), GetSecurityDescriptorLength(sd));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        sd, SDDL_REVISION_1,
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
            SACL_SECURITY_INFORMATION,
        &text, nullptr));
    EXPECT_STREQ("O:BAG:SYD:(A;;FA;;;BA)(A;;FA;;;SY)", text);
    LocalFree(text);

    // The system's own access check: this process's token (an administrator's here)
    // gets read and write; a descriptor without the Administrators entry denies it.
    HANDLE process = nullptr, token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process));
    ASSERT_TRUE(DuplicateToken(process, SecurityImpersonation, &token));
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                               FILE_ALL_ACCESS};
    auto check = [&](PSECURITY_DESCRIPTOR descriptor) {
        PRIVILEGE_SET privileges;
        DWORD size = sizeof privileges, granted = 0;
        BOOL status = FALSE;
        EXPECT_TRUE(AccessCheck(descriptor, token, FILE_GENERIC_READ | FILE_GENERIC_WRITE, &mapping,
                                &privileges, &size, &granted, &status));
        return status != FALSE;
    };
    EXPECT_TRUE(check(sd));
    PSECURITY_DESCRIPTOR sdSystemOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:BAG:SYD:(A;;FA;;;SY)", SDDL_REVISION_1, &sdSystemOnly, nullptr));
    EXPECT_FALSE(check(sdSystemOnly)) << "an administrator is let in by the entry, not by default";
    LocalFree(sdSystemOnly);
    CloseHandle(token);
    CloseHandle(process);
}

}  // namespace
