/* probe-import.sys: a driver that imports ProbeForRead, which the kernels of
 * NT 3.50 to 4.0 do not export. scripts/win-import-check.sh requires
 * scripts/sys-check.py to refuse it for NT 4. Never loaded anywhere. */
#include <ntddk.h>

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    (void)driver;
    ProbeForRead(registryPath, sizeof *registryPath, 1);
    return STATUS_UNSUCCESSFUL;
}
