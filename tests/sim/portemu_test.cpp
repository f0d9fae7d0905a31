// The direct-road emulator: real in/out instructions in this process, each form of
// them, served from the scenario and logged like the driver's requests.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <windows.h>

#include "portemu.h"
#include "simscenario.h"

namespace {

using sim::In;
using sim::Out;
using Log = std::vector<sim::PortAccess>;
using Reg = uintptr_t;  // the whole accumulator, to see which part an instruction touched

// A card whose window sits low enough for the 8-bit port forms: index 0x48, data 0x4C.
constexpr uint32_t kClock = 0x00A0A00C;

class DirectRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Reset();
        sim::AddCard(1, 0, 0, 0x0A12, 0x41, kClock);
        portemu_install();
        sim::ClearAccessLog();
    }
};

const Reg kFill = ~Reg(0) - 0x0F0F;  // every bit set but a few low ones

TEST_F(DirectRoad, EightBitPortForms)
{
    Reg a = (kFill & ~Reg(0xFF)) | 0x8A;                   // register 0x0A, write enable
    asm volatile("outb %%al, $0x48" : : "a"(a));           // E6
    a = kFill;
    asm volatile("inl $0x4C, %%eax" : "+a"(a));            // E5
    EXPECT_EQ(Reg(kClock), a) << "a dword read replaces the whole register";
    a = kFill;
    asm volatile("inw $0x4E, %%ax" : "+a"(a));             // 66 E5
    EXPECT_EQ((kFill & ~Reg(0xFFFF)) | 0x00A0, a);
    a = kFill;
    asm volatile("inb $0x4C, %%al" : "+a"(a));             // E4
    EXPECT_EQ((kFill & ~Reg(0xFF)) | 0x0C, a);
    a = 0x0085;
    asm volatile("outw %%ax, $0x4E" : : "a"(a));           // 66 E7
    a = 0x12340000 | 0xA00C;
    asm volatile("outl %%eax, $0x4C" : : "a"(a));          // E7

    EXPECT_EQ((Log{Out(1, 0x48, 0x8A), In(4, 0x4C, kClock), In(2, 0x4E, 0x00A0), In(1, 0x4C, 0x0C),
                   Out(2, 0x4E, 0x0085), Out(4, 0x4C, 0x1234A00C)}),
              sim::AccessLog());
    EXPECT_EQ(0x1234A00Cu, sim::IoRegister(0x40, 0x0A));
}

TEST_F(DirectRoad, PortInDxForms)
{
    const uint32_t address = sim::ConfigAddress(1, 0, 0, 0x00);
    Reg a = address;
    asm volatile("outl %%eax, %%dx" : : "a"(a), "d"(0xCF8));   // EF
    a = kFill;
    asm volatile("inl %%dx, %%eax" : "+a"(a) : "d"(0xCFC));    // ED
    EXPECT_EQ(Reg(0x52461002), a);
    a = kFill;
    asm volatile("inw %%dx, %%ax" : "+a"(a) : "d"(0xCFE));     // 66 ED
    EXPECT_EQ((kFill & ~Reg(0xFFFF)) | 0x5246, a);
    a = kFill;
    asm volatile("inb %%dx, %%al" : "+a"(a) : "d"(0xCFC));     // EC
    EXPECT_EQ((kFill & ~Reg(0xFF)) | 0x02, a);
    a = 0x18A;
    asm volatile("outb %%al, %%dx" : : "a"(a), "d"(0x48));     // EE
    a = 0xB00C;
    asm volatile("outw %%ax, %%dx" : : "a"(a), "d"(0x4C));     // 66 EF

    EXPECT_EQ((Log{Out(4, 0xCF8, address), In(4, 0xCFC, 0x52461002), In(2, 0xCFE, 0x5246),
                   In(1, 0xCFC, 0x02), Out(1, 0x48, 0x8A), Out(2, 0x4C, 0xB00C)}),
              sim::AccessLog());
    EXPECT_EQ(0x00A0B00Cu, sim::IoRegister(0x40, 0x0A));
}

