/* GenPort1: the device \Device\GenPort1 (link \DosDevices\GenPort1) that portgate
 * opens on the NT family, answering the six buffered port requests. A legacy driver:
 * DriverEntry finds the cards' I/O windows, creates the device and the link; create,
 * close, device control and unload. Only Administrators and SYSTEM may open it, one
 * handle at a time, and the device object carries the same descriptor the create
 * handler checks against. Every kernel and HAL function called here is exported by
 * NT 4.0 SP6 (tools/importfloor holds the driver to that list): not IoCreateDeviceSecure
 * (XP) nor ZwSetSecurityObject (2000), hence NtSetSecurityObject below. */
#include <ntifs.h>
#include "backend.h"
#include "open_check.h"
#include "port_policy.h"
#include "requests.h"

#define DEVICE_NAME L"\\Device\\GenPort1"
#define LINK_NAME L"\\DosDevices\\GenPort1"

static GenPortPorts ports;
static GenPortPolicy policy;
static GenPortOpens opens;
/* Requests may come from several threads of the caller; opens, closes and requests
 * take one at a time. */
static KMUTEX lock;

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* The caller against the driver's own descriptor, whatever the device object's
 * descriptor lets through, with nothing taken as granted before. The rights asked for
 * need no privilege, so the check never hands back a privilege set to free. */
static int kernelCheck(void *ctx, const void *subject, const void *descriptor, uint32_t desired,
                       int userMode)
{
    static GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE,
                                      FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    const IO_SECURITY_CONTEXT *context = (const IO_SECURITY_CONTEXT *)subject;
    PPRIVILEGE_SET privileges = NULL;
    ACCESS_MASK granted = 0;
    NTSTATUS status = STATUS_ACCESS_DENIED;

    if (!context->AccessState)
        return 0;
    if (!SeAccessCheck((PSECURITY_DESCRIPTOR)descriptor,
                       &context->AccessState->SubjectSecurityContext, FALSE, desired, 0,
                       &privileges, &mapping, userMode ? UserMode : KernelMode, &granted,
                       &status))
        return 0;
    return NT_SUCCESS(status) && (granted & desired) == desired;
}

static NTSTATUS NTAPI dispatchCreate(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PIO_SECURITY_CONTEXT context = stack->Parameters.Create.SecurityContext;
    PFILE_OBJECT file = stack->FileObject;
    uint32_t origin = 0;
    NTSTATUS status;

    if (irp->RequestorMode == KernelMode)
        origin |= GENPORT_CREATE_FROM_KERNEL;
    if (stack->Flags & SL_FORCE_ACCESS_CHECK)
        origin |= GENPORT_CREATE_FORCE_CHECK;
    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    status = genport_open(&opens, file, file ? file->FileName.Length : 0, context, origin);
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, status, 0);
}

static NTSTATUS NTAPI dispatchClose(PDEVICE_OBJECT device, PIRP irp)
{
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    genport_close(&opens, file);
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, STATUS_SUCCESS, 0);
}

/* Buffered transfer only: the records are read from and the value written to the
 * system buffer, never to an address the caller chose. Hosts that only emulate the
 * kernel may hand out a handle whose create the driver refused; such a handle, or a
 * request without a file object, is not the owner and is refused. */
static NTSTATUS NTAPI dispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    void *buffer = irp->AssociatedIrp.SystemBuffer;
    uint32_t returned = 0;
    GenPortStatus status;

    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    if (!genport_is_owner(&opens, stack->FileObject)) {
        KeReleaseMutex(&lock, FALSE);
        return complete(irp, STATUS_ACCESS_DENIED, 0);
    }
    status = genport_request(&policy, &ports, &opens.configAddress,
                             stack->Parameters.DeviceIoControl.IoControlCode,
                             buffer, stack->Parameters.DeviceIoControl.InputBufferLength,
                             buffer, stack->Parameters.DeviceIoControl.OutputBufferLength,
                             &returned);
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, (NTSTATUS)status, returned);
}

/* The device object's descriptor is set through a kernel handle to it, opened in the
 * System process that runs DriverEntry (NT 4.0 knows no OBJ_KERNEL_HANDLE). */
static GenPortStatus openObject(void *ctx, void *object, void **handle)
{
    HANDLE opened = NULL;
    NTSTATUS status = ObOpenObjectByPointer(object, 0, NULL, WRITE_DAC | WRITE_OWNER, NULL,
                                            KernelMode, &opened);
    *handle = opened;
    return status;
}

/* The Nt form, which every NT kernel exports: DriverEntry runs in a system thread,
 * whose previous mode is kernel, so it takes the kernel handle and the descriptor in
 * system memory as the Zw form would. */
static GenPortStatus setSecurity(void *ctx, void *handle, uint32_t information,
                                 const void *descriptor)
{
    return NtSetSecurityObject((HANDLE)handle, (SECURITY_INFORMATION)information,
                               (PSECURITY_DESCRIPTOR)descriptor);
}

static void closeHandle(void *ctx, void *handle)
{
    ZwClose((HANDLE)handle);
}

static VOID NTAPI driverUnload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, LINK_NAME);
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
    genport_backend_stop();
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    static const GenPortSecurityCalls securityCalls = {openObject, setSecurity, closeHandle, 0};
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    KeInitializeMutex(&lock, 0);
    genport_opens_init(&opens, kernelCheck, NULL, genport_backend_context_free);
    if (genport_backend_start(&ports) != 0)
        return STATUS_UNSUCCESSFUL;
    /* The windows are known before the device can be opened. */
    genport_policy_scan(&policy, &ports);

    driver->MajorFunction[IRP_MJ_CREATE] = dispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchControl;
    driver->DriverUnload = driverUnload;
    RtlInitUnicodeString(&name, DEVICE_NAME);
    status = IoCreateDevice(driver, 0, &name, GENPORT_DEVICE_TYPE, FILE_DEVICE_SECURE_OPEN, TRUE,
                            &device);
    if (!NT_SUCCESS(status)) {
        genport_backend_stop();
        return status;
    }
    device->Flags |= DO_BUFFERED_IO;
    status = genport_secure_device(&opens, &securityCalls, device);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        genport_backend_stop();
        return status;
    }
    RtlInitUnicodeString(&link, LINK_NAME);
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        genport_backend_stop();
        return status;
    }
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
