/* A read takes a 4-byte port record and gives back exactly its width; a write takes
 * the port record plus the value and gives back nothing. Nothing else is accepted. */
#include "requests.h"
#include "port_policy.h"

static uint32_t readLe(const uint8_t *p, int width)
{
    uint32_t v = 0;
    int i;
    for (i = width - 1; i >= 0; i--)
        v = (v << 8) | p[i];
    return v;
}

static void writeLe(uint8_t *p, uint32_t v, int width)
{
    int i;
    for (i = 0; i < width; i++, v >>= 8)
        p[i] = (uint8_t)v;
}

/* Width of the request and whether it writes; 0 for an unknown code. */
static int decode(uint32_t code, int *write)
{
    switch (code) {
    case GENPORT_IOCTL_READ_BYTE:   *write = 0; return 1;
    case GENPORT_IOCTL_READ_WORD:   *write = 0; return 2;
    case GENPORT_IOCTL_READ_DWORD:  *write = 0; return 4;
    case GENPORT_IOCTL_WRITE_BYTE:  *write = 1; return 1;
    case GENPORT_IOCTL_WRITE_WORD:  *write = 1; return 2;
    case GENPORT_IOCTL_WRITE_DWORD: *write = 1; return 4;
    default: return 0;
    }
}

static uint32_t refusedConfigReads;

uint32_t genport_refused_config_reads(void)
{
    return refusedConfigReads;
}

/* The registers busprobe's scan reads: function 0 of each device on buses 1 to 6, its
 * vendor and device, its I/O window and its subsystem. The rest of configuration space
 * (the chipset, every other window in the machine) is nobody's business here. */
static int configReadAllowed(int bus, int function, int reg)
{
    if (bus < GENPORT_SCAN_FIRST_BUS || bus > GENPORT_SCAN_LAST_BUS || function != 0)
        return 0;
    return reg == GENPORT_CONFIG_IDS || reg == GENPORT_CONFIG_WINDOW ||
           reg == GENPORT_CONFIG_SUBSYSTEM;
}

/* The HAL keeps its own address and data cycles together; a second writer of 0xCF8
 * on another processor could turn its configuration write into one of ours. So the
 * handle's address is only remembered, and the data comes from the HAL. */
static uint32_t configAnswer(const GenPortPorts *ports, uint32_t address)
{
    int bus = (int)(address >> 16 & 0xFF), device = (int)(address >> 11 & 0x1F);
    int function = (int)(address >> 8 & 7), reg = (int)(address & 0xFC);

    if (!(address & GENPORT_CONFIG_ENABLE))
        return 0xFFFFFFFFu;
    if (!configReadAllowed(bus, function, reg)) {
        refusedConfigReads++;
        return 0xFFFFFFFFu; /* as an absent device answers */
    }
    return ports->config(ports->ctx, bus, device, function, reg);
}

GenPortStatus genport_request(const GenPortPolicy *policy, const GenPortPorts *ports,
                              uint32_t *configAddress, uint32_t code, const void *in,
                              uint32_t inLength, void *out, uint32_t outLength,
                              uint32_t *returned)
{
    int write = 0;
    int width = decode(code, &write);
    uint32_t port, value = 0;
    uint16_t p;

    *returned = 0;
    if (!width)
        return GENPORT_STATUS_INVALID_DEVICE_REQUEST;
    if (inLength != (uint32_t)(write ? 4 + width : 4) || outLength != (uint32_t)(write ? 0 : width))
        return GENPORT_STATUS_INVALID_PARAMETER;
    if (!in || (!write && !out))
        return GENPORT_STATUS_INVALID_PARAMETER;
    port = readLe((const uint8_t *)in, 4);
    if (write)
        value = readLe((const uint8_t *)in + 4, width);
    if (!genport_policy_allows(policy, port, width, write, value))
        return GENPORT_STATUS_ACCESS_DENIED;
    p = (uint16_t)port; /* the policy refuses anything above 0xFFFF */

    if (p == GENPORT_CONFIG_ADDRESS || p == GENPORT_CONFIG_DATA) {
        /* The policy lets only dwords through here, and no write of 0xCFC. */
        if (write)
            *configAddress = value;
        else
            value = p == GENPORT_CONFIG_ADDRESS ? *configAddress : configAnswer(ports, *configAddress);
        if (ports->answered)
            ports->answered(ports->ctx, write, p, value);
    } else if (write) {
        switch (width) {
        case 1: ports->out8(ports->ctx, p, (uint8_t)value); break;
        case 2: ports->out16(ports->ctx, p, (uint16_t)value); break;
        default: ports->out32(ports->ctx, p, value); break;
        }
    } else {
        switch (width) {
        case 1: value = ports->in8(ports->ctx, p); break;
        case 2: value = ports->in16(ports->ctx, p); break;
        default: value = ports->in32(ports->ctx, p); break;
        }
    }
    if (write)
        return GENPORT_STATUS_SUCCESS;
    writeLe((uint8_t *)out, value, width);
    *returned = (uint32_t)width;
    return GENPORT_STATUS_SUCCESS;
}
