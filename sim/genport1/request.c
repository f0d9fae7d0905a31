/* Lengths are checked exactly: a read takes a 4-byte port record and gives back exactly
 * its width; a write takes the port record plus the value and gives back nothing. */
#include "request.h"
#include "genport_ioctl.h"

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

GenPortResult genport_request(SimModel *model, uint32_t code, const void *in, uint32_t inLength,
                              void *out, uint32_t outLength, uint32_t *returned)
{
    int write = 0;
    int width = decode(code, &write);
    uint32_t port, value;

    *returned = 0;
    if (!width)
        return GENPORT_UNKNOWN_CODE;
    if (inLength != (uint32_t)(write ? 4 + width : 4) || outLength != (uint32_t)(write ? 0 : width))
        return GENPORT_BAD_LENGTH;
    if (!in || (!write && !out))
        return GENPORT_BAD_LENGTH;
    port = readLe((const uint8_t *)in, 4);
    if (port > 0xFFFF)
        return GENPORT_BAD_PORT;
    if (write) {
        sim_out(model, (uint16_t)port, width, readLe((const uint8_t *)in + 4, width));
        return GENPORT_DONE;
    }
    value = sim_in(model, (uint16_t)port, width);
    writeLe((uint8_t *)out, value, width);
    *returned = (uint32_t)width;
    return GENPORT_DONE;
}
