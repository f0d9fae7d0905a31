#include "dialog_fixture.h"

#include <windows.h>

namespace dlgtest {

uint32_t ClockRegister(int engineMHz, int memoryMHz, int r) {
    uint32_t e = static_cast<uint32_t>((engineMHz * r + 13) / 27);
    uint32_t m = static_cast<uint32_t>((memoryMHz * r + 13) / 27);
    return (e << 16) | (m << 8) | static_cast<uint32_t>(r);
}

static int ClockOf(uint32_t divider, uint32_t reg) {
    float q = 27.0f * static_cast<float>(divider) / static_cast<float>(reg & 0xFF);
    return static_cast<int>(q + 0.5);
}
int EngineOf(uint32_t reg) { return ClockOf((reg >> 16) & 0xFF, reg); }
int MemoryOf(uint32_t reg) { return ClockOf((reg >> 8) & 0xFF, reg); }

void DialogScenario::SetUp() {
    sim::DefaultScenario();
    regtest::DeleteZykTree();
}

void DialogScenario::TearDown() {
    program_.reset();
    regtest::DeleteZykTree();
}

void DialogScenario::Card(uint16_t ssid, uint32_t clockReg) {
    sim::Reset();
    sim::AddCard(1, 0, 0, ssid, kIoBase | 1, clockReg);
}

dlgdrv::Folder& DialogScenario::Prepare() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Short: the skin file's full path must stay within its 100 characters.
    folder_.reset(new dlgdrv::Folder(std::string(info->name()).substr(0, 24)));
    return *folder_;
}

HWND DialogScenario::Start() {
    if (!folder_) Prepare();
    program_.reset(new dlgdrv::Program(*folder_));
    EXPECT_NE(0u, program_->Pid()) << "tunedeck.exe did not start";
    dialog_ = program_->WaitFor(kTitle, "#32770");
    EXPECT_NE(nullptr, dialog_) << "no main dialog";
    return dialog_;
}

HWND DialogScenario::Open() {
    StorePair(kCurrent, 360, 360);
    StorePair(kDefault, 360, 360);
    return Start();
}

HWND DialogScenario::WaitBox(const char* caption) {
    HWND box = program_->WaitFor(caption, "#32770");
    EXPECT_NE(nullptr, box) << "no window \"" << caption << "\"";
    return box;
}

std::string DialogScenario::Pair(const char* key) {
    auto value = [key](const char* name) -> std::string {
        std::string raw = regtest::Read(key, name);
        if (raw.size() != 4) return "";
        int v;
        memcpy(&v, raw.data(), 4);
        return std::to_string(v);
    };
    return value("engine") + "/" + value("memory");
}

void DialogScenario::StorePair(const char* key, int engine, int memory) {
    regtest::WriteDword(key, "engine", static_cast<DWORD>(engine));
    regtest::WriteDword(key, "memory", static_cast<DWORD>(memory));
}

}  // namespace dlgtest