TEST_F(DirectRoad, AScenarioEditIsSeenByTheNextInstruction)
{
    Reg a = 0x0A;
    asm volatile("outb %%al, $0x48" : : "a"(a));
    sim::SetIoRegister(0x40, 0x0A, 0x00858506);
    a = 0x0A;
    asm volatile("outb %%al, $0x48" : : "a"(a));
    asm volatile("inl $0x4C, %%eax" : "+a"(a));
    EXPECT_EQ(Reg(0x00858506), a);
    sim::Reset();
    a = 0;
    asm volatile("inl $0x4C, %%eax" : "+a"(a));
    EXPECT_EQ(Reg(0xFFFFFFFF), a) << "the card is gone";
}

TEST(PortDecode, EveryFormAndNothingElse)
{
    struct Row { std::vector<uint8_t> code; int length, write, width, immediate, port; };
    const Row rows[] = {
        {{0xE4, 0x80}, 2, 0, 1, 1, 0x80},       {{0xE5, 0x4C}, 2, 0, 4, 1, 0x4C},
        {{0x66, 0xE5, 0x4C}, 3, 0, 2, 1, 0x4C}, {{0xE6, 0x48}, 2, 1, 1, 1, 0x48},
        {{0xE7, 0x4C}, 2, 1, 4, 1, 0x4C},       {{0x66, 0xE7, 0xFF}, 3, 1, 2, 1, 0xFF},
        {{0xEC}, 1, 0, 1, 0, 0},                {{0xED}, 1, 0, 4, 0, 0},
        {{0x66, 0xED}, 2, 0, 2, 0, 0},          {{0xEE}, 1, 1, 1, 0, 0},
        {{0xEF}, 1, 1, 4, 0, 0},                {{0x66, 0xEF}, 2, 1, 2, 0, 0},
        {{0x66, 0xEE}, 2, 1, 1, 0, 0},
    };
    for (const Row& r : rows) {
        PortInstruction in = {};
        ASSERT_TRUE(portemu_decode(r.code.data(), &in)) << int(r.code.back());
        EXPECT_EQ(r.length, in.length);
        EXPECT_EQ(r.write, in.write);
        EXPECT_EQ(r.width, in.width);
        EXPECT_EQ(r.immediate, in.immediate);
        if (r.immediate) {
            EXPECT_EQ(r.port, in.port);
        }
    }
    const std::vector<uint8_t> others[] = {{0xF4}, {0xFA}, {0x6C}, {0x6F}, {0xE3, 0x00},
                                           {0xE8, 0, 0, 0, 0}, {0x66, 0x90}, {0xF3, 0xEC}};
    for (const auto& code : others) {
        PortInstruction in = {};
        EXPECT_FALSE(portemu_decode(code.data(), &in)) << int(code.front());
    }
}

}  // namespace

// The emulated road is a whole 95-family system: the service manager's open is the
// stub that family's advapi32 has, for every module, whenever it bound its imports.
TEST(DirectRoadSystem, ServiceManagerAnswersAsTheNinetyFiveFamilyUntilRemoved)
{
    auto openManager = [] {
        SC_HANDLE m = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        DWORD error = m ? 0 : GetLastError();
        if (m) CloseServiceHandle(m);
        return error;
    };
    portemu_install();
    EXPECT_EQ(static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED), openManager());
    // Looked up afresh, as a module loaded later binds it.
    auto lateBound = reinterpret_cast<SC_HANDLE(WINAPI*)(LPCWSTR, LPCWSTR, DWORD)>(
        GetProcAddress(LoadLibraryA("advapi32.dll"), "OpenSCManagerW"));
    ASSERT_NE(nullptr, lateBound);
    SetLastError(0);
    EXPECT_EQ(nullptr, lateBound(nullptr, nullptr, SC_MANAGER_CONNECT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED), GetLastError());
    portemu_install();  // a second install changes nothing
    portemu_remove();
    EXPECT_EQ(0u, openManager()) << "the real service manager again";
}
