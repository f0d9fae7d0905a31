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

// The divider each setter last wrote (engine, memory), until a getter has read its
// field back.
static struct {
    int pending;
    int divider;
} g_writtenFields[2];
#define WRITTEN(shift) g_writtenFields[(shift) == ENGINE_SHIFT ? 0 : 1]

// A read whose reference divider is not the recorded one was garbled on the way (the
// display driver between our index and data accesses, a flaky bus, a chip's erratum).
static int InDoubt(unsigned long v) { return (int)(v & 0xFF) != g_referenceDivider; }

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

    // A value in doubt (no two reads agree, or not the recorded divider) is counted:
    // the caller learns that it may not be what the card runs.
    unsigned long v;
    if (!ReadClockAgreed(&v, "ATIAGP_ReadInDoubt=<0X%X>") || InDoubt(v)) CountClockFault();
    int divider = (int)((v >> shift) & 0xFF);
    TraceMessage("test=<0X%X>", divider);
    // The read-back: what the last setter of this field wrote must be there.
    if (WRITTEN(shift).pending) {
        WRITTEN(shift).pending = 0;
        if (divider != WRITTEN(shift).divider) {
            TraceMessage("ATIAGP_ReadBackDiffers=<0X%X><0X%X>", WRITTEN(shift).divider, divider);
            CountClockFault();
        }
    }

    // Exact product, single-precision quotient. A divider of 0 in R would divide by
    // zero: such a synthesiser produces no clock, so report 0 MHz.
    float q = 0.0f;
    if (g_referenceDivider != 0) q = (float)(REFERENCE_MHZ * divider) / (float)g_referenceDivider;
    if (halve) q = q * 0.5f;

    TraceMessage("test=<0X%X><%d>", divider, divider);
    TraceMessage("test1=<0X%X><%.2f>", (int)q, (double)q);
    return (double)q + 0.5;
}

static void RefuseWrite(void)
{
    TraceMessage("ATIAGP_WriteRefused");
    CountClockFault();
}

static void SetClock(const char* name, int mhz, int shift, int doubled)
{
    TraceMessage("\n%s=<%d>", name, mhz);
    if (!CardKnown()) return;

    WRITTEN(shift).pending = 0;
    unsigned long v;
    const int agreed = ReadClockAgreed(&v, "ATIAGP_ReadInDoubt=<0X%X>");
    if (g_referenceDivider == 0) {
        // No divider value gives the asked clock; leave the register as it is.
        TraceMessage("ATIAGP_NoDivider");
        CountClockFault();
        return;
    }
    // Nothing garbled may reach the synthesiser: the other divider is written back as
    // read, so it is written only from two agreeing reads that show the recorded R.
    if (!agreed || InDoubt(v)) {
        RefuseWrite();
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
    WriteClockRegister(v);
    WRITTEN(shift).pending = 1;
    WRITTEN(shift).divider = divider;
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
