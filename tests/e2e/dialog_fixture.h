// The set-up shared by the main-dialog scenarios: a simulated card, an empty ZYK
// registry tree, a private copy of the shipped folder and the program running there.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialog_driver.h"
#include "registry_helpers.h"
#include "simscenario.h"

namespace dlgtest {

constexpr const char* kTitle = "Zyk Velotune V1.0a";
constexpr const char* kCurrent = "SOFTWARE\\ZYK\\ZYK_OC\\current\\ZK-9250 Velo";
constexpr const char* kDefault = "SOFTWARE\\ZYK\\ZYK_OC\\default\\ZK-9250 Velo";
constexpr const char* kCustomer = "SOFTWARE\\ZYK\\ZYK_OC\\customer";
constexpr uint16_t kIoBase = sim::kDefaultIoBase;

// Register 0x0A for a pair at reference divider r: dividers rounded as the card layer
// does.
uint32_t ClockRegister(int engineMHz, int memoryMHz, int r);
// What the card runs, as the program reads it back (rounded to whole MHz).
int EngineOf(uint32_t reg);
int MemoryOf(uint32_t reg);

class DialogScenario : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One card on bus 1 with this SSID and clock register (default scenario otherwise).
    void Card(uint16_t ssid, uint32_t clockReg);
    // Copies the shipped folder (then the test may change the copy).
    dlgdrv::Folder& Prepare();
    // Starts the program and waits for its dialog; fails the test when none comes.
    HWND Start();
    // Start() with the default card at 360/360, stored as such.
    HWND Open();
    // Waits for a dialog or message box of the program with this caption.
    HWND WaitBox(const char* caption);

    uint32_t Register() const { return sim::IoRegister(kIoBase, 0x0A); }
    int CardEngine() const { return EngineOf(Register()); }
    int CardMemory() const { return MemoryOf(Register()); }
    // The stored pair of a key as "engine/memory" ("" for a missing value).
    static std::string Pair(const char* key);
    static void StorePair(const char* key, int engine, int memory);

    std::unique_ptr<dlgdrv::Folder> folder_;
    std::unique_ptr<dlgdrv::Program> program_;
    HWND dialog_ = nullptr;
};

// A scenario on a Traditional Chinese system: runs in the *_zh_TW run of its program
// (LC_ALL=zh_TW.UTF-8), skipped in the others.
template <typename Scenario>
class ChineseScenario : public Scenario {
protected:
    void SetUp() override {
        if (!e2e::ChineseRun()) GTEST_SKIP() << "runs under LC_ALL=zh_TW.UTF-8";
        ASSERT_EQ(0x0404, GetSystemDefaultLangID());
        Scenario::SetUp();
    }
};

}  // namespace dlgtest
