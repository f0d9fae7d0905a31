#include "card_clocks.h"

#include "busprobe.h"
#include "language.h"
#include "portgate.h"

int ApplyClocks(int engine, int memory) {
    unsigned long lostBefore = zykLostAccesses();
    zykOpen_PCI();
    ATIAGP_SetGPUClock(engine);
    ATIAGP_SetMemClock(memory);
    // Read back so the trace shows what the synthesiser really runs.
    ATIAGP_GetGPUClock();
    ATIAGP_GetMemClock();
    zykClose_PCI();
    return zykLostAccesses() == lostBefore ? 1 : 0;
}

void WarnCardNotReached(HWND owner, const char* message) {
    MessageBoxA(owner, message, str_Title, MB_OK | MB_ICONEXCLAMATION);
}

int ReadClocks(int* engine, int* memory) {
    zykOpen_PCI();
    *engine = static_cast<int>(ATIAGP_GetGPUClock());
    *memory = static_cast<int>(ATIAGP_GetMemClock());
    zykClose_PCI();
    return 0;
}
