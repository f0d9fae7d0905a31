/* Which port accesses GenPort1 performs: PCI configuration mechanism 1 as far as
 * reading goes, and the clock-register ports of the ATI display devices found when the
 * driver starts. Everything else is refused. */
#ifndef GENPORT1_PORT_POLICY_H
#define GENPORT1_PORT_POLICY_H

#include <stdint.h>
#include "requests.h"

#ifdef __cplusplus
extern "C" {
#endif

#define GENPORT_CONFIG_ADDRESS 0xCF8
#define GENPORT_CONFIG_DATA 0xCFC
#define GENPORT_ATI_VENDOR 0x1002u
#define GENPORT_DISPLAY_CLASS 0x03u
#define GENPORT_INDEX_OFFSET 8  /* byte writes: the index of the register */
#define GENPORT_DATA_OFFSET 12  /* dword reads and writes: the register */
#define GENPORT_MAX_WINDOWS 16

typedef struct GenPortPolicy {
    int windows;                          /* I/O windows of the cards found */
    uint16_t base[GENPORT_MAX_WINDOWS];
} GenPortPolicy;

/* Finds the I/O windows of every display-class function of vendor 0x1002 on buses
 * 0-255 by configuration reads through ports (mechanism 1; the configuration address
 * is put back afterwards). Windows below 0x100 (motherboard ports) or reaching the
 * configuration ports are not taken; past GENPORT_MAX_WINDOWS the rest are dropped. */
void genport_policy_scan(GenPortPolicy *policy, const GenPortPorts *ports);

/* Whether one access may go to the machine:
 *   0xCF8 dword read and write; 0xCFC dword read; nothing else touching 0xCF8-0xCFF;
 *   at a found window: byte write at base+8, dword read and write at base+12. */
int genport_policy_allows(const GenPortPolicy *policy, uint32_t port, int width, int write);

#ifdef __cplusplus
}
#endif

#endif
