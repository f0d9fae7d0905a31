/* What each build of GenPort1 puts under the shared driver code: the port functions of
 * its machine (the HAL's on hardware, the model's in the simulated driver). */
#ifndef GENPORT1_BACKEND_H
#define GENPORT1_BACKEND_H

#include "requests.h"

/* Called once from DriverEntry before the device exists. requests serves the callers'
 * requests; scan serves the driver's own configuration scan (the same functions,
 * except that a model may keep the scan out of its access record). Returns 0 when the
 * machine is ready. */
int genport_backend_start(GenPortPorts *requests, GenPortPorts *scan);
/* Called at unload, and when DriverEntry fails after a successful start. */
void genport_backend_stop(void);

#endif
