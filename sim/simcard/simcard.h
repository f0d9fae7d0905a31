/* The simulated machine behind the port driver: PCI configuration mechanism 1 at
 * 0xCF8/0xCFC over buses 0-255, a handful of PCI functions, and the graphics cards'
 * I/O register windows. Plain C without any runtime: it is built into the kernel
 * driver GenPort1.sys as well as into user programs. */
#ifndef SIMCARD_H
#define SIMCARD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SIM_MAX_DEVICES 32
#define SIM_CONFIG_DWORDS 64      /* 256 bytes of configuration space */
#define SIM_CARD_REGISTERS 256    /* index registers 0x00..0xFF of a card */

#define SIM_CONFIG_ADDRESS_PORT 0xCF8
#define SIM_CONFIG_DATA_PORT 0xCFC
#define SIM_CARD_INDEX_OFFSET 8   /* index port = I/O base + 8 */
#define SIM_CARD_DATA_OFFSET 12   /* data port = I/O base + 12 */
#define SIM_CARD_CRTC_OFFSET 0x50 /* CRTC_GEN_CNTL, the register the errata read */
#define SIM_CARD_CONFIG_CNTL_OFFSET 0xE0 /* CONFIG_CNTL: the chip's revision in bits 16-19 */

/* The PLL interface as the chips behave. The index register is a dword: bits 0-5 name
 * the PLL register, bit 7 is write enable (a data write lands only with it), and bits
 * 8-9 are PPLL_DIV_SEL, which the display driver sets and the chip keeps; a byte write
 * at the index port replaces bits 0-7 alone. */
#define SIM_PLL_REGISTER_MASK 0x3Fu
#define SIM_PLL_WRITE_ENABLE 0x80u
#define SIM_INDEX_POWER_UP 0x00000300u /* PPLL_DIV_SEL = 3 */
/* The chips that need dummy reads (data port, then CRTC_GEN_CNTL) after each index
 * write, those that hang when touched within 5 ms of a data-port access, and the R300
 * of revision A11 (CONFIG_CNTL bits 16-19 all 0): after any data-port access every read
 * of the chip, PLL or not, is garbage until a data read with the index's register bits
 * and write enable cleared. */
#define SIM_ERRATUM_DUMMY_READS 1u
#define SIM_ERRATUM_DATA_DELAY 2u
#define SIM_ERRATUM_R300_A11 4u
#define SIM_DATA_DELAY_US 5000u
enum SimFamily {
    SIM_FAMILY_OTHER = 0, SIM_FAMILY_RV100, SIM_FAMILY_RV200, SIM_FAMILY_RS100, SIM_FAMILY_RS200,
    SIM_FAMILY_R300
};
/* The family of an ATI device id (the chip's own table, from the public drivers' id
 * tables), and the errata each family has. SIM_ERRATUM_R300_A11 holds only for the
 * revision A11; sim_card_errata answers for a card as it sits. */
int sim_family(uint16_t deviceId);
unsigned sim_family_errata(int family);

/* What a card went through, kept across loads of the model (see simstore.h). */
typedef struct SimCardState {
    uint32_t ignoredWrites;  /* data writes without write enable: dropped */
    uint32_t hung;           /* 1 once touched too soon: reads all ones, writes lost */
    uint32_t flakyReads;     /* knob: this many next data reads return garbage */
    uint32_t garbageReads;   /* data reads answered with garbage */
    uint32_t shortestGapUs;  /* shortest time from a data-port access to the chip's next
                              * access (delay chips, with a clock); SIM_NO_GAP if none */
    uint32_t plausibleReads; /* knob: this many next data reads return plausible garbage:
                              * the register's R (bits 0-7) intact, another field off,
                              * different from the read before */
    uint32_t writesWithoutDummyReads; /* data writes on a dummy-read chip without both dummy
                               * reads since the index write (the drivers never make one) */
    uint32_t indexUpperChanges; /* writes that changed bits 8-31 of the index register */
    uint32_t a11Garbled;     /* R300 A11: 1 from a data access until the index-0 read */
} SimCardState;
#define SIM_NO_GAP 0xFFFFFFFFu

/* Where a function sits, in the bit layout of the configuration address:
 * bus << 16 | device << 11 | function << 8. */
#define SIM_LOCATION(bus, dev, fn) \
    ((((uint32_t)(bus) & 0xFF) << 16) | (((uint32_t)(dev) & 0x1F) << 11) | (((uint32_t)(fn) & 7) << 8))

