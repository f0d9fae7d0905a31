// portgate.dll: byte, word and dword access to x86 I/O ports on both Windows families.
// On the 95 family the library executes the port instructions itself; on the NT family
// it installs the GenPort1 driver service for the length of one bracket
// (zykInitialDriver ... zykCloseDriver) and sends it one request per access.
#pragma once

#ifdef PORTGATE_BUILD
#define PORTGATE_API __declspec(dllexport)
#else
#define PORTGATE_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// 1: port access ready (also when the driver could not be installed); 0: already open,
// or the driver's device would not open after installation.
PORTGATE_API int zykInitialDriver(void);
// 1: device closed and service removed (or nothing to do on the 95 family);
// 0: nothing was open, or the service could not be stopped and deleted.
PORTGATE_API int zykCloseDriver(void);

// The byte read: zero-extended through the driver, sign-extended on the 95 family.
PORTGATE_API int winp(unsigned short port);
PORTGATE_API unsigned short winpw(unsigned short port);
PORTGATE_API unsigned long winpd(unsigned short port);

// Each returns the value written (woutp: its low 8 bits on the 95 family, the argument
// as passed through the driver).
PORTGATE_API int woutp(unsigned short port, int value);
PORTGATE_API unsigned short woutpw(unsigned short port, unsigned short value);
PORTGATE_API unsigned long woutpd(unsigned short port, unsigned long value);

// How many port accesses of this process did not reach the card: on the driver road
// every access made while no device is open, and every request the driver refused.
// Never falls; a caller compares it before and after a bracket.
PORTGATE_API unsigned long zykLostAccesses(void);

// Why the last zykInitialDriver left port access closed (ZYK_REFUSED_NONE when it did
// not, or for any reason not listed).
#define ZYK_REFUSED_NONE 0
#define ZYK_REFUSED_RIGHTS 1       // the service manager denied access: not an administrator
#define ZYK_REFUSED_DRIVER_FILE 2  // others than administrators may change GenPort1.sys
PORTGATE_API int zykDriverRefusal(void);

#ifdef __cplusplus
}
#endif
