#include "card_clocks.h"

#include "busprobe.h"

int ApplyClocks(int engine, int memory) {
    zykOpen_PCI();
    ATIAGP_SetGPUClock(engine);
    ATIAGP_SetMemClock(memory);
    // Read back so the trace shows what the synthesiser really runs.
    ATIAGP_GetGPUClock();
    ATIAGP_GetMemClock();
    zykClose_PCI();
    return 0;
}

int ReadClocks(int* engine, int* memory) {
    zykOpen_PCI();
    *engine = static_cast<int>(ATIAGP_GetGPUClock());
    *memory = static_cast<int>(ATIAGP_GetMemClock());
    zykClose_PCI();
    return 0;
}
