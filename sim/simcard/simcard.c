/* The machine's port decoding. Every register here is a dword; narrower accesses read
 * or replace a slice of it, as the bus does for byte enables. An access that would
 * run past the end of a register is not claimed by anyone.
 * The cards' PLL interface follows the chips' rules, not our program's reading of
 * them: write enable in the index byte, and each family's errata (simcard.h). */
#include "simcard.h"

#define NOISE_SEED 0x2545F491u

/* Device ids of the families with errata, from the public drivers' PCI id tables
 * (Linux radeon, X.org ati); the RS250 ids are filed as RS200, as the drivers file them.
 * Any other id is a chip without errata. */
static const struct {
    uint16_t id;
    int family;
} familyIds[] = {
    {0x5159, SIM_FAMILY_RV100}, {0x515A, SIM_FAMILY_RV100}, {0x515E, SIM_FAMILY_RV100},
    {0x4C59, SIM_FAMILY_RV100}, {0x4C5A, SIM_FAMILY_RV100}, {0x5969, SIM_FAMILY_RV100},
    {0x5157, SIM_FAMILY_RV200}, {0x5158, SIM_FAMILY_RV200},
    {0x4C57, SIM_FAMILY_RV200}, {0x4C58, SIM_FAMILY_RV200},
    {0x4136, SIM_FAMILY_RS100}, {0x4336, SIM_FAMILY_RS100},
    {0x4137, SIM_FAMILY_RS200}, {0x4337, SIM_FAMILY_RS200},
    {0x4237, SIM_FAMILY_RS200}, {0x4437, SIM_FAMILY_RS200},
    {0x4144, SIM_FAMILY_R300}, {0x4145, SIM_FAMILY_R300}, {0x4146, SIM_FAMILY_R300},
    {0x4147, SIM_FAMILY_R300}, {0x4E44, SIM_FAMILY_R300}, {0x4E45, SIM_FAMILY_R300},
    {0x4E46, SIM_FAMILY_R300}, {0x4E47, SIM_FAMILY_R300},
};

int sim_family(uint16_t deviceId)
{
    unsigned i;
    for (i = 0; i < sizeof(familyIds) / sizeof(familyIds[0]); i++)
        if (familyIds[i].id == deviceId)
            return familyIds[i].family;
    return SIM_FAMILY_OTHER;
}

unsigned sim_family_errata(int family)
{
    switch (family) {
    case SIM_FAMILY_RV100: return SIM_ERRATUM_DATA_DELAY;
    case SIM_FAMILY_RS100: return SIM_ERRATUM_DATA_DELAY;
    case SIM_FAMILY_RV200: return SIM_ERRATUM_DUMMY_READS;
    case SIM_FAMILY_RS200: return SIM_ERRATUM_DUMMY_READS | SIM_ERRATUM_DATA_DELAY;
    case SIM_FAMILY_R300: return SIM_ERRATUM_R300_A11;
    default: return 0;
    }
}

#define CONFIG_CNTL_REVISION(v) (((v) >> 16) & 0xFu)

static unsigned deviceErrata(const SimDevice *d)
{
    unsigned errata = sim_family_errata(d->family);
    if (CONFIG_CNTL_REVISION(d->configCntl) != 0)
        errata &= ~SIM_ERRATUM_R300_A11;
    return errata;
}

unsigned sim_card_errata(const SimModel *model, int slot)
{
    if (slot < 0 || slot >= SIM_MAX_DEVICES)
        return 0;
    return deviceErrata(&model->devices[slot]);
}

void sim_state_fresh(SimCardState *state)
{
    state->ignoredWrites = 0;
    state->hung = 0;
    state->flakyReads = 0;
    state->garbageReads = 0;
    state->shortestGapUs = SIM_NO_GAP;
    state->plausibleReads = 0;
    state->writesWithoutDummyReads = 0;
    state->indexUpperChanges = 0;
    state->a11Garbled = 0;
}

static uint32_t ones(int width)
{
    return width == 1 ? 0xFFu : width == 2 ? 0xFFFFu : 0xFFFFFFFFu;
}

static int sliceFits(int offset, int width)
{
    return offset >= 0 && offset + width <= 4;
}

static uint32_t readSlice(uint32_t dword, int offset, int width)
{
    return (dword >> (8 * offset)) & ones(width);
}

static uint32_t mergeSlice(uint32_t dword, int offset, int width, uint32_t value)
{
    uint32_t mask = ones(width) << (8 * offset);
    return (dword & ~mask) | ((value << (8 * offset)) & mask);
}

static void report(SimModel *model, int write, int width, uint16_t port, uint32_t value)
{
    SimAccess access;
    if (!model->hooks.accessed)
        return;
    access.write = write;
    access.width = width;
    access.port = port;
    access.value = value;
    model->hooks.accessed(model->hooks.ctx, &access);
}

