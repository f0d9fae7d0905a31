/* Many machines reset on a byte write of 0xCF9, and a configuration write can move any
 * device's windows; so configuration space is read-only here and the byte and word
 * ports around the configuration registers stay shut. */
#include "port_policy.h"

#define NO_FUNCTION 0xFFFFu
#define COMMAND_IO_DECODING 0x1u

static uint32_t readConfig(const GenPortPorts *ports, int bus, int dev, int fn, int reg)
{
    return ports->config(ports->ctx, bus, dev, fn, reg);
}

static int touchesConfigPorts(uint32_t first, uint32_t last)
{
    return first <= GENPORT_CONFIG_DATA + 3 && last >= GENPORT_CONFIG_ADDRESS;
}

static void addWindow(GenPortPolicy *policy, uint32_t base)
{
    int i;
    if (base < 0x100 || touchesConfigPorts(base, base + GENPORT_DATA_OFFSET + 3))
        return;
    for (i = 0; i < policy->windows; i++)
        if (policy->base[i] == base)
            return;
    if (policy->windows < GENPORT_MAX_WINDOWS)
        policy->base[policy->windows++] = (uint16_t)base;
}

/* The window the clock library will use: register 0x14, read as it reads it (low 16
 * bits, flag bits dropped), and only where the card itself decodes it there. */
static void takeWindow(GenPortPolicy *policy, const GenPortPorts *ports, int bus, int dev, int fn)
{
    uint32_t below = readConfig(ports, bus, dev, fn, GENPORT_WINDOW_REGISTER - 4);
    uint32_t bar, base;
    if (!(readConfig(ports, bus, dev, fn, 0x04) & COMMAND_IO_DECODING))
        return;
    if (!(below & 1) && ((below >> 1) & 3) == 2)
        return; /* 0x14 is the upper half of a 64-bit memory window */
    bar = readConfig(ports, bus, dev, fn, GENPORT_WINDOW_REGISTER);
    if (!(bar & 1))
        return;
    base = bar & 0xFFFCu;
    if (base % GENPORT_WINDOW_BYTES != 0)
        return;
    addWindow(policy, base);
}

void genport_policy_scan(GenPortPolicy *policy, const GenPortPorts *ports)
{
    int bus, dev, fn;

    policy->windows = 0;
    for (bus = 0; bus < 256; bus++) {
        for (dev = 0; dev < 32; dev++) {
            int functions = 1;
            for (fn = 0; fn < functions; fn++) {
                uint32_t ids = readConfig(ports, bus, dev, fn, 0x00);
                uint32_t header;
                if ((ids & 0xFFFFu) == NO_FUNCTION)
                    continue; /* function 0 absent: functions stays 1 */
                header = readConfig(ports, bus, dev, fn, 0x0C) >> 16 & 0xFF;
                if (fn == 0 && (header & 0x80))
                    functions = 8;
                if ((ids & 0xFFFFu) != GENPORT_ATI_VENDOR || (header & 0x7F) != 0)
                    continue;
                if (readConfig(ports, bus, dev, fn, 0x08) >> 24 != GENPORT_DISPLAY_CLASS)
                    continue;
                takeWindow(policy, ports, bus, dev, fn);
            }
        }
    }
}

/* The clock register alone, and register 0 without write enable: any other index byte
 * would open every PLL register, with write enable, to the driver's owner. */
int genport_policy_allows(const GenPortPolicy *policy, uint32_t port, int width, int write,
                          uint32_t value)
{
    uint32_t last = port + (uint32_t)width - 1;
    int i;

    if (port > 0xFFFFu || last > 0xFFFFu || (width != 1 && width != 2 && width != 4))
        return 0;
    if (touchesConfigPorts(port, last))
        return width == 4 && (port == GENPORT_CONFIG_ADDRESS ||
                              (port == GENPORT_CONFIG_DATA && !write));
    for (i = 0; i < policy->windows; i++) {
        uint32_t base = policy->base[i];
        if (port == base + GENPORT_INDEX_OFFSET && width == 1 && write)
            return value == GENPORT_CLOCK_INDEX_READ || value == GENPORT_CLOCK_INDEX_WRITE ||
                   value == GENPORT_A11_INDEX;
        if (port == base + GENPORT_DATA_OFFSET && width == 4)
            return 1;
        if ((port == base + GENPORT_CRTC_OFFSET || port == base + GENPORT_CONFIG_CNTL_OFFSET) &&
            width == 4 && !write)
            return 1;
    }
    return 0;
}
