/* The simulated machine under GenPort1: the model, loaded from the scenario store when
 * the driver starts, every request's access written to the access log. The driver's
 * own configuration scan at start reads the model without the log, which records what
 * callers reach. */
#include <ntddk.h>
#include "backend.h"
#include "simstore.h"

static SimModel model;

static uint8_t in8(void *ctx, uint16_t port) { return (uint8_t)sim_in(&model, port, 1); }
static uint16_t in16(void *ctx, uint16_t port) { return (uint16_t)sim_in(&model, port, 2); }
static uint32_t in32(void *ctx, uint16_t port) { return sim_in(&model, port, 4); }
static void out8(void *ctx, uint16_t port, uint8_t value) { sim_out(&model, port, 1, value); }
static void out16(void *ctx, uint16_t port, uint16_t value) { sim_out(&model, port, 2, value); }
static void out32(void *ctx, uint16_t port, uint32_t value) { sim_out(&model, port, 4, value); }

/* The scan only reads the configuration ports: no register changes, nothing to store. */
static uint32_t quietIn32(void *ctx, uint16_t port)
{
    SimHooks hooks = model.hooks;
    uint32_t value;
    model.hooks.accessed = 0;
    value = sim_in(&model, port, 4);
    model.hooks = hooks;
    return value;
}

static void quietOut32(void *ctx, uint16_t port, uint32_t value)
{
    SimHooks hooks = model.hooks;
    model.hooks.accessed = 0;
    sim_out(&model, port, 4, value);
    model.hooks = hooks;
}

int genport_backend_start(GenPortPorts *requests, GenPortPorts *scan)
{
    static const GenPortPorts logged = {in8, in16, in32, out8, out16, out32, 0};
    simstore_open(&model);
    *requests = logged;
    *scan = logged;
    scan->in32 = quietIn32;
    scan->out32 = quietOut32;
    return 0;
}

void genport_backend_stop(void)
{
    /* The registers were stored as they were written; this closes log and key. */
    simstore_close(&model);
}