void sim_model_clear(SimModel *model)
{
    int i, j;
    for (i = 0; i < SIM_MAX_DEVICES; i++) {
        SimDevice *d = &model->devices[i];
        d->present = 0;
        d->isCard = 0;
        d->location = 0;
        d->index = SIM_INDEX_POWER_UP;
        d->family = SIM_FAMILY_OTHER;
        d->crtc = 0;
        d->configCntl = 0;
        d->lastGarbage = 0;
        sim_state_fresh(&d->state);
        d->dummyStage = 0;
        d->dataTouched = 0;
        d->dataTime = 0;
        for (j = 0; j < SIM_CONFIG_DWORDS; j++)
            d->config[j] = 0;
        for (j = 0; j < SIM_CARD_REGISTERS; j++)
            d->registers[j] = 0;
    }
    model->configAddress = 0;
    model->noise = NOISE_SEED;
}

int sim_model_put(SimModel *model, int slot, uint32_t location, const uint32_t *config,
                  int isCard, const uint32_t *registers)
{
    SimDevice *d;
    int j;
    if (slot < 0 || slot >= SIM_MAX_DEVICES)
        return 0;
    d = &model->devices[slot];
    d->present = 1;
    d->isCard = isCard != 0;
    d->location = location & 0x00FFFF00u;
    d->index = SIM_INDEX_POWER_UP;
    for (j = 0; j < SIM_CONFIG_DWORDS; j++)
        d->config[j] = config[j];
    for (j = 0; j < SIM_CARD_REGISTERS; j++)
        d->registers[j] = registers ? registers[j] : 0;
    d->family = (config[0] & 0xFFFFu) == 0x1002u ? sim_family((uint16_t)(config[0] >> 16))
                                                 : SIM_FAMILY_OTHER;
    d->crtc = 0;
    d->configCntl = (config[0x08 / 4] & 0xFu) << 16;
    d->lastGarbage = 0;
    sim_state_fresh(&d->state);
    /* Nothing is known of the chip's PLL interface until an index write. */
    d->dummyStage = 0;
    d->dataTouched = 0;
    d->dataTime = 0;
    return 1;
}

void sim_model_set_state(SimModel *model, int slot, const SimCardState *state)
{
    if (slot >= 0 && slot < SIM_MAX_DEVICES)
        model->devices[slot].state = *state;
}

/* A card decodes its window only while register 0x14 says it is an I/O window. */
static int windowBase(const SimDevice *d, uint16_t *base)
{
    uint32_t bar = d->config[0x14 / 4];
    if (!d->present || !d->isCard || !(bar & 1))
        return 0;
    *base = (uint16_t)(bar & 0xFFFCu);
    return 1;
}

int sim_model_find_card(const SimModel *model, uint16_t ioBase)
{
    int i;
    uint16_t base;
    for (i = 0; i < SIM_MAX_DEVICES; i++)
        if (windowBase(&model->devices[i], &base) && base == ioBase)
            return i;
    return -1;
}

/* The card whose window holds port, with the port's offset in that window. */
static SimDevice *cardAt(SimModel *model, uint16_t port, int *offset, int *slot)
{
    int i;
    uint16_t base;
    for (i = 0; i < SIM_MAX_DEVICES; i++) {
        SimDevice *d = &model->devices[i];
        int off;
        if (!windowBase(d, &base))
            continue;
        off = (int)port - (int)base;
        if ((off >= SIM_CARD_INDEX_OFFSET && off < SIM_CARD_DATA_OFFSET + 4) ||
            (off >= SIM_CARD_CRTC_OFFSET && off < SIM_CARD_CRTC_OFFSET + 4) ||
            (off >= SIM_CARD_CONFIG_CNTL_OFFSET && off < SIM_CARD_CONFIG_CNTL_OFFSET + 4)) {
            *offset = off;
            *slot = i;
            return d;
        }
    }
    return 0;
}

uint32_t sim_config_read(const SimModel *model, uint32_t location, int reg)
{
    int i;
    location &= 0x00FFFF00u;
    for (i = 0; i < SIM_MAX_DEVICES; i++) {
        const SimDevice *d = &model->devices[i];
        if (d->present && d->location == location)
            return d->config[((uint32_t)reg & 0xFCu) >> 2];
    }
    return 0xFFFFFFFFu;
}

/* The dword that 0xCFC currently shows: the addressed register of the addressed
 * function, or all ones when the address is disabled or nobody sits there. */
static uint32_t configData(const SimModel *model)
{
    uint32_t address = model->configAddress;
    if (!(address & 0x80000000u))
        return 0xFFFFFFFFu;
    return sim_config_read(model, address, (int)(address & 0xFCu));
}

static void stateChanged(SimModel *model, int slot, const SimDevice *card)
{
    if (model->hooks.stateChanged)
        model->hooks.stateChanged(model->hooks.ctx, slot, &card->state);
}

