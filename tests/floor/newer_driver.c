/* Deliberately beyond NT 4.0: a driver importing ZwSetSecurityObject, which the kernel
 * exports from Windows 2000 on. */
/* The kernel headers want their own idea of the Windows version, not the test programs'. */
#undef _WIN32_WINNT
#undef WINVER
#undef _WIN32_IE
#undef WIN32_LEAN_AND_MEAN
#include <ntifs.h>

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    return ZwSetSecurityObject(NULL, DACL_SECURITY_INFORMATION, NULL);
}
