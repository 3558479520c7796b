/* Map9X: the program's virtual device on Windows 9x. It is loaded when the
 * program opens \\.\Map9X.vxd and unloaded when the handle closes, so it
 * keeps no state between requests. It touches no port and no SMBus: on 9x
 * the program drives those itself. Requests (4-byte output, no input):
 *   2  the linear address of a window onto physical 0xF0000-0xFFFFF;
 *   8  the low word of MSR 0x2A on an Intel processor that has it;
 *   9  the same on an AMD processor that has it;
 *   0  no configuration word for other vendors: 0, and success, so the
 *      program's own multiplier step turns the processor down. Code 0 is
 *      also the system's own DIOC_OPEN, sent by CreateFile with whatever
 *      output size VWIN32 has (the SDK: the device must answer 0), so it
 *      never fails and writes its word only where it may.
 * Any other code or an output buffer shorter than 4 bytes fails. Output
 * goes only into the calling process's own arena, 0x00400000-0x7FFFFFFF,
 * and only after the memory manager shows every page of it present,
 * writable and a user page: a ring-0 write to an address that is not
 * mapped is a fatal page fault in a virtual device.
 *
 * The window is the system virtual machine's own view of its first
 * megabyte, at linear 0xF0000: Win32 programs run in the system VM, whose
 * V86 memory is mapped into every process's address space at linear 0 to
 * 1 MB, and V86 code runs at privilege level 3, so those pages are user
 * pages. The address therefore stays valid after the device unloads (the
 * program reads the window only after closing the handle), where a mapping
 * of the device's own would go with it or leak on every load. Before
 * answering, the device checks through the memory manager that each of the
 * 16 pages is present, a user page, and maps the physical page of the same
 * number; otherwise request 2 fails and the program finds no board. */
#include <stdint.h>

#include "core/cpu/config_word_rule.h"
#include "vxd_system.h"

enum {
    kRequestOtherWord = 0,
    kRequestBiosWindow = 2,
    kRequestIntelWord = 8,
    kRequestAmdWord = 9,
};

#define WINDOW_FIRST_PAGE 0xF0u
#define WINDOW_PAGES 16u
#define ANSWER_BYTES 4u
#define OUTPUT_PAGES_MAX 2u /* 4 bytes span at most two pages */

/* In entry.S. */
void Map9xControl(void);
uint32_t Map9xCpuidPresent(void);
uint32_t VmmCopyPageTable(uint32_t page, uint32_t count, uint32_t* entries, uint32_t flags);

/* The device descriptor block, exported by ordinal 1 (Windows 4.0 layout).
 * The system writes its first words, so it lives in writable data. */
struct DeviceDescriptor {
    uint32_t next;
    uint16_t sdkVersion;
    uint16_t deviceNumber;
    uint8_t majorVersion;
    uint8_t minorVersion;
    uint16_t flags;
    char name[8];
    uint32_t initOrder;
    void (*controlProc)(void);
    uint32_t v86ApiProc;
    uint32_t pmApiProc;
    uint32_t v86ApiCsIp;
    uint32_t pmApiCsIp;
    uint32_t referenceData;
    uint32_t serviceTable;
    uint32_t serviceCount;
    uint32_t win32ServiceTable;
    uint32_t prev;
    uint32_t size;
    uint32_t reserved[3];
};
_Static_assert(sizeof(struct DeviceDescriptor) == 0x50, "the descriptor block is 0x50 bytes");

struct DeviceDescriptor MAP9X_DDB = {
    .sdkVersion = 0x0400,
    .deviceNumber = 0,       /* no services for others: no fixed device id */
    .majorVersion = 1,
    .name = {'M', 'A', 'P', '9', 'X', ' ', ' ', ' '},
    .initOrder = 0x80000000u, /* no particular order */
    .controlProc = Map9xControl,
    /* The DDK's multi-character constants (VMM.INC's DDB_Prev dd 'Prev',
     * DDB_Reserved1 dd 'Rsv1', ...): the first character most significant. */
    .prev = 0x50726576u, /* 'Prev' */
    .size = sizeof(struct DeviceDescriptor),
    .reserved = {0x52737631u, 0x52737632u, 0x52737633u}, /* 'Rsv1'..'Rsv3' */
};

struct CpuidResult {
    uint32_t eax, ebx, ecx, edx;
};

static struct CpuidResult Cpuid(uint32_t leaf) {
    struct CpuidResult r;
    __asm__ volatile("cpuid" : "=a"(r.eax), "=b"(r.ebx), "=c"(r.ecx), "=d"(r.edx) : "a"(leaf), "c"(0));
    return r;
}

/* Whose configuration word the processor has (core/cpu/config_word_rule.h);
 * nothing is read where the rule says there is none. */