static int hasErratum(const SimDevice *card, unsigned erratum)
{
    return (deviceErrata(card) & erratum) != 0;
}

/* Any access to a delay chip: the time since the last data-port access is measured, and
 * under 5 ms the chip hangs for good. */
static void touchCard(SimModel *model, int slot, SimDevice *card)
{
    uint64_t now, gap;
    int changed = 0;
    if (!hasErratum(card, SIM_ERRATUM_DATA_DELAY) || !model->hooks.microseconds || !card->dataTouched)
        return;
    now = model->hooks.microseconds(model->hooks.ctx);
    card->dataTouched = 0;
    gap = now > card->dataTime ? now - card->dataTime : 0;
    if (gap >= SIM_NO_GAP)
        gap = SIM_NO_GAP - 1;
    if ((uint32_t)gap < card->state.shortestGapUs) {
        card->state.shortestGapUs = (uint32_t)gap;
        changed = 1;
    }
    if (gap < SIM_DATA_DELAY_US && !card->state.hung) {
        card->state.hung = 1;
        changed = 1;
    }
    if (changed)
        stateChanged(model, slot, card);
}

/* A data-port access (other than the A11 cure itself). */
static void dataAccessed(SimModel *model, int slot, SimDevice *card)
{
    if (hasErratum(card, SIM_ERRATUM_R300_A11) && !card->state.a11Garbled) {
        card->state.a11Garbled = 1;
        stateChanged(model, slot, card);
    }
    if (!hasErratum(card, SIM_ERRATUM_DATA_DELAY) || !model->hooks.microseconds)
        return;
    card->dataTouched = 1;
    card->dataTime = model->hooks.microseconds(model->hooks.ctx);
}

/* The A11 cure: a data read with the index's register bits and write enable cleared. */
static int a11Cure(const SimDevice *card)
{
    return (card->index & (SIM_PLL_REGISTER_MASK | SIM_PLL_WRITE_ENABLE)) == 0;
}

/* Garbage that never shows the register's reference divider, different each read. */
static uint32_t noise(SimModel *model, uint32_t real)
{
    uint32_t g;
    model->noise = model->noise * 1664525u + 1013904223u;
    g = model->noise;
    if (((g ^ real) & 0xFFu) == 0)
        g ^= 1u;
    return g;
}

/* Garbage that looks like the register: R (bits 0-7) intact, one divider field off,
 * and never the garbage answered before. A garbled value that repeats exactly is out of
 * any reader's reach (it reads as the register), so the model never makes one: two
 * reads that agree in all 32 bits are the register. */
static uint32_t plausibleNoise(SimModel *model, SimDevice *card, uint32_t real)
{
    uint32_t g;
    do {
        uint32_t shift;
        model->noise = model->noise * 1664525u + 1013904223u;
        shift = (model->noise >> 24) & 1u ? 16u : 8u;
        g = real ^ ((((model->noise >> 8) & 0xFFu) | 1u) << shift);
    } while (g == card->lastGarbage);
    card->lastGarbage = g;
    return g;
}

/* The PLL register the index names, as the chip answers a data read. */
static uint32_t pllRead(SimModel *model, int slot, SimDevice *card)
{
    uint32_t real = card->registers[card->index & SIM_PLL_REGISTER_MASK];
    int garbage = 0;
    if (hasErratum(card, SIM_ERRATUM_R300_A11) && card->state.a11Garbled) {
        if (a11Cure(card)) {
            card->state.a11Garbled = 0;
            stateChanged(model, slot, card);
            return real;
        }
        garbage = 1;
    } else if (hasErratum(card, SIM_ERRATUM_DUMMY_READS) && card->dummyStage < 2) {
        /* The first data read after an index write is the dummy read itself. */
        if (card->dummyStage == 0)
            card->dummyStage = 1;
        garbage = 1;
    } else if (card->state.plausibleReads) {
        card->state.plausibleReads--;
        card->state.garbageReads++;
        stateChanged(model, slot, card);
        return plausibleNoise(model, card, real);
    } else if (card->state.flakyReads) {
        card->state.flakyReads--;
        garbage = 1;
    }
    if (!garbage)
        return real;
    card->state.garbageReads++;
    stateChanged(model, slot, card);
    return noise(model, real);
}

static void pllWrite(SimModel *model, int slot, SimDevice *card, int offset, int width,
                     uint32_t value)
{
    int reg = card->index & SIM_PLL_REGISTER_MASK;
    uint32_t *r = &card->registers[reg];
    if (hasErratum(card, SIM_ERRATUM_DUMMY_READS) && card->dummyStage < 2) {
        card->state.writesWithoutDummyReads++;
        stateChanged(model, slot, card);
    }
    if (!(card->index & SIM_PLL_WRITE_ENABLE)) {
        card->state.ignoredWrites++;
        stateChanged(model, slot, card);
        return;
    }
    *r = mergeSlice(*r, offset, width, value);
    if (model->hooks.registerWritten)
        model->hooks.registerWritten(model->hooks.ctx, slot, reg, *r);
}

