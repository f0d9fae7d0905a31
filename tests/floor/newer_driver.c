/* Deliberately beyond NT 4.0: a driver importing ZwSetSecurityObject, which the kernel
 * exports from Windows 2000 on. */
#include <ntifs.h>

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    return ZwSetSecurityObject(NULL, DACL_SECURITY_INFORMATION, NULL);
}
