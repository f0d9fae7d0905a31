/* The hardware's functions: the HAL's port functions, which run the processor's in and
 * out instructions, and its configuration read, which keeps the address and data
 * cycles of configuration mechanism 1 together under its own lock (on hosts that only
 * emulate the kernel, writes do nothing and reads give 0 or nothing). */
#include <ntddk.h>
#include "backend.h"

const int genport_backend_context_free = 0;

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

/* The HAL answers 0 bytes for a bus that does not exist and 2 (an invalid vendor id)
 * for an empty slot; anything short of the dword reads as nobody there. */
static uint32_t config(void *ctx, int bus, int device, int function, int reg)
{
    PCI_SLOT_NUMBER slot;
    ULONG value = 0xFFFFFFFFu;
    slot.u.AsULONG = 0;
    slot.u.bits.DeviceNumber = (ULONG)device;
    slot.u.bits.FunctionNumber = (ULONG)function;
    if (HalGetBusDataByOffset(PCIConfiguration, (ULONG)bus, slot.u.AsULONG, &value, (ULONG)reg,
                              sizeof(value)) != sizeof(value))
        return 0xFFFFFFFFu;
    return value;
}

static const GenPortPorts hal = {in8, in16, in32, out8, out16, out32, config, 0, 0};

int genport_backend_start(GenPortPorts *ports)
{
    *ports = hal;
    return 0;
}

void genport_backend_stop(void)
{
}
