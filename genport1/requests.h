/* The six port requests of GenPort1: decoding, exact record lengths, the port policy
 * and the status of each request. Plain C without kernel headers: the same code serves
 * the hardware driver (HAL port functions), the simulated driver (the model) and the
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

/* The lowest port functions of one machine: the processor's port instructions through
 * the HAL, or a model. ctx is handed back to each. */
typedef struct GenPortPorts {
    uint8_t (*in8)(void *ctx, uint16_t port);
    uint16_t (*in16)(void *ctx, uint16_t port);
    uint32_t (*in32)(void *ctx, uint16_t port);
    void (*out8)(void *ctx, uint16_t port, uint8_t value);
    void (*out16)(void *ctx, uint16_t port, uint16_t value);
    void (*out32)(void *ctx, uint16_t port, uint32_t value);
    void *ctx;
} GenPortPorts;

struct GenPortPolicy;

/* Serves one request. in and out may be one buffer (buffered transfer): the input is
 * read in full before anything is written. *returned gets the output byte count (0
 * unless the request succeeded). Refusals come before any port is touched:
 *   unknown code                          INVALID_DEVICE_REQUEST
 *   input or output length not exact,
 *   or a missing buffer                   INVALID_PARAMETER
 *   port or width the policy refuses      ACCESS_DENIED */
GenPortStatus genport_request(const struct GenPortPolicy *policy, const GenPortPorts *ports,
                              uint32_t code, const void *in, uint32_t inLength, void *out,
                              uint32_t outLength, uint32_t *returned);

#ifdef __cplusplus
}
#endif

#endif
