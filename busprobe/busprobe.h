// busprobe.dll: the graphics card seen through PCI configuration space and the card's
// clock synthesiser. Every call that touches hardware runs between zykOpen_PCI and
// zykClose_PCI; ATIAGP_Check must have found the card before any clock call.
#pragma once

#ifdef BUSPROBE_BUILD
#define BUSPROBE_API __declspec(dllexport)
#else
#define BUSPROBE_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

BUSPROBE_API int zykOpen_PCI(void);
BUSPROBE_API int zykClose_PCI(void);
BUSPROBE_API int ATIAGP_Check(void);
BUSPROBE_API int ATIAGP_GetSSID(void);

// Clocks in MHz. The getters return the clock plus 0.5: truncate to round.
BUSPROBE_API double ATIAGP_GetGPUClock(void);
BUSPROBE_API double ATIAGP_GetMemClock(void);
BUSPROBE_API int ATIAGP_SetGPUClock(int mhz);
BUSPROBE_API int ATIAGP_SetMemClock(int mhz);

// Clock accesses that cannot be trusted since the library was loaded: setters that
// wrote nothing because the register read back in doubt, reads in doubt, and read-backs
// whose divider differs from the one written. Never falls: compare it around a bracket.
BUSPROBE_API unsigned long zykClockFaults(void);

#ifdef __cplusplus
}
#endif

// The board maker's PCI subsystem vendor id. No vendor in the public PCI id list
// holds it ("ZK").
#define ZYK_SUBSYSTEM_VENDOR_ID 0x5A4Bu
#define ATI_VENDOR_ID 0x1002u
