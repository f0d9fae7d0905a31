/* The simulated driver's entry: the shared driver's DriverEntry (compiled here under the
 * name genport_driver_entry), with its unload routine wrapped so that the driver host's
 * log shows when a stop begins, and the stop race of stop_race.h when the scenario asks
 * for it. */
#include <ntddk.h>
#include "stop_race.h"

NTSTATUS NTAPI genport_driver_entry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath);
extern const char __ImageBase[];

static PDRIVER_UNLOAD sharedUnload;
static PDRIVER_DISPATCH sharedClose;
static KEVENT closeEntered, stopBegun;

static NTSTATUS NTAPI racedClose(PDEVICE_OBJECT device, PIRP irp)
{
    LARGE_INTEGER wait;
    wait.QuadPart = -10000LL * STOP_RACE_LIMIT_MS;
    KeSetEvent(&closeEntered, 0, FALSE);
    if (KeWaitForSingleObject(&stopBegun, Executive, KernelMode, FALSE, &wait) == STATUS_SUCCESS)
        /* The image's headers: mapped read-only, as nothing of an unloaded image is. */
        ((volatile char *)__ImageBase)[0x40] = 0;
    return sharedClose(device, irp);
}

/* The unload waits for a close in flight (the host queues it before the stop) before it
 * deletes the device; at its end, the backend's stop lets the close go on and holds the
 * stop while the close thread faults. */
void stop_race_hold(void)
{
    LARGE_INTEGER wait;
    if (!sharedClose)
        return;
    KeSetEvent(&stopBegun, 0, FALSE);
    wait.QuadPart = -10000LL * STOP_RACE_HOLD_MS;
    KeDelayExecutionThread(KernelMode, FALSE, &wait);
}

static VOID NTAPI announcedUnload(PDRIVER_OBJECT driver)
{
    LARGE_INTEGER wait;
    DbgPrint("GenPort1 stop begins\n");
    if (sharedClose) {
        wait.QuadPart = -10000LL * STOP_RACE_LIMIT_MS;
        KeWaitForSingleObject(&closeEntered, Executive, KernelMode, FALSE, &wait);
    }
    sharedUnload(driver);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    unsigned long mode = 0;
    NTSTATUS status = genport_driver_entry(driver, registryPath);
    if (!NT_SUCCESS(status))
        return status;
    sharedUnload = driver->DriverUnload;
    driver->DriverUnload = announcedUnload;
    if (!simstore_read_dword(STOP_RACE_VALUE, &mode))
        return status;
    if (mode == STOP_RACE_ONCE)
        simstore_write_dword(STOP_RACE_VALUE, 0);
    if (mode == STOP_RACE_ONCE || mode == STOP_RACE_ALWAYS) {
        KeInitializeEvent(&closeEntered, NotificationEvent, FALSE);
        KeInitializeEvent(&stopBegun, NotificationEvent, FALSE);
        sharedClose = driver->MajorFunction[IRP_MJ_CLOSE];
        driver->MajorFunction[IRP_MJ_CLOSE] = racedClose;
        DbgPrint("GenPort1 races its close with the stop (StopRace %lu)\n", mode);
    }
    return status;
}
