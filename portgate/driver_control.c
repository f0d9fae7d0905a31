// Opening and closing port access: platform detection, and on the NT family the
// GenPort1 service around each bracket.
#include <stdio.h>
#include <string.h>
#include "gate.h"
#include "genport_ioctl.h"
#include "portgate.h"
#include "trace.h"

unsigned char g_mode = MODE_UNKNOWN;
int g_open;
HANDLE g_device;

static void DetectPlatform(void)
{
    g_mode = MODE_UNKNOWN;
    DWORD version = GetVersion();
    if ((version & 0xFF) >= 4) g_mode = MODE_DIRECT;
    if (version < 0x80000000u) g_mode = MODE_DRIVER;  // NT family: overrides the above
    if (g_mode == MODE_DIRECT) TraceMessage("**** WIN9X");
    if (g_mode == MODE_DRIVER) TraceMessage("**** WINNT");
}

// The driver file beside this library. Fails (0) rather than build a path from a
// module path that did not fit, which could name some other file.
static int DriverPath(char* path, size_t size)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_module, module, sizeof module);
    if (n == 0 || n >= sizeof module) module[0] = '\0';
    else module[n] = '\0';
    TraceMessage("DLL_GetModule=<%s>", module);
    char* slash = strrchr(module, '\\');
    if (!slash) return 0;
    slash[1] = '\0';
    int written = snprintf(path, size, "%s%s", module, GENPORT_DRIVER_FILE);
    if (written < 0 || (size_t)written >= size) return 0;
    TraceMessage("SYS=<%s>", path);
    return 1;
}

int zykInitialDriver(void)
{
    TraceMessage("zykInitialDriver");
    DetectPlatform();
    if (g_mode != MODE_DRIVER) return 1;

    if (g_open) {
        TraceMessage("zykInitialDriver_SKIP");
        return 0;
    }

    // Clear a service left over from an earlier run.
    TraceMessage("ReleaseDriver");
    StopAndDeleteService(GENPORT_SERVICE_NAME);
    Sleep(100);
    TraceMessage("ReleaseDriver_Sleep");

    char driverPath[256];
    int havePath = DriverPath(driverPath, sizeof driverPath);

    TraceMessage("DLL_CreateFile=<%s>", GENPORT_DEVICE_PATH);
    g_device = CreateFileA(GENPORT_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (g_device != INVALID_HANDLE_VALUE) {
        // The device is still there (its service could not be stopped): use it.
        g_open = 1;
        return 1;
    }
    if (!havePath) return 1;  // nothing to install from: port access stays closed

    TraceMessage("DLL_InstallDriver=<%s>", GENPORT_SERVICE_NAME);
    Sleep(100);
    if (InstallAndStartService(GENPORT_SERVICE_NAME, driverPath)) {
        TraceMessage("DLL_OpenDevice=<%s>", GENPORT_SERVICE_NAME);
        Sleep(100);
        char devicePath[64];
        snprintf(devicePath, sizeof devicePath, "\\\\.\\%s", GENPORT_SERVICE_NAME);
        g_device = CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (g_device == INVALID_HANDLE_VALUE) {
            MessageBoxA(NULL, "Failure: Open Device", "Error", MB_OK);
            return 0;
        }
    }
    if (g_device == INVALID_HANDLE_VALUE) return 1;  // installation failed
    g_open = 1;
    return 1;
}

int zykCloseDriver(void)
{
    TraceMessage("zykCloseDriver");
    if (g_mode != MODE_DRIVER) {
        g_open = 0;
        return 1;
    }
    if (!g_open) {
        TraceMessage("zykCloseDriver_SKIP");
        return 0;
    }
    Sleep(100);
    TraceMessage("DLL_CloseDevice");
    // The handle is given up here even if the service stays: it must never be used or
    // closed again (a later close retries only the service removal).
    if (g_device != 0 && g_device != INVALID_HANDLE_VALUE) CloseHandle(g_device);
    g_device = INVALID_HANDLE_VALUE;

    if (!StopAndDeleteService(GENPORT_SERVICE_NAME)) return 0;
    g_open = 0;
    return 1;
}
