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
unsigned long g_lostAccesses;
int g_refusal;

// Only the 95 family's advapi32 answers the service manager's open with
// ERROR_CALL_NOT_IMPLEMENTED. A compatibility layer of 2000 or XP makes GetVersion
// report the 95 family on an NT kernel, where a port instruction faults.
static int ServiceManagerIsStub(void)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    if (manager) {
        CloseServiceHandle(manager);
        return 0;
    }
    return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED;
}

static void DetectPlatform(void)
{
    g_mode = MODE_UNKNOWN;
    DWORD version = GetVersion();
    if ((version & 0xFF) >= 4) g_mode = MODE_DIRECT;
    if (version < 0x80000000u) g_mode = MODE_DRIVER;  // NT family: overrides the above
    if (g_mode == MODE_DIRECT && !ServiceManagerIsStub()) g_mode = MODE_DRIVER;
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

// Opens the device with an identity it may look at but never act with, whoever
// answers the name.
static HANDLE OpenDevice(const char* path, DWORD share, DWORD attributes)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, NULL, OPEN_EXISTING,
                       attributes | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, NULL);
}

int zykInitialDriver(void)
{
    TraceMessage("zykInitialDriver");
    DetectPlatform();
    if (g_mode != MODE_DRIVER) return 1;

    if (DeviceUsable()) {
        TraceMessage("zykInitialDriver_SKIP");
        return 0;
    }
    // A close whose removal failed left the flag set with no device: start afresh.
    g_open = 0;
    g_refusal = ZYK_REFUSED_NONE;

    // Clear a service left over from an earlier run.
    TraceMessage("ReleaseDriver");
    StopAndDeleteService(GENPORT_SERVICE_NAME);
    Sleep(100);
    TraceMessage("ReleaseDriver_Sleep");

    char driverPath[256];
    int havePath = DriverPath(driverPath, sizeof driverPath);

    // Whatever answers the name before our service runs is not used: nothing a
    // program can ask of a handle proves that it is our driver and not a pipe or
    // another driver planted under the name.
    TraceMessage("DLL_CreateFile=<%s>", GENPORT_DEVICE_PATH);
    g_device = OpenDevice(GENPORT_DEVICE_PATH, FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
    if (g_device != INVALID_HANDLE_VALUE) {
        TraceMessage("DLL_CreateFile_NotUsed");
        CloseHandle(g_device);
        g_device = INVALID_HANDLE_VALUE;
    }
    if (!havePath) return 1;  // nothing to install from: port access stays closed

    HANDLE driverFile;
    if (!CheckDriverFile(driverPath, &driverFile)) {
        g_refusal = ZYK_REFUSED_DRIVER_FILE;
        return 1;
    }

    TraceMessage("DLL_InstallDriver=<%s>", GENPORT_SERVICE_NAME);
    Sleep(100);
    int started = InstallAndStartService(GENPORT_SERVICE_NAME, driverPath);
    if (driverFile != INVALID_HANDLE_VALUE) CloseHandle(driverFile);
    if (started) {
        TraceMessage("DLL_OpenDevice=<%s>", GENPORT_SERVICE_NAME);
        Sleep(100);
        g_device = OpenDevice(GENPORT_DEVICE_PATH, 0, FILE_ATTRIBUTE_NORMAL);
        if (g_device == INVALID_HANDLE_VALUE) {
            GateMessageBox("Failure: Open Device", "Error");
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

unsigned long zykLostAccesses(void)
{
    return g_lostAccesses;
}

int zykDriverRefusal(void)
{
    return g_refusal;
}
