/* Which port accesses GenPort1 performs: PCI configuration mechanism 1 as far as
 * reading goes (answered through the HAL), and the clock-register ports of the ATI
 * display devices found when the driver starts. Everything else is refused. */
#ifndef GENPORT1_PORT_POLICY_H
#define GENPORT1_PORT_POLICY_H

#include <stdint.h>
#include "requests.h"

#ifdef __cplusplus
extern "C" {
#endif

#define GENPORT_CONFIG_ADDRESS 0xCF8
#define GENPORT_CONFIG_DATA 0xCFC
#define GENPORT_CONFIG_ENABLE 0x80000000u
#define GENPORT_ATI_VENDOR 0x1002u
#define GENPORT_DISPLAY_CLASS 0x03u
#define GENPORT_WINDOW_REGISTER 0x14 /* the I/O base register the clock library reads */
#define GENPORT_WINDOW_BYTES 0x100   /* the cards' I/O window: 256 bytes, so aligned */
#define GENPORT_INDEX_OFFSET 8  /* byte writes: the index of the register */
#define GENPORT_DATA_OFFSET 12  /* dword reads and writes: the register */
#define GENPORT_CRTC_OFFSET 0x50 /* dword reads: CRTC_GEN_CNTL, read by the chips' errata */
#define GENPORT_CONFIG_CNTL_OFFSET 0xE0 /* dword reads: CONFIG_CNTL, the chip's revision */
/* The only index bytes: the clock register to read, and with write enable to write;
 * and 0x00, the R300 A11's read after each data access (register 0 is only read). */
#define GENPORT_CLOCK_INDEX_READ 0x0Au
#define GENPORT_CLOCK_INDEX_WRITE 0x8Au
#define GENPORT_A11_INDEX 0x00u
#define GENPORT_MAX_WINDOWS 16

typedef struct GenPortPolicy {
    int windows;                          /* I/O windows of the cards found */
    uint16_t base[GENPORT_MAX_WINDOWS];
} GenPortPolicy;

/* Finds the card windows of the display-class functions of vendor 0x1002 on buses
 * 0-255 through the HAL's configuration reads (ports->config; no port is touched).
 * A window is taken only from register 0x14 holding an I/O window (bit 0 set, and not
 * the upper half of a 64-bit memory window in 0x10), with I/O decoding enabled in the
 * command register (0x04 bit 0), aligned to GENPORT_WINDOW_BYTES, the low 16 bits as
 * the clock library takes them. Windows below 0x100 (motherboard ports) or reaching the
 * configuration ports are not taken; past GENPORT_MAX_WINDOWS the rest are dropped. */
void genport_policy_scan(GenPortPolicy *policy, const GenPortPorts *ports);

/* Whether one access may be served (value: what a write would write):
 *   0xCF8 dword read and write; 0xCFC dword read; nothing else touching 0xCF8-0xCFF;
 *   at a found window: byte writes of 0x0A, 0x8A and 0x00 at base+8, dword read and
 *   write at base+12, dword reads at base+0x50 and base+0xE0; nothing else in the
 *   window. */
int genport_policy_allows(const GenPortPolicy *policy, uint32_t port, int width, int write,
                          uint32_t value);

#ifdef __cplusplus
}
#endif

#endif
