/* The scenario store for user programs (Win32 registry and files): what the direct-road
 * emulator runs the model from, and what tests and simctl edit scenarios with. */
#ifndef SIMSTORE_USER_H
#define SIMSTORE_USER_H

#include "simstore.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The record of a slot; 0 when the slot is empty. */
int simstore_read_device(int slot, SimDeviceRecord *record);
int simstore_write_device(int slot, const SimDeviceRecord *record);
/* Empties a slot: its record and its registers. */
void simstore_remove_device(int slot);

/* A card's persisted registers (all zero when none are stored); 0 when none are. */
int simstore_read_registers(int slot, uint32_t registers[SIM_CARD_REGISTERS]);
int simstore_write_registers(int slot, const uint32_t registers[SIM_CARD_REGISTERS]);

/* A card's persisted state (fresh when none is stored); 0 when none is. */
int simstore_read_state(int slot, SimCardState *state);
int simstore_write_state(int slot, const SimCardState *state);

/* The access log's path (DOS form). Creates its folder so that writers can open it. */
void simstore_log_path(char *path, int size);

/* Marks the scenario as edited (see SIM_VALUE_GENERATION). */
void simstore_touch(void);
/* 1 when the scenario was edited since simstore_open loaded it. */
int simstore_changed(void);

/* The scenario as a model, without log or hooks. Returns the number of devices. */
int simstore_load(SimModel *model);

#ifdef __cplusplus
}
#endif

#endif
