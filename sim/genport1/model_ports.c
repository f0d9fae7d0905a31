/* The simulated machine under GenPort1: the model, loaded from the scenario store when
 * the driver starts. Every access a request makes is written to the access log; the
 * configuration dwords, which the driver answers through the model's configuration
 * read (its HAL) without touching the model's 0xCF8/0xCFC, are logged as the request
 * saw them. The driver's own scan at start reads configuration space without the log,
 * which records what callers reach. */
#include <ntddk.h>
#include "backend.h"
#include "simstore.h"
#include "stop_race.h"

/* The image's own headers: e_lfanew at 0x3C of the DOS header, SizeOfImage at 0x50 of
 * the NT headers (the same offset in PE32 and PE32+). */
extern const char __ImageBase[];

/* The driver host's log (Wine's debug output of winedevice) gets the image's range as
 * loaded (and, from sim_entry.c, the moment its stop begins): what tells the host's
 * fault in the unloaded image apart from any other failure. */
static void announceImage(void)
{
    const char *base = __ImageBase;
    ULONG size = *(const ULONG *)(base + *(const LONG *)(base + 0x3C) + 0x50);
    DbgPrint("GenPort1 image %p size %08lx\n", base, size);
}

/* Wine's kernel gives no create a security context, and this driver exists only to run
 * under it: the caller there is the user who runs the tests. The hardware driver
 * refuses such a create. */
const int genport_backend_context_free = 1;

static SimModel model;

static uint8_t in8(void *ctx, uint16_t port) { return (uint8_t)sim_in(&model, port, 1); }
static uint16_t in16(void *ctx, uint16_t port) { return (uint16_t)sim_in(&model, port, 2); }
static uint32_t in32(void *ctx, uint16_t port) { return sim_in(&model, port, 4); }
static void out8(void *ctx, uint16_t port, uint8_t value) { sim_out(&model, port, 1, value); }
static void out16(void *ctx, uint16_t port, uint16_t value) { sim_out(&model, port, 2, value); }
static void out32(void *ctx, uint16_t port, uint32_t value) { sim_out(&model, port, 4, value); }

static uint32_t config(void *ctx, int bus, int device, int function, int reg)
{
    return sim_config_read(&model, SIM_LOCATION(bus, device, function), reg);
}

static void answered(void *ctx, int write, uint16_t port, uint32_t value)
{
    SimAccess access;
    if (!model.hooks.accessed)
        return;
    access.write = write;
    access.width = 4;
    access.port = port;
    access.value = value;
    model.hooks.accessed(model.hooks.ctx, &access);
}

int genport_backend_start(GenPortPorts *ports)
{
    static const GenPortPorts modelled = {in8, in16, in32, out8, out16, out32, config, answered, 0};
    announceImage();
    simstore_open(&model);
    *ports = modelled;
    return 0;
}

void genport_backend_stop(void)
{
    unsigned long stops = 0;
    stop_race_hold();
    /* Counted in the store, for tests that check every stop ran to its end. */
    simstore_read_dword(SIM_VALUE_STOPS, &stops);
    simstore_write_dword(SIM_VALUE_STOPS, stops + 1);
    /* The registers were stored as they were written; this closes log and key. */
    simstore_close(&model);
}
