/* The machine's port decoding. Every register here is a dword; narrower accesses read
 * or replace a slice of it, as the bus does for byte enables. An access that would
 * run past the end of a register is not claimed by anyone. */
#include "simcard.h"

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
        d->index = 0;
        for (j = 0; j < SIM_CONFIG_DWORDS; j++)
            d->config[j] = 0;
        for (j = 0; j < SIM_CARD_REGISTERS; j++)
            d->registers[j] = 0;
    }
    model->configAddress = 0;
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
    d->index = 0;
    for (j = 0; j < SIM_CONFIG_DWORDS; j++)
        d->config[j] = config[j];
    for (j = 0; j < SIM_CARD_REGISTERS; j++)
        d->registers[j] = registers ? registers[j] : 0;
    return 1;
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
        if (off >= SIM_CARD_INDEX_OFFSET && off < SIM_CARD_DATA_OFFSET + 4) {
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
        if (offset < SIM_CARD_DATA_OFFSET) {
            if (sliceFits(offset - SIM_CARD_INDEX_OFFSET, width))
                value = readSlice(card->index, offset - SIM_CARD_INDEX_OFFSET, width);
        } else if (sliceFits(offset - SIM_CARD_DATA_OFFSET, width)) {
            value = readSlice(card->registers[card->index], offset - SIM_CARD_DATA_OFFSET, width);
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
        if (offset < SIM_CARD_DATA_OFFSET) {
            /* Only the low byte of the index dword holds the index. */
            if (offset == SIM_CARD_INDEX_OFFSET && sliceFits(0, width))
                card->index = (uint8_t)value;
        } else if (sliceFits(offset - SIM_CARD_DATA_OFFSET, width)) {
            uint32_t *reg = &card->registers[card->index];
            *reg = mergeSlice(*reg, offset - SIM_CARD_DATA_OFFSET, width, value);
            if (model->hooks.registerWritten)
                model->hooks.registerWritten(model->hooks.ctx, slot, card->index, *reg);
        }
    }
    /* Configuration writes through 0xCFC are dropped: the scenario's configuration
     * space is read-only, so a moved I/O window cannot strand the card's registers. */
}
