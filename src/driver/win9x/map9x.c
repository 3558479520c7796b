/* Map9X: the program's virtual device on Windows 9x. It is loaded when the
 * program opens \\.\Map9X.vxd and unloaded when the handle closes, so it
 * keeps no state between requests. It touches no port and no SMBus: on 9x
 * the program drives those itself. Requests (4-byte output, no input):
 *   2  the linear address of a window onto physical 0xF0000-0xFFFFF;
 *   8  the low word of MSR 0x2A on an Intel processor that has it;
 *   9  the same on an AMD processor that has it;
 *   0  no configuration word for other vendors: 0, and success, so the
 *      program's own multiplier step turns the processor down.
 * Any other code, an output buffer shorter than 4 bytes, or one in the
 * system arena fails.
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

#include "vxd_system.h"

enum {
    kRequestOtherWord = 0,
    kRequestBiosWindow = 2,
    kRequestIntelWord = 8,
    kRequestAmdWord = 9,
};

#define WINDOW_FIRST_PAGE 0xF0u
#define WINDOW_PAGES 16u
#define CONFIG_WORD_MSR 0x2Au
#define CPUID_FEATURE_MSR (1u << 5) /* leaf 1 EDX */
#define ANSWER_BYTES 4u

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
    .prev = 0x76657250u,     /* "Prev" */
    .size = sizeof(struct DeviceDescriptor),
    .reserved = {0x31765352u, 0x32765352u, 0x33765352u}, /* "Rsv1".."Rsv3" */
};

struct CpuidResult {
    uint32_t eax, ebx, ecx, edx;
};

static struct CpuidResult Cpuid(uint32_t leaf) {
    struct CpuidResult r;
    __asm__ volatile("cpuid" : "=a"(r.eax), "=b"(r.ebx), "=c"(r.ecx), "=d"(r.edx) : "a"(leaf), "c"(0));
    return r;
}

/* Which processors have MSR 0x2A: the P6 family's EBL_CR_POWERON and the
 * Pentium 4's hard power-on configuration (Intel SDM vol. 3, model-specific
 * registers), and AMD's family 6 (Athlon, Duron), which answers it. Reading
 * it anywhere else faults, and a fault in a virtual device stops the
 * system, so everything else is refused. */
struct WordSource {
    uint32_t request;
    uint32_t vendor[3]; /* CPUID leaf 0 EBX, EDX, ECX */
    uint8_t families[2];
};

static const struct WordSource kWordSources[] = {
    {kRequestIntelWord, {0x756E6547u, 0x49656E69u, 0x6C65746Eu}, {6, 15}}, /* GenuineIntel */
    {kRequestAmdWord, {0x68747541u, 0x69746E65u, 0x444D4163u}, {6, 6}},   /* AuthenticAMD */
};

static int HasConfigWord(const struct WordSource* source) {
    if (!Map9xCpuidPresent()) return 0;
    const struct CpuidResult vendor = Cpuid(0);
    if (vendor.eax < 1 || vendor.ebx != source->vendor[0] || vendor.edx != source->vendor[1] ||
        vendor.ecx != source->vendor[2])
        return 0;
    const struct CpuidResult features = Cpuid(1);
    if (!(features.edx & CPUID_FEATURE_MSR)) return 0;
    const uint32_t family = (features.eax >> 8) & 0xFu;
    return family == source->families[0] || family == source->families[1];
}

static uint32_t ReadConfigWord(void) {
    uint32_t low, high;
    __asm__ volatile("rdmsr" : "=a"(low), "=d"(high) : "c"(CONFIG_WORD_MSR));
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

/* A caller's buffer of `size` bytes at `address`: non-null and below the
 * system arena, so a request never writes into the system's memory. */
static int CallerMemory(uint32_t address, uint32_t size) {
    return address != 0 && address < VXD_SYSTEM_ARENA && VXD_SYSTEM_ARENA - address >= size;
}

static uint32_t Answer(const struct VxdDiocParams* p, uint32_t word) {
    *(volatile uint32_t*)p->outBuffer = word;
    if (p->bytesReturned) *(volatile uint32_t*)p->bytesReturned = ANSWER_BYTES;
    return 0;
}

static uint32_t Serve(const struct VxdDiocParams* p) {
    const uint32_t code = p->ioControlCode;
    if (code == VXD_DIOC_CLOSEHANDLE) return 0;
    if (code == VXD_DIOC_OPEN && p->outSize == 0) return 0; /* the open, or a request 0 that wants no word */
    if (code != kRequestOtherWord && code != kRequestBiosWindow && code != kRequestIntelWord && code != kRequestAmdWord)
        return VXD_ERROR_INVALID_FUNCTION;
    if (p->outSize < ANSWER_BYTES) return VXD_ERROR_INSUFFICIENT_BUFFER;
    if (!CallerMemory(p->outBuffer, ANSWER_BYTES) ||
        (p->bytesReturned != 0 && !CallerMemory(p->bytesReturned, ANSWER_BYTES)))
        return VXD_ERROR_INVALID_PARAMETER;
    if (code == kRequestOtherWord) return Answer(p, 0);
    if (code == kRequestBiosWindow)
        return WindowMapped() ? Answer(p, WINDOW_FIRST_PAGE << VXD_PAGE_SHIFT) : VXD_ERROR_NOT_SUPPORTED;
    for (uint32_t i = 0; i < sizeof kWordSources / sizeof kWordSources[0]; ++i)
        if (kWordSources[i].request == code)
            return HasConfigWord(&kWordSources[i]) ? Answer(p, ReadConfigWord()) : VXD_ERROR_NOT_SUPPORTED;
    return VXD_ERROR_INVALID_FUNCTION;
}

/* Called by entry.S with the message and ESI; 0 is success. Loading and
 * unloading need nothing: the device holds no state. */
uint32_t Map9xHandleMessage(uint32_t message, const struct VxdDiocParams* params);
uint32_t Map9xHandleMessage(uint32_t message, const struct VxdDiocParams* params) {
    if (message == VXD_W32_DEVICEIOCONTROL) return Serve(params);
    return 0;
}
