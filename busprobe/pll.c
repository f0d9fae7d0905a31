// The clock synthesiser's index/data interface as the chips want it: write enable in
// the index byte before a data write, the bare register number before a read, and the
// workarounds each chip family needs (from the device id the scan read).
#include <windows.h>
#include "busprobe.h"
#include "card.h"
#include "families.h"
#include "portgate.h"
#include "trace.h"

#define PLL_WRITE_ENABLE 0x80
#define PLL_REGISTER_MASK 0x3F
#define CRTC_GEN_CNTL_PORT(base) ((unsigned short)((base) + 0x50))
#define CONFIG_CNTL_PORT(base) ((unsigned short)((base) + 0xE0))
#define CONFIG_CNTL_REVISION(v) ((v) >> 16 & 0xF)
#define DATA_DELAY_MS 5
// Reads of the clock register that may follow a first one until two agree.
#define REREADS 3

unsigned int g_errata;
static unsigned long g_clockFaults;

void RecordFamily(unsigned int deviceId)
{
    g_errata = 0;
    for (unsigned i = 0; i < sizeof kChipFamilies / sizeof kChipFamilies[0]; i++) {
        if (kChipFamilies[i].id == deviceId) {
            g_errata = kChipFamilies[i].errata;
            TraceMessage("ATI_Family=<%s>", kChipFamilies[i].family);
            return;
        }
    }
}

void CountClockFault(void) { g_clockFaults++; }

unsigned long zykClockFaults(void) { return g_clockFaults; }

// A sleep below the timer tick may return early on the NT family, so the 5 ms are
// measured: on the performance counter where the system has one, else on the tick
// count until 5 ms and one whole tick have passed.
static void WaitAfterData(void)
{
    static int counterKnown;
    static DWORD ticksFor5ms;
    if (!(g_errata & ERRATUM_DATA_DELAY)) return;
    if (!counterKnown) {
        LARGE_INTEGER frequency;
        counterKnown = 1;
        if (QueryPerformanceFrequency(&frequency) && frequency.HighPart == 0 && frequency.LowPart >= 1000)
            ticksFor5ms = frequency.LowPart / (1000 / DATA_DELAY_MS) + 1;
    }
    LARGE_INTEGER start, now;
    if (ticksFor5ms && QueryPerformanceCounter(&start)) {
        do {
            QueryPerformanceCounter(&now);
        } while (now.QuadPart - start.QuadPart < (LONGLONG)ticksFor5ms);
        return;
    }
    DWORD begin = GetTickCount(), first;
    while ((first = GetTickCount()) == begin) {
    }
    DWORD tick = first - begin;
    while (GetTickCount() - begin < DATA_DELAY_MS + tick) {
    }
}

// The A11 rule is the revision's, not the family's: CONFIG_CNTL tells, read once before
// the first access to the clock register.
void RecordRevision(void)
{
    if (!(g_errata & ERRATUM_R300_A11)) return;
    unsigned long config = winpd(CONFIG_CNTL_PORT(g_ioBase));
    TraceMessage("ATI_ConfigCntl=<0X%X>", (unsigned int)config);
    if (CONFIG_CNTL_REVISION(config) != 0) g_errata &= ~ERRATUM_R300_A11;
}

static void WriteIndex(unsigned char index)
{
    woutp(INDEX_PORT(g_ioBase), index);
    if (g_errata & ERRATUM_DUMMY_READS) {
        // Without these two reads the chip may answer the next PLL read with garbage.
        winpd(DATA_PORT(g_ioBase));
        WaitAfterData();
        winpd(CRTC_GEN_CNTL_PORT(g_ioBase));
    }
}

// After a data-port access: the family's wait, and on an R300 A11 index 0 and one data
// read, without which the chip's later reads (the display driver's too) may be wrong.
static void AfterDataAccess(unsigned char index)
{
    WaitAfterData();
    if (!(g_errata & ERRATUM_R300_A11)) return;
    woutp(INDEX_PORT(g_ioBase), 0x00);
    winpd(DATA_PORT(g_ioBase));
    WaitAfterData();
    woutp(INDEX_PORT(g_ioBase), index); // the index in use, back
}

unsigned long ReadClockRegister(void)
{
    const unsigned char index = CLOCK_REGISTER & PLL_REGISTER_MASK;
    WriteIndex(index);
    unsigned long v = winpd(DATA_PORT(g_ioBase));
    AfterDataAccess(index);
    return v;
}

void WriteClockRegister(unsigned long v)
{
    const unsigned char index = (CLOCK_REGISTER & PLL_REGISTER_MASK) | PLL_WRITE_ENABLE;
    WriteIndex(index);
    woutpd(DATA_PORT(g_ioBase), v);
    AfterDataAccess(index);
}

// One read can be garbled (the display driver moving the index between our index write
// and data read, a chip's erratum) and still look like the register; a garbled value
// does not repeat exactly, so a value is two consecutive reads that agree in all 32 bits.
int ReadClockAgreed(unsigned long* v, const char* againFormat)
{
    unsigned long last = ReadClockRegister();
    TraceMessage("test=<0X%X>", (unsigned int)last);
    for (int reread = 0; reread < REREADS; reread++) {
        unsigned long again = ReadClockRegister();
        if (again == last) {
            *v = again;
            return 1;
        }
        TraceMessage(againFormat, (unsigned int)again);
        last = again;
    }
    *v = last;
    return 0;
}
