#include "card_clocks.h"

#include "busprobe.h"
#include "language.h"
#include "portgate.h"

namespace {

// Both counters only grow: a bracket is trusted when neither moved during it.
struct BracketFaults {
    unsigned long lost = zykLostAccesses();
    unsigned long clock = zykClockFaults();
    bool None() const { return zykLostAccesses() == lost && zykClockFaults() == clock; }
};

}  // namespace

int ApplyClocks(int engine, int memory) {
    BracketFaults faults;
    zykOpen_PCI();
    ATIAGP_SetGPUClock(engine);
    ATIAGP_SetMemClock(memory);
    // Read back so the trace shows what the synthesiser really runs.
    ATIAGP_GetGPUClock();
    ATIAGP_GetMemClock();
    zykClose_PCI();
    return faults.None() ? 1 : 0;
}

void WarnCardNotReached(HWND owner, const char* message) {
    MessageBoxA(owner, message, str_Title, MB_OK | MB_ICONEXCLAMATION);
}

int ReadClocks(int* engine, int* memory) {
    BracketFaults faults;
    zykOpen_PCI();
    *engine = static_cast<int>(ATIAGP_GetGPUClock());
    *memory = static_cast<int>(ATIAGP_GetMemClock());
    zykClose_PCI();
    return faults.None() ? 1 : 0;
}
