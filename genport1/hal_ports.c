/* The hardware's port functions: the HAL's, which run the processor's in and out
 * instructions (and do nothing on hosts that only emulate the kernel). */
#include <ntddk.h>
#include "backend.h"

static uint8_t in8(void *ctx, uint16_t port)
{
    return READ_PORT_UCHAR((PUCHAR)(ULONG_PTR)port);
}

static uint16_t in16(void *ctx, uint16_t port)
{
    return READ_PORT_USHORT((PUSHORT)(ULONG_PTR)port);
}

static uint32_t in32(void *ctx, uint16_t port)
{
    return READ_PORT_ULONG((PULONG)(ULONG_PTR)port);
}

static void out8(void *ctx, uint16_t port, uint8_t value)
{
    WRITE_PORT_UCHAR((PUCHAR)(ULONG_PTR)port, value);
}

static void out16(void *ctx, uint16_t port, uint16_t value)
{
    WRITE_PORT_USHORT((PUSHORT)(ULONG_PTR)port, value);
}

static void out32(void *ctx, uint16_t port, uint32_t value)
{
    WRITE_PORT_ULONG((PULONG)(ULONG_PTR)port, value);
}

static const GenPortPorts hal = {in8, in16, in32, out8, out16, out32, 0};

int genport_backend_start(GenPortPorts *requests, GenPortPorts *scan)
{
    *requests = hal;
    *scan = hal;
    return 0;
}

void genport_backend_stop(void)
{
}
