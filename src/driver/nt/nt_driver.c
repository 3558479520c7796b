/* gpddev.sys: the port driver of the Windows programs on 32-bit Windows NT
 * 4, 2000 and XP, a legacy (non-PnP) kernel driver. It creates
 * \Device\GpdDev with the link \DosDevices\GpdDev (the programs open
 * \\.\GpdDev) and hands every device-control request to the core's request
 * handler (nt_handler.cpp), which decides what may be done. What is here
 * is what only a kernel driver can do: HAL port and PCI calls, the BIOS
 * mapping, the guarded MSR read, the guarded read of the caller's memory,
 * the transfer lock, and who may open the device (open_access.c). */
#include <ntddk.h>

#include "guarded_call.h"
#include "nt_glue.h"
#include "open_access.h"

#define GPD_DEVICE_TYPE 0x9C40
#define BIOS_WINDOW_PHYSICAL 0xF0000
#define BIOS_WINDOW_BYTES 0x10000
#define MSR_CONFIG_WORD 0x2A

static KMUTEX transferLock;

/* ---- ports, pauses, the lock ------------------------------------------ */

uint8_t GpdPortIn(uint16_t port) { return READ_PORT_UCHAR((PUCHAR)(ULONG_PTR)port); }

void GpdPortOut(uint16_t port, uint8_t value) { WRITE_PORT_UCHAR((PUCHAR)(ULONG_PTR)port, value); }

void GpdPause(uint32_t milliseconds)
{
    LARGE_INTEGER pause;
    pause.QuadPart = -(LONGLONG)milliseconds * 10000; /* relative, 100 ns units */
    KeDelayExecutionThread(KernelMode, FALSE, &pause);
}

void GpdLockTransfers(void) { KeWaitForSingleObject(&transferLock, Executive, KernelMode, FALSE, NULL); }

void GpdUnlockTransfers(void) { KeReleaseMutex(&transferLock, FALSE); }

/* ---- PCI and the BIOS window ------------------------------------------ */

int GpdReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t *value)
{
    PCI_SLOT_NUMBER slot;
    ULONG dword = 0xFFFFFFFF, got;
    slot.u.AsULONG = 0;
    slot.u.bits.DeviceNumber = device & 0x1F;
    slot.u.bits.FunctionNumber = function & 7;
    /* The HAL takes its own lock around the configuration cycle. It
     * answers 0 for a bus that does not exist and 2 (the invalid vendor
     * ID) for an empty slot. */
    got = HalGetBusDataByOffset(PCIConfiguration, bus, slot.u.AsULONG, &dword, reg & 0xFC, 4);
    if (got == 0) return 0;
    *value = got == 4 ? dword : 0xFFFFFFFF;
    return 1;
}

const uint8_t *GpdMapBiosWindow(void)
{
    PHYSICAL_ADDRESS base;
    base.QuadPart = BIOS_WINDOW_PHYSICAL;
    /* NT 4 declares the third parameter BOOLEAN CacheEnable; MmNonCached
     * is 0, FALSE there. */
    return (const uint8_t *)MmMapIoSpace(base, BIOS_WINDOW_BYTES, MmNonCached);
}

void GpdUnmapBiosWindow(const uint8_t *window) { MmUnmapIoSpace((PVOID)window, BIOS_WINDOW_BYTES); }

/* ---- the configuration word ------------------------------------------- */

static int CpuidPresent(void)
{
    ULONG before, after;
    /* CPUID exists when EFLAGS bit 21 can be changed. */
    __asm__ __volatile__("pushfl\n\tpopl %0\n\tmovl %0, %1\n\txorl $0x200000, %0\n\tpushl %0\n\tpopfl\n\t"
                         "pushfl\n\tpopl %0\n\tpushl %1\n\tpopfl"
                         : "=&r"(after), "=&r"(before)
                         :
                         : "cc");
    return ((after ^ before) & 0x200000) != 0;
}

static __attribute__((noinline)) void ReadConfigMsr(void *argument)
{
    ULONG high;
    __asm__ __volatile__("rdmsr" : "=a"(*(ULONG *)argument), "=d"(high) : "c"(MSR_CONFIG_WORD));
}

