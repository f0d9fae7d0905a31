// Reading and programming the engine and memory clocks: register 0x0A of the card's
// clock synthesiser holds R (bits 0-7), M (8-15) and E (16-23); clock = 27 * divider / R.
#include <windows.h>
#include "busprobe.h"
#include "card.h"
#include "portgate.h"
#include "trace.h"

#define REFERENCE_MHZ 27
#define ENGINE_SHIFT 16
#define MEMORY_SHIFT 8
// This board's memory clock runs at half the synthesiser's output.
#define HALF_MEMORY_SSID 0x9A05

static int HalvesMemory(void) { return g_ssid == HALF_MEMORY_SSID; }

// Without a recorded card the window would be at port 0: nothing is touched then.
static int CardKnown(void)
{
    if (g_ioBase != 0) return 1;
    TraceMessage("ATIAGP_NoCard");
    return 0;
}

static double GetClock(const char* name, int shift, int halve)
{
    TraceMessage("\n----------");
    TraceMessage("%s", name);
    if (!CardKnown()) return 0.5;

    unsigned long v = ReadClockRegister();
    TraceMessage("test=<0X%X>", (unsigned int)v);
    int divider = (int)((v >> shift) & 0xFF);
    TraceMessage("test=<0X%X>", divider);

    // Exact product, single-precision quotient. A divider of 0 in R would divide by
    // zero: such a synthesiser produces no clock, so report 0 MHz.
    float q = 0.0f;
    if (g_referenceDivider != 0) q = (float)(REFERENCE_MHZ * divider) / (float)g_referenceDivider;
    if (halve) q = q * 0.5f;

    TraceMessage("test=<0X%X><%d>", divider, divider);
    TraceMessage("test1=<0X%X><%.2f>", (int)q, (double)q);
    return (double)q + 0.5;
}

static void SetClock(const char* name, int mhz, int shift, int doubled)
{
    TraceMessage("\n%s=<%d>", name, mhz);
    if (!CardKnown()) return;

    unsigned long v = ReadClockRegister();
    TraceMessage("test=<0X%X>", (unsigned int)v);
    if (g_referenceDivider == 0) {
        // No divider value gives the asked clock; leave the register as it is.
        TraceMessage("ATIAGP_NoDivider");
        return;
    }

    int divider = MulDiv(doubled ? 2 * mhz : mhz, g_referenceDivider, REFERENCE_MHZ);
    TraceMessage("Value=<%d>", divider);
    // The field is 8 bits wide: a value outside it must not spill into its neighbours.
    if (divider < 0 || divider > 0xFF) {
        divider = divider < 0 ? 0 : 0xFF;
        TraceMessage("Value_Clamped=<%d>", divider);
    }

    unsigned long mask = ~(0xFFul << shift) & 0xFFFFFFFFul;
    v = (v & mask) + ((unsigned long)divider << shift);
    TraceMessage("test=<0X%X>", (unsigned int)v);
    woutp(INDEX_PORT(g_ioBase), CLOCK_REGISTER);
    woutpd(DATA_PORT(g_ioBase), v);
}

double ATIAGP_GetGPUClock(void)
{
    return GetClock("ATIAGP_GetGPUClock", ENGINE_SHIFT, 0);
}

double ATIAGP_GetMemClock(void)
{
    return GetClock("ATIAGP_GetMemClock", MEMORY_SHIFT, HalvesMemory());
}

int ATIAGP_SetGPUClock(int mhz)
{
    SetClock("ATIAGP_SetGPUClock", mhz, ENGINE_SHIFT, 0);
    return 1;
}

int ATIAGP_SetMemClock(int mhz)
{
    SetClock("ATIAGP_SetMemClock", mhz, MEMORY_SHIFT, HalvesMemory());
    return 1;
}
