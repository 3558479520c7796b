/* gpddev.sys: the port driver of the Windows programs on 32-bit Windows NT
 * 4, 2000 and XP, a legacy (non-PnP) kernel driver. It creates
 * \Device\GpdDev with the link \DosDevices\GpdDev (the programs open
 * \\.\GpdDev) and hands every device-control request to the core's request
 * handler (nt_handler.cpp), which decides what may be done. What is here
 * is what only a kernel driver can do: HAL port and PCI calls, the BIOS
 * mapping, the guarded MSR read, the guarded read of the caller's memory,
 * the transfer lock, and who may open the device (open_access.c). */
#include <ntddk.h>

#include "core/cpu/config_word_rule.h"
#include "guarded_call.h"
#include "nt_glue.h"
#include "open_access.h"

#define GPD_DEVICE_TYPE 0x9C40
#define BIOS_WINDOW_PHYSICAL 0xF0000
#define BIOS_WINDOW_BYTES 0x10000
/* The lowest address above user space on 32-bit NT 4, 2000 and XP without
 * /3GB (MM_USER_PROBE_ADDRESS, MmUserProbeAddress = 0x7FFF0000: the last 64
 * KiB below 2 GiB are a no-access guard the kernel never lets user mode
 * map). Below it is only ever the caller's memory. */
#define USER_PROBE_ADDRESS 0x7FFF0000u

static KMUTEX transferLock;
static GPD_COUNTS counts;

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
    __asm__ __volatile__("rdmsr" : "=a"(*(ULONG *)argument), "=d"(high) : "c"(VC_CONFIG_WORD_MSR));
}

static void Cpuid(ULONG leaf, ULONG *eax, ULONG *ebx, ULONG *ecx, ULONG *edx)
{
    __asm__ __volatile__("cpuid" : "=a"(*eax), "=b"(*ebx), "=c"(*ecx), "=d"(*edx) : "a"(leaf), "c"(0));
}

int GpdReadConfigWord(uint32_t *word)
{
    ULONG maxLeaf, ebx, ecx, edx, signature = 0, features = 0, unused, value = 0;
    LONG fault;
    if (!CpuidPresent()) return 0;
    Cpuid(0, &maxLeaf, &ebx, &ecx, &edx);
    if (maxLeaf >= 1) Cpuid(1, &signature, &unused, &unused, &features);
    /* Only where the register exists (core/cpu/config_word_rule.h); the
     * guard is for a processor that breaks the rule, not a substitute. */
    if (VcConfigWordVendor(maxLeaf, ebx, edx, ecx, signature, features) == VC_WORD_NONE) return 0;
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
 * routine). For a user-mode caller the range must lie wholly below the
 * user-space limit without wrapping: the check ProbeForRead makes, written
 * out because NT 3.50 to 4.0 do not export ProbeForRead (a macro there).
 * The page can still be absent or vanish (another thread of the caller may
 * free it), so the copy runs under the guard. The hardware then sees only
 * the copy. */
typedef struct CALLER_COPY {
    const volatile UCHAR *source;
    ULONG count;
    UCHAR *out;
} CALLER_COPY;

static __attribute__((noinline)) void CopyCallerBytes(void *argument)
{
    CALLER_COPY *copy = (CALLER_COPY *)argument;
    ULONG i;
    for (i = 0; i < copy->count; ++i) copy->out[i] = copy->source[i];
}

int GpdUserRangeAllowed(uint32_t address, uint32_t count)
{
    return count <= USER_PROBE_ADDRESS && address <= USER_PROBE_ADDRESS - count;
}

size_t GpdReadCallerBytes(void *irp, uint32_t address, uint8_t *out, size_t count)
{
    CALLER_COPY copy;
    LONG fault = 0;
    copy.source = (const volatile UCHAR *)(ULONG_PTR)address;
    copy.count = (ULONG)count;
    copy.out = out;
    if (((PIRP)irp)->RequestorMode != KernelMode && !GpdUserRangeAllowed(address, (uint32_t)count))
        fault = (LONG)STATUS_ACCESS_VIOLATION;
    else
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
    GpdCount(&counts, code, &served);
    /* Only what somebody must look at: a refusal (and why) or a failure of
     * the hardware. Served requests are counted, shown at unload. */
    if (served.outcome != GPD_OUTCOME_DONE && !(code == GPD_CODE_BIOS_FIND && served.outcome == GPD_OUTCOME_FAILED))
        DbgPrint("GpdDev: request %08lx in %lu out %lu refused or failed: status %08lx (outcome %lu refusal %lu: "
                 "%lu %lu %lu)\n",
                 code, inLength, outLength, (ULONG)served.status, (ULONG)served.outcome, (ULONG)served.refusal,
                 (ULONG)served.figures[0], (ULONG)served.figures[1], (ULONG)served.figures[2]);
    return Complete(irp, served.status, served.information);
}

static VOID NTAPI Unload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, L"\\DosDevices\\GpdDev");
    IoDeleteSymbolicLink(&link);
    IoDeleteDevice(driver->DeviceObject);
    DbgPrint("GpdDev: unloaded after %lu PCI reads, %lu BIOS searches (%lu found), %lu configuration words, "
             "%lu probes, %lu SMBus writes, %lu refusals\n",
             counts.pciReads, counts.biosSearches, counts.biosFound, counts.configWords, counts.probes,
             counts.smbusWrites, counts.refusals);
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