static enum VcWordVendor WordVendor(void) {
    if (!Map9xCpuidPresent()) return VC_WORD_NONE;
    const struct CpuidResult vendor = Cpuid(0);
    const struct CpuidResult features = vendor.eax >= 1 ? Cpuid(1) : (struct CpuidResult){0, 0, 0, 0};
    return VcConfigWordVendor(vendor.eax, vendor.ebx, vendor.edx, vendor.ecx, features.eax, features.edx);
}

static uint32_t ReadConfigWord(void) {
    uint32_t low, high;
    __asm__ volatile("rdmsr" : "=a"(low), "=d"(high) : "c"(VC_CONFIG_WORD_MSR));
    (void)high;
    return low;
}

static int WindowMapped(void) {
    uint32_t entries[WINDOW_PAGES];
    if (!VmmCopyPageTable(WINDOW_FIRST_PAGE, WINDOW_PAGES, entries, 0)) return 0;
    for (uint32_t i = 0; i < WINDOW_PAGES; ++i) {
        const uint32_t wanted = (WINDOW_FIRST_PAGE + i) << VXD_PAGE_SHIFT;
        if ((entries[i] & (VXD_PTE_PRESENT | VXD_PTE_USER)) != (VXD_PTE_PRESENT | VXD_PTE_USER) ||
            (entries[i] & VXD_PTE_FRAME) != wanted)
            return 0;
    }
    return 1;
}

/* Whether the caller may be given `size` bytes at `address`: inside the
 * process's private arena, and every page of it present, writable and a
 * user page in the current memory context, as _CopyPageTable (Windows 95
 * DDK, VMM services: copies the page table entries of linear pages) shows
 * them. */
static int CallerMemory(uint32_t address, uint32_t size) {
    if (address < VXD_PRIVATE_ARENA || address > VXD_PRIVATE_ARENA_LAST || VXD_PRIVATE_ARENA_LAST - address < size - 1)
        return 0;
    const uint32_t first = address >> VXD_PAGE_SHIFT, count = ((address + size - 1) >> VXD_PAGE_SHIFT) - first + 1;
    uint32_t entries[OUTPUT_PAGES_MAX];
    if (count > OUTPUT_PAGES_MAX || !VmmCopyPageTable(first, count, entries, 0)) return 0;
    const uint32_t wanted = VXD_PTE_PRESENT | VXD_PTE_WRITABLE | VXD_PTE_USER;
    for (uint32_t i = 0; i < count; ++i)
        if ((entries[i] & wanted) != wanted) return 0;
    return 1;
}

static uint32_t Answer(const struct VxdDiocParams* p, uint32_t word) {
    *(volatile uint32_t*)p->outBuffer = word;
    if (p->bytesReturned) *(volatile uint32_t*)p->bytesReturned = ANSWER_BYTES;
    return 0;
}

static int OutputAllowed(const struct VxdDiocParams* p) {
    return CallerMemory(p->outBuffer, ANSWER_BYTES) &&
           (p->bytesReturned == 0 || CallerMemory(p->bytesReturned, ANSWER_BYTES));
}

_Static_assert(kRequestOtherWord == VXD_DIOC_OPEN, "request 0 is the system's open");

static uint32_t Serve(const struct VxdDiocParams* p) {
    const uint32_t code = p->ioControlCode;
    if (code == VXD_DIOC_CLOSEHANDLE) return 0;
    if (code == VXD_DIOC_OPEN) { /* also request 0: the word only where it may go */
        if (p->outSize >= ANSWER_BYTES && OutputAllowed(p)) Answer(p, 0);
        return 0;
    }
    if (code != kRequestBiosWindow && code != kRequestIntelWord && code != kRequestAmdWord)
        return VXD_ERROR_INVALID_FUNCTION;
    if (p->outSize < ANSWER_BYTES) return VXD_ERROR_INSUFFICIENT_BUFFER;
    if (!OutputAllowed(p)) return VXD_ERROR_INVALID_PARAMETER;
    if (code == kRequestBiosWindow)
        return WindowMapped() ? Answer(p, WINDOW_FIRST_PAGE << VXD_PAGE_SHIFT) : VXD_ERROR_NOT_SUPPORTED;
    const enum VcWordVendor wanted = code == kRequestIntelWord ? VC_WORD_INTEL : VC_WORD_AMD;
    return WordVendor() == wanted ? Answer(p, ReadConfigWord()) : VXD_ERROR_NOT_SUPPORTED;
}

/* Called by entry.S with the message and ESI; 0 is success. Loading and
 * unloading need nothing: the device holds no state. */
uint32_t Map9xHandleMessage(uint32_t message, const struct VxdDiocParams* params);
uint32_t Map9xHandleMessage(uint32_t message, const struct VxdDiocParams* params) {
    if (message == VXD_W32_DEVICEIOCONTROL) return Serve(params);
    return 0;
}
