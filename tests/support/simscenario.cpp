// Scenario editing over the user-mode store (HKLM\SOFTWARE\ZykSim and the log file).
#include "simscenario.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iomanip>

#include "simstore_user.h"

namespace sim {
namespace {

// A broken scenario is a fault of the test that builds it: stop loudly.
[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "sim: %s\n", what);
    std::abort();
}

// The slot already holding this location, else the first free one.
int slotFor(uint32_t location)
{
    SimDeviceRecord record;
    int freeSlot = -1;
    for (int slot = 0; slot < SIM_MAX_DEVICES; slot++) {
        if (simstore_read_device(slot, &record)) {
            if (record.location == location)
                return slot;
        } else if (freeSlot < 0) {
            freeSlot = slot;
        }
    }
    if (freeSlot < 0)
        fail("no free device slot");
    return freeSlot;
}

// Class code 0x03 (display controller), subclass 0 (VGA compatible), revision 0.
constexpr uint32_t kDisplayClass = 0x03000000;
// Command register: I/O and memory decoding on, as the firmware leaves a display card.
constexpr uint32_t kDecoding = 0x00000003;

void putDevice(int bus, int dev, int fn, uint32_t reg00, uint32_t reg2C, uint32_t reg14,
               bool card, uint32_t clockReg0A, uint8_t revision = 0)
{
    SimDeviceRecord record = {};
    record.location = SIM_LOCATION(bus, dev, fn);
    record.flags = card ? SIM_DEVICE_IS_CARD : 0;
    record.config[0x00 / 4] = reg00;
    record.config[0x2C / 4] = reg2C;
    record.config[0x14 / 4] = reg14;
    if (card) {
        record.config[0x04 / 4] = kDecoding;
        record.config[0x08 / 4] = kDisplayClass | revision;
    }
    int slot = slotFor(record.location);
    uint32_t registers[SIM_CARD_REGISTERS] = {};
    registers[0x0A] = clockReg0A;
    SimCardState fresh;
    sim_state_fresh(&fresh);
    if (!simstore_write_device(slot, &record) || !simstore_write_registers(slot, registers) ||
        !simstore_write_state(slot, &fresh))
        fail("cannot write the scenario");
    simstore_touch();
}

int cardSlot(uint16_t ioBase)
{
    static SimModel model;
    simstore_load(&model);
    return sim_model_find_card(&model, ioBase);
}

}  // namespace

void Reset()
{
    for (int slot = 0; slot < SIM_MAX_DEVICES; slot++)
        simstore_remove_device(slot);
    simstore_touch();
    ClearAccessLog();
}

void AddDevice(int bus, int dev, int fn, uint32_t reg00, uint32_t reg2C, uint32_t reg14)
{
    putDevice(bus, dev, fn, reg00, reg2C, reg14, false, 0);
}

void AddCard(int bus, int dev, int fn, uint16_t ssid, uint32_t reg14, uint32_t clockReg0A,
             uint16_t vendor, uint16_t subsysVendor, uint16_t deviceId, uint8_t revision)
{
    putDevice(bus, dev, fn, uint32_t(deviceId) << 16 | vendor, uint32_t(ssid) << 16 | subsysVendor,
              reg14, true, clockReg0A, revision);
}

uint32_t IoRegister(uint16_t ioBase, int index)
{
    int slot = cardSlot(ioBase);
    if (slot < 0 || index < 0 || index >= SIM_CARD_REGISTERS)
        return 0xFFFFFFFFu;
    uint32_t registers[SIM_CARD_REGISTERS];
    simstore_read_registers(slot, registers);
    return registers[index];
}

void SetIoRegister(uint16_t ioBase, int index, uint32_t value)
{
    int slot = cardSlot(ioBase);
    if (slot < 0 || index < 0 || index >= SIM_CARD_REGISTERS)
        fail("SetIoRegister: no such card register");
    uint32_t registers[SIM_CARD_REGISTERS];
    simstore_read_registers(slot, registers);
    registers[index] = value;
    if (!simstore_write_registers(slot, registers))
        fail("cannot write the card's registers");
    simstore_touch();
}

uint32_t FinishedStops()
{
    DWORD stops = 0, size = sizeof(stops);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SIM_REG_KEY, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "Stops", nullptr, nullptr, reinterpret_cast<BYTE*>(&stops), &size);
        RegCloseKey(key);
    }
    return stops;
}

SimCardState CardState(uint16_t ioBase)
{
    SimCardState state;
    int slot = cardSlot(ioBase);
    if (slot < 0)
        fail("CardState: no such card");
    simstore_read_state(slot, &state);
    return state;
}

namespace {
void setKnob(uint16_t ioBase, uint32_t SimCardState::*knob, uint32_t count)
{
    SimCardState state = CardState(ioBase);
    state.*knob = count;
    if (!simstore_write_state(cardSlot(ioBase), &state))
        fail("cannot write the card's state");
    simstore_touch();
}
}  // namespace

void MakeReadsFlaky(uint16_t ioBase, uint32_t count)
{
    setKnob(ioBase, &SimCardState::flakyReads, count);
}

void MakeReadsPlausible(uint16_t ioBase, uint32_t count)
{
    setKnob(ioBase, &SimCardState::plausibleReads, count);
}

void DefaultScenario()
{
    Reset();
    AddDevice(0, 0, 0, 0x71908086, 0x00000000);  // host bridge
    AddCard(1, 0, 0, kDefaultSsid, kDefaultIoBase | 1, kDefaultClock);
    AddDevice(2, 3, 0, 0x813910EC, 0x813910EC, 0xE801);  // network controller
}

bool operator==(const PortAccess& a, const PortAccess& b)
{
    return a.write == b.write && a.width == b.width && a.port == b.port && a.value == b.value;
}

std::ostream& operator<<(std::ostream& os, const PortAccess& a)
{
    std::ios_base::fmtflags flags = os.flags();
    os << (a.write ? "out" : "in") << a.width * 8 << " 0x" << std::uppercase << std::hex
       << std::setfill('0') << std::setw(4) << a.port << (a.write ? " <- 0x" : " -> 0x")
       << std::setw(a.width * 2) << a.value;
    os.flags(flags);
    return os;
}

uint32_t ConfigAddress(int bus, int dev, int fn, int reg)
{
    return 0x80000000u | SIM_LOCATION(bus, dev, fn) | (uint32_t(reg) & 0xFCu);
}

std::string LogPath()
{
    char path[MAX_PATH];
    simstore_log_path(path, sizeof(path));
    return path;
}

std::vector<PortAccess> AccessLog()
{
    std::vector<PortAccess> log;
    HANDLE file = CreateFileA(LogPath().c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return log;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    for (size_t at = 0; at + SIM_LOG_LINE <= text.size(); at += SIM_LOG_LINE) {
        SimAccess a;
        if (!sim_parse_access(text.data() + at, SIM_LOG_LINE, &a))
            fail("malformed access log");
        log.push_back({a.write != 0, a.width, a.port, a.value});
    }
    return log;
}

void ClearAccessLog()
{
    HANDLE file = CreateFileA(LogPath().c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail("cannot open the access log");
    SetEndOfFile(file);
    CloseHandle(file);
}

}  // namespace sim