/* The index register takes any slice; bits 8-31 are the display driver's, and any
 * change of them is counted. A write of the low byte starts a new PLL access. */
static void indexWrite(SimModel *model, int slot, SimDevice *card, int offset, int width,
                       uint32_t value)
{
    uint32_t before = card->index;
    card->index = mergeSlice(card->index, offset, width, value);
    if (offset == 0)
        card->dummyStage = 0;
    if ((before ^ card->index) & ~0xFFu) {
        card->state.indexUpperChanges++;
        stateChanged(model, slot, card);
    }
}

uint32_t sim_in(SimModel *model, uint16_t port, int width)
{
    uint32_t value = ones(width);
    int offset, slot;
    SimDevice *card;

    if (port == SIM_CONFIG_ADDRESS_PORT && width == 4) {
        value = model->configAddress;
    } else if (port >= SIM_CONFIG_DATA_PORT && port <= SIM_CONFIG_DATA_PORT + 3) {
        offset = port - SIM_CONFIG_DATA_PORT;
        if (sliceFits(offset, width))
            value = readSlice(configData(model), offset, width);
    } else if ((card = cardAt(model, port, &offset, &slot)) != 0) {
        touchCard(model, slot, card);
        if (card->state.hung) {
            /* a hung chip answers nothing */
        } else if (offset >= SIM_CARD_DATA_OFFSET && offset < SIM_CARD_DATA_OFFSET + 4) {
            if (sliceFits(offset - SIM_CARD_DATA_OFFSET, width)) {
                const int garbled = card->state.a11Garbled;
                value = readSlice(pllRead(model, slot, card), offset - SIM_CARD_DATA_OFFSET, width);
                if (!garbled || card->state.a11Garbled)
                    dataAccessed(model, slot, card);
            }
        } else if (card->state.a11Garbled && hasErratum(card, SIM_ERRATUM_R300_A11)) {
            /* Every other register of an A11 chip reads garbage until the cure. */
            value = noise(model, 0) & ones(width);
        } else if (offset >= SIM_CARD_CONFIG_CNTL_OFFSET) {
            if (sliceFits(offset - SIM_CARD_CONFIG_CNTL_OFFSET, width))
                value = readSlice(card->configCntl, offset - SIM_CARD_CONFIG_CNTL_OFFSET, width);
        } else if (offset >= SIM_CARD_CRTC_OFFSET) {
            if (sliceFits(offset - SIM_CARD_CRTC_OFFSET, width))
                value = readSlice(card->crtc, offset - SIM_CARD_CRTC_OFFSET, width);
            if (offset == SIM_CARD_CRTC_OFFSET && width == 4 && card->dummyStage == 1)
                card->dummyStage = 2;
        } else if (sliceFits(offset - SIM_CARD_INDEX_OFFSET, width)) {
            value = readSlice(card->index, offset - SIM_CARD_INDEX_OFFSET, width);
        }
    }
    report(model, 0, width, port, value);
    return value;
}

void sim_out(SimModel *model, uint16_t port, int width, uint32_t value)
{
    int offset, slot;
    SimDevice *card;

    value &= ones(width);
    report(model, 1, width, port, value);
    if (port == SIM_CONFIG_ADDRESS_PORT && width == 4) {
        model->configAddress = value;
    } else if ((card = cardAt(model, port, &offset, &slot)) != 0) {
        touchCard(model, slot, card);
        if (card->state.hung) {
            /* lost */
        } else if (offset >= SIM_CARD_CONFIG_CNTL_OFFSET) {
            /* CONFIG_CNTL: not written here */
        } else if (offset >= SIM_CARD_CRTC_OFFSET) {
            if (sliceFits(offset - SIM_CARD_CRTC_OFFSET, width))
                card->crtc = mergeSlice(card->crtc, offset - SIM_CARD_CRTC_OFFSET, width, value);
        } else if (offset < SIM_CARD_DATA_OFFSET) {
            if (sliceFits(offset - SIM_CARD_INDEX_OFFSET, width))
                indexWrite(model, slot, card, offset - SIM_CARD_INDEX_OFFSET, width, value);
        } else if (sliceFits(offset - SIM_CARD_DATA_OFFSET, width)) {
            pllWrite(model, slot, card, offset - SIM_CARD_DATA_OFFSET, width, value);
            dataAccessed(model, slot, card);
        }
    }
    /* Configuration writes through 0xCFC are dropped: the scenario's configuration
     * space is read-only, so a moved I/O window cannot strand the card's registers. */
}
