/* What each build of GenPort1 puts under the shared driver code: the port functions
 * and the configuration read of its machine (the HAL's on hardware, the model's in the
 * simulated driver), and how it treats a create without security context. */
#ifndef GENPORT1_BACKEND_H
#define GENPORT1_BACKEND_H

#include "requests.h"

/* Called once from DriverEntry before the device exists. Returns 0 when the machine is
 * ready; ports then serve the driver's own scan and the callers' requests. */
int genport_backend_start(GenPortPorts *ports);
/* Called at unload, and when DriverEntry fails after a successful start. */
void genport_backend_stop(void);

/* 1 when a create without security context is let through: only the simulated driver,
 * whose host (Wine's kernel) gives no create a security context; the hardware driver
 * refuses such a create. */
extern const int genport_backend_context_free;

#endif
