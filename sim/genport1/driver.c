/* GenPort1.sys for the simulated machine: the device \Device\GenPort1 (link
 * \DosDevices\GenPort1) answers the six buffered port requests from the model, which
 * DriverEntry loads from the scenario store. */
#include <ntddk.h>
#include "simstore.h"
#include "request.h"
#include "genport_ioctl.h"

#define DEVICE_NAME L"\\Device\\GenPort1"
#define LINK_NAME L"\\DosDevices\\GenPort1"

static SimModel model;
/* Requests may come from several threads of the device host; the model and the log
 * take one request at a time. */
static KMUTEX modelLock;
/* The device is exclusive: Windows refuses a second open of it. The device host here
 * lets the open succeed before the driver sees it, so the driver remembers the one
 * file object that owns the device and refuses requests on any other. */
static PFILE_OBJECT owner;

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS toStatus(GenPortResult result)
{
    switch (result) {
    case GENPORT_DONE: return STATUS_SUCCESS;
    case GENPORT_UNKNOWN_CODE: return STATUS_INVALID_DEVICE_REQUEST;
    default: return STATUS_INVALID_PARAMETER; /* a length or the port number */
    }
}

static NTSTATUS NTAPI dispatchCreate(PDEVICE_OBJECT device, PIRP irp)
{
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    NTSTATUS status = STATUS_SUCCESS;
    KeWaitForSingleObject(&modelLock, Executive, KernelMode, FALSE, NULL);
    if (!owner)
        owner = file;
    else if (owner != file)
        status = STATUS_ACCESS_DENIED;
    KeReleaseMutex(&modelLock, FALSE);
    return complete(irp, status, 0);
}

static NTSTATUS NTAPI dispatchClose(PDEVICE_OBJECT device, PIRP irp)
{
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    KeWaitForSingleObject(&modelLock, Executive, KernelMode, FALSE, NULL);
    if (owner == file)
        owner = 0;
    KeReleaseMutex(&modelLock, FALSE);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    void *buffer = irp->AssociatedIrp.SystemBuffer;
    uint32_t returned = 0;
    GenPortResult result;

    KeWaitForSingleObject(&modelLock, Executive, KernelMode, FALSE, NULL);
    if (stack->FileObject != owner) {
        KeReleaseMutex(&modelLock, FALSE);
        return complete(irp, STATUS_ACCESS_DENIED, 0);
    }
    result = genport_request(&model, stack->Parameters.DeviceIoControl.IoControlCode,
                             buffer, stack->Parameters.DeviceIoControl.InputBufferLength,
                             buffer, stack->Parameters.DeviceIoControl.OutputBufferLength,
                             &returned);
    KeReleaseMutex(&modelLock, FALSE);
    return complete(irp, toStatus(result), returned);
}

static VOID NTAPI driverUnload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, LINK_NAME);
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
    /* The registers were stored as they were written; this closes log and key. */
    simstore_close(&model);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    KeInitializeMutex(&modelLock, 0);
    /* Model and handlers are ready before the device can be opened. */
    simstore_open(&model);
    driver->MajorFunction[IRP_MJ_CREATE] = dispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchControl;
    driver->DriverUnload = driverUnload;
    RtlInitUnicodeString(&name, DEVICE_NAME);
    status = IoCreateDevice(driver, 0, &name, GENPORT_DEVICE_TYPE, 0, TRUE, &device);
    if (!NT_SUCCESS(status)) {
        simstore_close(&model);
        return status;
    }
    device->Flags |= DO_BUFFERED_IO;
    RtlInitUnicodeString(&link, LINK_NAME);
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        simstore_close(&model);
        return status;
    }
    return STATUS_SUCCESS;
}