int GpdReadConfigWord(uint32_t *word)
{
    ULONG eax, ebx, ecx, edx, value = 0;
    LONG fault;
    if (!CpuidPresent()) return 0;
    __asm__ __volatile__("cpuid" : "=a"(eax), "=b"(ebx), "=c"(ecx), "=d"(edx) : "a"(1), "c"(0));
    /* RDMSR needs the MSR feature (EDX bit 5); MSR 0x2A is there from
     * family 6 on, a Pentium faults. The guard catches the rest. */
    if ((edx & 0x20) == 0 || (eax >> 8 & 0xF) < 6) return 0;
    fault = GpdGuardedCall(ReadConfigMsr, &value);
    if (fault != 0) {
        DbgPrint("GpdDev: rdmsr 0x2a faulted: %08lx\n", (ULONG)fault);
        return 0;
    }
    *word = value;
    return 1;
}

/* ---- the caller's data bytes ------------------------------------------ */

/* The dispatch routine of a top-level driver runs in the requesting
 * thread, so the request's data address means the caller's memory here
 * and nowhere else (not in a worker thread, a DPC or a completion
 * routine). ProbeForRead raises for anything outside user space; the page
 * can still vanish (another thread of the caller may free it), so the copy
 * runs under the same guard. The hardware then sees only the copy. */
typedef struct CALLER_COPY {
    const volatile UCHAR *source;
    ULONG count;
    BOOLEAN probe;
    UCHAR *out;
} CALLER_COPY;

static __attribute__((noinline)) void CopyCallerBytes(void *argument)
{
    CALLER_COPY *copy = (CALLER_COPY *)argument;
    ULONG i;
    if (copy->probe) ProbeForRead((PVOID)copy->source, copy->count, 1);
    for (i = 0; i < copy->count; ++i) copy->out[i] = copy->source[i];
}

size_t GpdReadCallerBytes(void *irp, uint32_t address, uint8_t *out, size_t count)
{
    CALLER_COPY copy;
    LONG fault;
    copy.source = (const volatile UCHAR *)(ULONG_PTR)address;
    copy.count = (ULONG)count;
    copy.probe = ((PIRP)irp)->RequestorMode != KernelMode;
    copy.out = out;
    fault = GpdGuardedCall(CopyCallerBytes, &copy);
    if (fault != 0) {
        DbgPrint("GpdDev: data address %08lx (%lu bytes) unreadable: %08lx\n", (ULONG)address, (ULONG)count,
                 (ULONG)fault);
        return 0;
    }
    return count;
}

/* ---- dispatch --------------------------------------------------------- */

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT device, PIRP irp)
{
    NTSTATUS status = GpdOpenAllowed(irp);
    (void)device;
    if (!NT_SUCCESS(status)) DbgPrint("GpdDev: open refused: %08lx\n", (ULONG)status);
    return Complete(irp, status, 0);
}

static NTSTATUS NTAPI DispatchClose(PDEVICE_OBJECT device, PIRP irp)
{
    (void)device;
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    GPD_SERVED served;
    (void)device;
    /* Only this driver's requests are buffered ones the handler knows; it
     * refuses every other code itself. Without a system buffer (no input
     * and no output) the handler sees empty buffers. */
    if (irp->AssociatedIrp.SystemBuffer == NULL) inLength = outLength = 0;
    GpdServeRequest(irp, code, (uint8_t *)irp->AssociatedIrp.SystemBuffer, inLength, outLength, &served);
    DbgPrint("GpdDev: request %08lx in %lu out %lu: status %08lx, %lu bytes (outcome %lu refusal %lu: %lu %lu %lu)\n",
             code, inLength, outLength, (ULONG)served.status, (ULONG)served.information, (ULONG)served.outcome,
             (ULONG)served.refusal, (ULONG)served.figures[0], (ULONG)served.figures[1], (ULONG)served.figures[2]);
    return Complete(irp, served.status, served.information);
}

static VOID NTAPI Unload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, L"\\DosDevices\\GpdDev");
    IoDeleteSymbolicLink(&link);
    IoDeleteDevice(driver->DeviceObject);
    DbgPrint("GpdDev: unloaded\n");
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device;
    NTSTATUS status;
    GpdLoadOpenAccess(registryPath);
    RtlInitUnicodeString(&name, L"\\Device\\GpdDev");
    RtlInitUnicodeString(&link, L"\\DosDevices\\GpdDev");
    status = IoCreateDevice(driver, 0, &name, GPD_DEVICE_TYPE, 0, FALSE, &device);
    if (!NT_SUCCESS(status)) return status;
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    KeInitializeMutex(&transferLock, 0);
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = Unload;
    DbgPrint("GpdDev: loaded (version " GPD_VERSION ")\n");
    return STATUS_SUCCESS;
}
