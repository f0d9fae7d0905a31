/* A switch for tests of the suite's retry: the simulated driver brings on, on demand,
 * the known fault of Wine's driver host, whose dispatch thread may still run a close in
 * GenPort1.sys while the service's stop unloads it. The scenario store's value
 *   StopRace  REG_DWORD  1: the next driver started does it (the value is set back to 0
 *                           as that driver starts)
 *                        2: every driver started does
 * A close then stalls until the stop begins (the stop waits for a close in flight, up
 * to STOP_RACE_LIMIT_MS), and the stop holds on for STOP_RACE_HOLD_MS while the close
 * thread touches the image as the unloaded image is touched (a write the image's pages
 * refuse), so that the host dies inside the stop, at the same place every time. */
#ifndef STOP_RACE_H
#define STOP_RACE_H

#define STOP_RACE_VALUE "StopRace"
#define STOP_RACE_ONCE 1u
#define STOP_RACE_ALWAYS 2u
#define STOP_RACE_LIMIT_MS 3000
#define STOP_RACE_HOLD_MS 2000

/* REG_DWORD: the drivers whose stop ran to its end, counted by the driver. */
#define SIM_VALUE_STOPS "Stops"

/* Called by the backend at the end of the driver's unload (device and link deleted). */
void stop_race_hold(void);

/* The kernel store's DWORD values (the scenario key is open while the driver runs). */
int simstore_read_dword(const char *name, unsigned long *value);
void simstore_write_dword(const char *name, unsigned long value);

#endif
