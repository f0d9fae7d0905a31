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

// Service control (service.c).
int InstallAndStartService(const char* name, const char* driverPath);
int StopAndDeleteService(const char* name);

// True when a request may be sent to the device.
static inline int DeviceUsable(void)
{
    return g_open && g_device != 0 && g_device != INVALID_HANDLE_VALUE;
}
