// PCI configuration access (mechanism 1) and the search for a supported card.
#include "busprobe.h"
#include "card.h"
#include "portgate.h"
#include "trace.h"

#define CONFIG_ADDRESS_PORT 0xCF8
#define CONFIG_DATA_PORT 0xCFC
#define NO_DEVICE 0xFFFFFFFFu

unsigned short g_ioBase;
unsigned int g_ssid;
int g_referenceDivider = 1;

static unsigned long ReadConfig(int bus, int device, int reg)
{
    unsigned long address = 0x80000000u | (unsigned long)(bus & 0xFF) << 16 |
                            (unsigned long)(device & 0x1F) << 11 | (reg & 0xFC);
    woutpd(CONFIG_ADDRESS_PORT, address);
    return winpd(CONFIG_DATA_PORT);
}

int zykOpen_PCI(void)
{
    TraceMessage("zykOpen_PCI");
    zykInitialDriver();
    return 1;
}

int zykClose_PCI(void)
{
    TraceMessage("zykClose_PCI");
    zykCloseDriver();
    return 1;
}

// Records the card at (bus, device): its SSID, chip family, I/O window and reference
// divider. The divider is the check of every later read, so it is taken only from two
// reads that agree; without them it stays 0, which no clock call writes with.
static void RecordCard(int bus, int device, unsigned long ids, unsigned long subsystem)
{
    TraceMessage("**** ATI ZYK ****");
    g_ssid = subsystem >> 16;
    RecordFamily((unsigned int)(ids >> 16));

    unsigned long bar = ReadConfig(bus, device, 0x14);
    TraceMessage("test=<0X%X>", (unsigned int)bar);
    g_ioBase = (unsigned short)(bar & 0xFFFE);
    TraceMessage("Address=<0X%X>", g_ioBase);
    RecordRevision();

    unsigned long clock;
    if (!ReadClockAgreed(&clock, "ATI_ReadAgain=<0X%X>")) {
        TraceMessage("ATI_DivisionInDoubt");
        CountClockFault();
        clock = 0;
    }
    g_referenceDivider = (int)(clock & 0xFF);
    TraceMessage("ATI_Division=<0X%X><%d>", g_referenceDivider, g_referenceDivider);
}

int ATIAGP_Check(void)
{
    TraceMessage("\n----------");
    TraceMessage("ATIAGP_Check");
    int found = 0;
    for (int bus = 1; bus <= 6; bus++) {
        for (int device = 0; device <= 31; device++) {
            unsigned long ids = ReadConfig(bus, device, 0x00);
            if (ids == NO_DEVICE) continue;
            TraceMessage("device_id=%d", device);
            TraceMessage("ven_id=<0X%X>", (unsigned int)ids);
            TraceMessage("Vender_ID=<0X%X>", (unsigned int)(ids & 0xFFFF));
            TraceMessage("Device_ID=<0X%X>", (unsigned int)(ids >> 16));

            unsigned long subsystem = ReadConfig(bus, device, 0x2C);
            TraceMessage("ZYK=<0X%X>", (unsigned int)(subsystem & 0xFFFF));
            TraceMessage("P/N=<0X%X>", (unsigned int)(subsystem >> 16));
            TraceMessage("SSID=<0X%X>", (unsigned int)(subsystem >> 16));

            if ((ids & 0xFFFF) == ATI_VENDOR_ID &&
                (subsystem & 0xFFFF) == ZYK_SUBSYSTEM_VENDOR_ID) {
                found = 1;
                RecordCard(bus, device, ids, subsystem);
            }
            // The rest of the bus is scanned even after a match.
        }
        if (found) {
            TraceMessage("pci_bus=%d", bus);
            return 1;
        }
    }
    return 0;
}

int ATIAGP_GetSSID(void)
{
    return (int)g_ssid;
}
