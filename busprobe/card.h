// What ATIAGP_Check recorded about the card; the clock functions rely on it for as long
// as the library is loaded.
#pragma once

extern unsigned short g_ioBase;       // card's I/O window, 0 until a card is found
extern unsigned int g_ssid;           // PCI subsystem id, 0 until a card is found
extern int g_referenceDivider;        // R of the clock synthesiser, 1 until found

#define CLOCK_REGISTER 0x0A
#define INDEX_PORT(base) ((unsigned short)((base) + 8))
#define DATA_PORT(base) ((unsigned short)((base) + 12))

// Reads clock-synthesiser register 0x0A through the card's I/O window.
unsigned long ReadClockRegister(void);