typedef struct SimAccess {
    int write;      /* 1 for out, 0 for in */
    int width;      /* 1, 2 or 4 bytes */
    uint16_t port;
    uint32_t value; /* the value written, or the value the read returned */
} SimAccess;

/* What the model tells its host: every port access in order, and every write of a
 * card's index register (so that the host can keep it across loads). */
typedef struct SimHooks {
    void (*accessed)(void *ctx, const SimAccess *access);
    void (*registerWritten)(void *ctx, int slot, int index, uint32_t value);
    void (*stateChanged)(void *ctx, int slot, const SimCardState *state);
    /* A clock in microseconds; without it the chips' timing is not modelled. */
    uint64_t (*microseconds)(void *ctx);
    void *ctx;
} SimHooks;

typedef struct SimDevice {
    int present;
    int isCard;                         /* claims the I/O window of config register 0x14 */
    uint32_t location;                  /* SIM_LOCATION */
    uint32_t config[SIM_CONFIG_DWORDS]; /* read-only: configuration writes are ignored */
    uint32_t registers[SIM_CARD_REGISTERS];
    uint32_t index;                     /* the index register (SIM_INDEX_POWER_UP at first) */
    int family;                         /* SimFamily, from the device id */
    uint32_t crtc;                      /* CRTC_GEN_CNTL at I/O base + 0x50 */
    uint32_t configCntl;                /* CONFIG_CNTL at I/O base + 0xE0 (read-only): its
                                         * revision field (bits 16-19) is the low four bits
                                         * of the PCI revision id (configuration 0x08) */
    uint32_t lastGarbage;               /* the last plausible garbage answered */
    SimCardState state;
    int dummyStage;                     /* dummy reads done since the last index write */
    int dataTouched;                    /* a data-port access not yet followed by another */
    uint64_t dataTime;                  /* when it happened */
} SimDevice;

typedef struct SimModel {
    SimDevice devices[SIM_MAX_DEVICES];
    uint32_t configAddress;             /* last dword written to 0xCF8 */
    uint32_t noise;                     /* where the next garbage comes from */
    SimHooks hooks;
} SimModel;

/* Empties the machine: no devices, configuration address 0, hooks kept. */
void sim_model_clear(SimModel *model);

/* Puts a device into a slot (0..SIM_MAX_DEVICES-1). registers may be 0 (all zero).
 * Returns 0 for a bad slot. */
int sim_model_put(SimModel *model, int slot, uint32_t location, const uint32_t *config,
                  int isCard, const uint32_t *registers);

/* A card's state as a store keeps it (the fresh state: zeros, no gap measured). */
void sim_model_set_state(SimModel *model, int slot, const SimCardState *state);
void sim_state_fresh(SimCardState *state);

/* The errata of the card in slot as it sits: its family's, with the A11 rule only
 * where CONFIG_CNTL says revision A11. */
unsigned sim_card_errata(const SimModel *model, int slot);

/* The card (slot) whose I/O window starts at ioBase, or -1. */
int sim_model_find_card(const SimModel *model, uint16_t ioBase);

/* The dword at configuration register reg (low two bits ignored) of the function at
 * location (SIM_LOCATION), as a HAL reads it: all ones where nobody sits. Touches no
 * port and reports nothing. */
uint32_t sim_config_read(const SimModel *model, uint32_t location, int reg);

/* Port access of width 1, 2 or 4. Ports nobody claims read all ones; writes to them
 * are dropped. Every access is reported through hooks.accessed. A card claims its
 * index register (base + 8), data port (base + 12), CRTC_GEN_CNTL (base + 0x50) and
 * CONFIG_CNTL (base + 0xE0). */
uint32_t sim_in(SimModel *model, uint16_t port, int width);
void sim_out(SimModel *model, uint16_t port, int width, uint32_t value);

/* The access log as text, one line of SIM_LOG_LINE bytes per access:
 * "W4 0CF8 80010000\n": R or W, the width, the port and the value, in upper-case hex. */
#define SIM_LOG_LINE 17
void sim_format_access(const SimAccess *access, char line[SIM_LOG_LINE]);
/* Parses one line (without needing the newline); returns 0 if it is malformed. */
int sim_parse_access(const char *line, int length, SimAccess *access);

#ifdef __cplusplus
}
#endif

#endif
