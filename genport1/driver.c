/* GenPort1: the device \Device\GenPort1 (link \DosDevices\GenPort1) that portgate
 * opens on the NT family, answering the six buffered port requests. A legacy driver:
 * DriverEntry finds the cards' I/O windows, creates the device and the link; create,
 * close, device control and unload. Only Administrators and SYSTEM may open it, one
 * handle at a time. Everything here exists in NT 4.0's kernel. */
#include <ntddk.h>
#include "access.h"
#include "backend.h"
#include "port_policy.h"
#include "requests.h"

#define DEVICE_NAME L"\\Device\\GenPort1"
#define LINK_NAME L"\\DosDevices\\GenPort1"

static GenPortPorts ports;
static GenPortPolicy policy;
static GenPortDescriptor descriptor;
/* Requests may come from several threads of the caller; the ports (and the
 * configuration address between two requests of one caller) take one at a time. */
static KMUTEX lock;
/* The device is exclusive, so the I/O manager refuses a second open. Hosts that only
 * emulate the kernel may let it through, and may even hand out a handle whose create
 * the driver refused; so the driver remembers the one file object whose create it
 * accepted and refuses requests on any other. */
static PFILE_OBJECT owner;

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static ACCESS_MASK mapGeneric(ACCESS_MASK access)
{
    if (access & GENERIC_READ)
        access |= FILE_GENERIC_READ;
    if (access & GENERIC_WRITE)
        access |= FILE_GENERIC_WRITE;
    if (access & GENERIC_EXECUTE)
        access |= FILE_GENERIC_EXECUTE;
    if (access & GENERIC_ALL)
        access |= FILE_ALL_ACCESS;
    return access & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL);
}

/* The caller against the driver's own descriptor, whatever the device object's
 * descriptor lets through: the subject context the I/O manager captured for the open,
 * with nothing taken as granted before. Access that needs a privilege (changing the
 * owner, the audit list) is not offered, so the check never hands back a privilege set
 * to free.
 * NT's I/O manager gives every create a security context. A host that gives none (one
 * that emulates the kernel inside a single user's session, where caller and driver are
 * the same user) leaves nothing to check against: the open is let through there, still
 * exclusive and still limited to the port policy. */
static NTSTATUS checkCaller(PIRP irp, PIO_STACK_LOCATION stack)
{
    static GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE,
                                      FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    PIO_SECURITY_CONTEXT context = stack->Parameters.Create.SecurityContext;
    PPRIVILEGE_SET privileges = NULL;
    ACCESS_MASK desired, granted = 0;
    NTSTATUS status = STATUS_ACCESS_DENIED;

    if (stack->FileObject && stack->FileObject->FileName.Length != 0)
        return STATUS_ACCESS_DENIED; /* no names below the device */
    if (!context)
        return STATUS_SUCCESS;
    if (!context->AccessState)
        return STATUS_ACCESS_DENIED;
    desired = mapGeneric(context->DesiredAccess);
    if (desired & (ACCESS_SYSTEM_SECURITY | WRITE_OWNER | MAXIMUM_ALLOWED))
        return STATUS_ACCESS_DENIED;
    if (!SeAccessCheck((PSECURITY_DESCRIPTOR)descriptor.bytes,
                       &context->AccessState->SubjectSecurityContext, FALSE, desired, 0,
                       &privileges, &mapping, irp->RequestorMode, &granted, &status))
        return NT_SUCCESS(status) ? STATUS_ACCESS_DENIED : status;
    return STATUS_SUCCESS;
}

static NTSTATUS NTAPI dispatchCreate(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = checkCaller(irp, stack);
    if (!NT_SUCCESS(status))
        return complete(irp, status, 0);
    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    if (!owner)
        owner = stack->FileObject;
    else if (owner != stack->FileObject)
        status = STATUS_ACCESS_DENIED;
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, status, 0);
}

static NTSTATUS NTAPI dispatchClose(PDEVICE_OBJECT device, PIRP irp)
{
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    if (owner == file)
        owner = NULL;
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, STATUS_SUCCESS, 0);
}

/* Buffered transfer only: the records are read from and the value written to the
 * system buffer, never to an address the caller chose. */
static NTSTATUS NTAPI dispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    void *buffer = irp->AssociatedIrp.SystemBuffer;
    uint32_t returned = 0;
    GenPortStatus status;

    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    if (stack->FileObject != owner) {
        KeReleaseMutex(&lock, FALSE);
        return complete(irp, STATUS_ACCESS_DENIED, 0);
    }
    status = genport_request(&policy, &ports, stack->Parameters.DeviceIoControl.IoControlCode,
                             buffer, stack->Parameters.DeviceIoControl.InputBufferLength,
                             buffer, stack->Parameters.DeviceIoControl.OutputBufferLength,
                             &returned);
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, (NTSTATUS)status, returned);
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
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device = NULL;
    GenPortPorts scan;
    NTSTATUS status;

    KeInitializeMutex(&lock, 0);
    genport_build_descriptor(&descriptor);
    owner = NULL;
    if (genport_backend_start(&ports, &scan) != 0)
        return STATUS_UNSUCCESSFUL;
    /* The windows are known before the device can be opened. */
    genport_policy_scan(&policy, &scan);

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
