// Scenarios for the simulated machine, for tests and tools: which PCI functions sit
// where, the cards and their index registers, and the log of every port access.
// Changes reach the model at its next load: the next GenPort1 start, or (direct road)
// the next port instruction after the edit.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "busprobe.h"
#include "simcard.h"

namespace sim {

// Empty machine: no devices, no registers, empty access log.
void Reset();

// A PCI function that is not a card: it answers configuration reads only.
void AddDevice(int bus, int dev, int fn, uint32_t reg00, uint32_t reg2C, uint32_t reg14 = 0);

// A graphics card (a display controller by its class code, I/O decoding enabled in its
// command register): its configuration ids, and the I/O window of reg14 (when bit 0 is
// set) whose index register 0x0A is the clock register. The PCI revision id's low four
// bits are the chip's revision in CONFIG_CNTL (0: an R300 is an A11).
void AddCard(int bus, int dev, int fn, uint16_t ssid, uint32_t reg14, uint32_t clockReg0A,
             uint16_t vendor = ATI_VENDOR_ID, uint16_t subsysVendor = ZYK_SUBSYSTEM_VENDOR_ID,
             uint16_t deviceId = 0x5246, uint8_t revision = 0);

// The card's index registers as the next load will see them. IoRegister gives
// 0xFFFFFFFF when no card has its window at ioBase.
uint32_t IoRegister(uint16_t ioBase, int index);
void SetIoRegister(uint16_t ioBase, int index, uint32_t value);

// What the card at ioBase went through (simcard.h: writes ignored, hung, garbage
// answered, the shortest wait after a data access), kept across loads of the model.
SimCardState CardState(uint16_t ioBase);
// The simulated driver's stops that ran to their end, as it counts them in the store.
uint32_t FinishedStops();
// The knob: the card's next `count` data reads whose value counts return garbage.
void MakeReadsFlaky(uint16_t ioBase, uint32_t count);
// The other knob: the next `count` such reads return plausible garbage (R intact, another
// field off, never the same twice running).
void MakeReadsPlausible(uint16_t ioBase, uint32_t count);

// One card on bus 1 (SSID 0x0A12, I/O base 0xD000, clocks 360/360 MHz with R 12), a
// host bridge on bus 0 and a network controller on bus 2.
void DefaultScenario();
constexpr uint16_t kDefaultIoBase = 0xD000;
constexpr uint16_t kDefaultSsid = 0x0A12;
constexpr uint32_t kDefaultClock = 0x00A0A00C;

struct PortAccess {
    bool write;
    int width;  // 1, 2 or 4
    uint16_t port;
    uint32_t value;  // written, or returned by the read
};
bool operator==(const PortAccess& a, const PortAccess& b);
inline bool operator!=(const PortAccess& a, const PortAccess& b) { return !(a == b); }
// "out8 0xD008 <- 0x0A", "in32 0xD00C -> 0x00A0A00C"
std::ostream& operator<<(std::ostream& os, const PortAccess& a);
inline PortAccess In(int width, uint16_t port, uint32_t value) { return {false, width, port, value}; }
inline PortAccess Out(int width, uint16_t port, uint32_t value) { return {true, width, port, value}; }

// The configuration address of mechanism 1 for a function's register.
uint32_t ConfigAddress(int bus, int dev, int fn, int reg);

// Every port access since the last Reset or ClearAccessLog, in order.
std::vector<PortAccess> AccessLog();
void ClearAccessLog();
std::string LogPath();

}  // namespace sim
