// State shared by the pieces of portgate (one set per process, static).
#pragma once
#include <windows.h>

enum {
    MODE_UNKNOWN = 0xFF,
    MODE_DIRECT = 0,  // Windows 95 family: port instructions in user mode
    MODE_DRIVER = 1,  // NT family: through the GenPort1 driver
};

extern unsigned char g_mode;
extern int g_open;
extern HANDLE g_device;     // 0 until the first open; INVALID_HANDLE_VALUE when unusable
extern HMODULE g_module;
extern unsigned long g_lostAccesses;  // port accesses that never reached the card
extern int g_refusal;                 // why the last opening failed (ZYK_REFUSED_...)

// Service control (service.c).
int InstallAndStartService(const char* name, const char* driverPath);
int StopAndDeleteService(const char* name);

// The driver file's protection (driver_file.c). On success *held is the file, open
// for reading with neither write nor delete sharing (or INVALID_HANDLE_VALUE when the
// volume keeps no access lists); the caller closes it once the service has started.
int CheckDriverFile(const char* driverPath, HANDLE* held);

// Message boxes of the library: owned by the caller's active window.
int GateMessageBox(const char* text, const char* caption);

// True when a request may be sent to the device.
static inline int DeviceUsable(void)
{
    return g_open && g_device != 0 && g_device != INVALID_HANDLE_VALUE;
}
