// What ATIAGP_Check recorded about the card; the clock functions rely on it for as long
// as the library is loaded.
#pragma once

extern unsigned short g_ioBase;       // card's I/O window, 0 until a card is found
extern unsigned int g_ssid;           // PCI subsystem id, 0 until a card is found
extern int g_referenceDivider;        // R of the clock synthesiser, 1 until found

#define CLOCK_REGISTER 0x0A
#define INDEX_PORT(base) ((unsigned short)((base) + 8))
#define DATA_PORT(base) ((unsigned short)((base) + 12))

// The card's chip family as its workarounds (ERRATUM_* of families.h).
extern unsigned int g_errata;
// Takes the family's workarounds from the PCI device id (none for an id not listed).
void RecordFamily(unsigned int deviceId);
// Keeps the R300 A11 workaround only if CONFIG_CNTL shows that revision (I/O base known).
void RecordRevision(void);

// Reads clock-synthesiser register 0x0A through the card's I/O window, and writes it.
unsigned long ReadClockRegister(void);
void WriteClockRegister(unsigned long v);
// Reads register 0x0A, a first read traced as "test=<0X%X>", and up to three more until
// two consecutive agree, each that does not traced with againFormat. *v is the last read;
// 1 when it agreed with the one before.
int ReadClockAgreed(unsigned long* v, const char* againFormat);

// A write refused, a read in doubt or a read-back that differs from what was written.
void CountClockFault(void);
