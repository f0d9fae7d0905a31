/* The six port requests of GenPort1: decoding, exact record lengths, the port policy
 * and the status of each request. Plain C without kernel headers: the same code serves
 * the hardware driver (HAL functions), the simulated driver (the model) and the
 * user-mode tests. */
#ifndef GENPORT1_REQUESTS_H
#define GENPORT1_REQUESTS_H

#include <stdint.h>

#include "genport_ioctl.h"  /* the request codes and records, as portgate sends them */

#ifdef __cplusplus
extern "C" {
#endif

/* NTSTATUS values, as the driver completes its requests with them. */
typedef int32_t GenPortStatus;
#define GENPORT_STATUS_SUCCESS ((GenPortStatus)0x00000000)
#define GENPORT_STATUS_INVALID_PARAMETER ((GenPortStatus)0xC000000D)
#define GENPORT_STATUS_INVALID_DEVICE_REQUEST ((GenPortStatus)0xC0000010)
#define GENPORT_STATUS_ACCESS_DENIED ((GenPortStatus)0xC0000022)

/* The lowest functions of one machine: the processor's port instructions and the
 * HAL's configuration read, or a model of them. ctx is handed back to each. */
typedef struct GenPortPorts {
    uint8_t (*in8)(void *ctx, uint16_t port);
    uint16_t (*in16)(void *ctx, uint16_t port);
    uint32_t (*in32)(void *ctx, uint16_t port);
    void (*out8)(void *ctx, uint16_t port, uint8_t value);
    void (*out16)(void *ctx, uint16_t port, uint16_t value);
    void (*out32)(void *ctx, uint16_t port, uint32_t value);
    /* The dword at configuration register reg (a multiple of 4) of bus, device and
     * function, as the HAL reads it; 0xFFFFFFFF where nothing answers. */
    uint32_t (*config)(void *ctx, int bus, int device, int function, int reg);
    /* Told of each dword at 0xCF8 or 0xCFC that a request wrote or was answered with
     * (those never reach the ports); may be 0. */
    void (*answered)(void *ctx, int write, uint16_t port, uint32_t value);
    void *ctx;
} GenPortPorts;

struct GenPortPolicy;

/* Serves one request. in and out may be one buffer (buffered transfer): the input is
 * read in full before anything is written. *returned gets the output byte count (0
 * unless the request succeeded). Refusals come before anything is touched:
 *   unknown code                          INVALID_DEVICE_REQUEST
 *   input or output length not exact,
 *   or a missing buffer                   INVALID_PARAMETER
 *   port or width the policy refuses      ACCESS_DENIED
 * PCI configuration mechanism 1 is answered without the ports: *configAddress is the
 * handle's 0xCF8, written and read back by requests; a read of 0xCFC gives the HAL's
 * dword for the register it names, or 0xFFFFFFFF while its enable bit (31) is clear.
 * Only the registers the card scan reads are asked of the HAL: function 0 on buses
 * GENPORT_SCAN_FIRST_BUS to GENPORT_SCAN_LAST_BUS, registers 0x00, 0x14 and 0x2C. Any
 * other register reads 0xFFFFFFFF, as an absent device, and is counted. */
GenPortStatus genport_request(const struct GenPortPolicy *policy, const GenPortPorts *ports,
                              uint32_t *configAddress, uint32_t code, const void *in,
                              uint32_t inLength, void *out, uint32_t outLength,
                              uint32_t *returned);

#define GENPORT_SCAN_FIRST_BUS 1
#define GENPORT_SCAN_LAST_BUS 6
#define GENPORT_CONFIG_IDS 0x00
#define GENPORT_CONFIG_WINDOW 0x14
#define GENPORT_CONFIG_SUBSYSTEM 0x2C

/* Configuration reads answered 0xFFFFFFFF because their register is not one of the
 * scan's, since the driver started. Requests come one at a time (the driver's lock). */
uint32_t genport_refused_config_reads(void);

#ifdef __cplusplus
}
#endif

#endif
