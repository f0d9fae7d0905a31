/* Where a scenario lives: HKLM\SOFTWARE\ZykSim in the prefix's registry.
 *   DeviceNN    REG_BINARY SimDeviceRecord, NN = slot 00..31
 *   RegistersNN REG_BINARY the card's 256 index registers (dwords), kept up to date by
 *               whoever runs the model, so that they survive a driver reload
 *   StateNN     REG_BINARY the card's SimCardState (what it went through, and the knob
 *               of flaky reads), kept up to date like the registers
 *   LogFile     REG_SZ     the access log's path (SIM_DEFAULT_LOG when absent)
 *   Generation  REG_DWORD  bumped by every scenario edit, so that a model running
 *               in a long-lived process (the direct road) knows to load it again
 * The store has two implementations with this one interface: the kernel driver's
 * (Zw* calls) and the user programs' (Win32 registry and files). */
#ifndef SIMSTORE_H
#define SIMSTORE_H

#include "simcard.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SIM_REG_KEY "SOFTWARE\\ZykSim"
#define SIM_VALUE_LOGFILE "LogFile"
#define SIM_VALUE_DEVICE "Device"
#define SIM_VALUE_REGISTERS "Registers"
#define SIM_VALUE_STATE "State"
#define SIM_VALUE_GENERATION "Generation"
#define SIM_DEFAULT_LOG "C:\\zyksim\\access.log"

#define SIM_DEVICE_IS_CARD 1u

typedef struct SimDeviceRecord {
    uint32_t location;                  /* SIM_LOCATION(bus, dev, fn) */
    uint32_t flags;                     /* SIM_DEVICE_IS_CARD */
    uint32_t config[SIM_CONFIG_DWORDS];
} SimDeviceRecord;

/* "Device07" and the like: prefix plus the slot in two decimal digits. out holds 16. */
void sim_value_name(const char *prefix, int slot, char out[16]);

/* Loads the scenario into model, opens the access log and hooks the model to both.
 * A missing scenario gives an empty machine. Returns the number of devices loaded. */
int simstore_open(SimModel *model);
/* Unhooks the model and closes the log and the registry key. */
void simstore_close(SimModel *model);

#ifdef __cplusplus
}
#endif

#endif
