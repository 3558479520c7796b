/* driver-requests.exe: sends the port driver (\\.\GpdDev) the requests it
 * must refuse, one of each refusal the handler can reach without an SMBus
 * controller, the data addresses that must make its guarded copy fault,
 * and the requests Wine's stubbed hardware can only fail. One line each:
 *   NAME ok=0|1 error=N returned=N
 * (error: GetLastError() after a failed DeviceIoControl, which carries the
 * driver's NTSTATUS). scripts/nt-driver-check.sh compares the lines with
 * expected-wine.txt beside this file. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#define REQ_SMBUS_WRITE 0x9C402450
#define REQ_PCI_READ 0x9C402454
#define REQ_BIOS_FIND 0x9C402458
#define REQ_INTEL_WORD 0x9C40245C
#define REQ_AMD_WORD 0x9C402460
#define REQ_RTM560 0x9C40248C
#define REQ_ICS9248 0x9C402490
#define REQ_PROBE 0x9C4024F0

/* Readable in every Win32 process on NT and under Wine (the shared user
 * page): Wine reads the data address in its driver host's memory, not the
 * caller's, so requests meant to get past the data fetch point here. */
#define EVERYWHERE_READABLE 0x7FFE0000u

static HANDLE device;

static void Send(const char *name, DWORD code, const void *in, DWORD inLength, DWORD outLength)
{
    unsigned char out[1024];
    DWORD returned = 0, error = 0;
    BOOL ok;
    SetLastError(0);
    ok = DeviceIoControl(device, code, (void *)in, inLength, outLength ? out : NULL, outLength, &returned, NULL);
    if (!ok) error = GetLastError();
    printf("%s ok=%d error=%lu returned=%lu\n", name, ok ? 1 : 0, error, returned);
}

/* The 28-byte SMBus write request: seven little-endian 32-bit fields. */
static void SendSmbus(const char *name, DWORD code, DWORD ioBase, DWORD count, DWORD dataAddress, DWORD operation,
                      DWORD kind, DWORD address, DWORD mask, DWORD length)
{
    DWORD r[7];
    r[0] = ioBase;
    r[1] = count;
    r[2] = dataAddress;
    r[3] = operation;
    r[4] = kind;
    r[5] = address;
    r[6] = mask;
    Send(name, code, r, length, 28);
}

int main(void)
{
    char id[16];
    DWORD address;
    device = CreateFileA("\\\\.\\GpdDev", GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (device == INVALID_HANDLE_VALUE) {
        printf("open failed: error %lu\n", GetLastError());
        return 1;
    }

    /* Refusals. */
    Send("unknown-code", 0x9C402464, NULL, 0, 0);
    memset(id, 0, sizeof id);
    strcpy(id, "Award");
    Send("bios-find-short-input", REQ_BIOS_FIND, id, 8, 0);
    memset(id, 'A', sizeof id);
    Send("bios-find-no-terminator", REQ_BIOS_FIND, id, 16, 0);
    Send("config-word-short-output", REQ_INTEL_WORD, NULL, 0, 2);
    address = 0x80000000u;
    Send("pci-read-short-buffers", REQ_PCI_READ, &address, 2, 4);
    address = 0x80000000u | 31u << 11 | 3u << 8 | 0xF0; /* past the header, not a register the program reads */
    Send("pci-read-register", REQ_PCI_READ, &address, 4, 4);
    SendSmbus("smbus-short-input", REQ_SMBUS_WRITE, 0x400, 1, EVERYWHERE_READABLE, 2, 1, 0xD2, 0, 20);
    SendSmbus("smbus-not-block-write", REQ_SMBUS_WRITE, 0x400, 1, EVERYWHERE_READABLE, 1, 1, 0xD2, 0, 28);
    SendSmbus("smbus-count-0", REQ_SMBUS_WRITE, 0x400, 0, EVERYWHERE_READABLE, 2, 1, 0xD2, 0, 28);
    SendSmbus("smbus-count-33", REQ_SMBUS_WRITE, 0x400, 33, EVERYWHERE_READABLE, 2, 1, 0xD2, 0, 28);
    SendSmbus("smbus-not-clock-generator", REQ_SMBUS_WRITE, 0x400, 1, EVERYWHERE_READABLE, 2, 1, 0xA0, 0, 28);
    SendSmbus("smbus-mask-not-a-byte", REQ_SMBUS_WRITE, 0x400, 1, EVERYWHERE_READABLE, 2, 1, 0xD2, 0x100, 28);
    SendSmbus("smbus-no-such-controller", REQ_SMBUS_WRITE, 0x400, 1, EVERYWHERE_READABLE, 2, 1, 0xD2, 0, 28);
    SendSmbus("rtm560-no-such-controller", REQ_RTM560, 0x400, 1, EVERYWHERE_READABLE, 2, 2, 0xD2, 0, 28);
    SendSmbus("ics9248-no-such-controller", REQ_ICS9248, 0x400, 1, EVERYWHERE_READABLE, 2, 2, 0xD2, 0, 28);

    /* The guarded copy of the caller's bytes: nothing there, and a kernel
     * address (ProbeForRead refuses it on NT; Wine's ProbeForRead checks
     * nothing, and the copy itself faults). */
    SendSmbus("smbus-data-null", REQ_SMBUS_WRITE, 0x400, 1, 0, 2, 1, 0xD2, 0, 28);
    SendSmbus("smbus-data-kernel", REQ_SMBUS_WRITE, 0x400, 4, 0x80000000u, 2, 1, 0xD2, 0, 28);

    /* Allowed, and what Wine's stubs make of them. */
    address = 0x80000000u;
    Send("pci-read-host-bridge", REQ_PCI_READ, &address, 4, 4);
    address = 0;
    Send("pci-read-no-enable-bit", REQ_PCI_READ, &address, 4, 4);
    memset(id, 0, sizeof id);
    strcpy(id, "Award");
    Send("bios-find", REQ_BIOS_FIND, id, 16, 0);
    Send("config-word-amd", REQ_AMD_WORD, NULL, 0, 4);
    Send("probe", REQ_PROBE, NULL, 0, 1024);
    CloseHandle(device);
    return 0;
}
