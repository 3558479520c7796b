/* What Windows 9x offers a dynamically loaded virtual device, as far as
 * Map9X uses it (Windows 95/98 DDK): the control messages, the
 * DeviceIoControl parameter block, the memory manager's services (reached by
 * int 20h and a service number the system patches into a call at first use)
 * and the Win32 error codes a request answers with. C and C++ both include
 * it: the device, and the harness that stands in for the system. */
#ifndef VC_DRIVER_WIN9X_VXD_SYSTEM_H
#define VC_DRIVER_WIN9X_VXD_SYSTEM_H

#ifndef __ASSEMBLER__
#include <stdint.h>
#endif

/* Control messages (EAX on entry to the control procedure). */
#define VXD_SYS_DYNAMIC_DEVICE_INIT 0x1Bu
#define VXD_SYS_DYNAMIC_DEVICE_EXIT 0x1Cu
#define VXD_W32_DEVICEIOCONTROL 0x23u

/* W32_DEVICEIOCONTROL codes the system itself sends: CreateFile's open (the
 * same value as DIOC_GETVERSION, 0) and CloseHandle's close. */
#define VXD_DIOC_OPEN 0x00000000u
#define VXD_DIOC_CLOSEHANDLE 0xFFFFFFFFu

#ifndef __ASSEMBLER__
/* The parameter block ESI points at for W32_DEVICEIOCONTROL. The buffers
 * are the calling Win32 program's linear addresses. */
struct VxdDiocParams {
    uint32_t internal1;      /* the caller's client registers */
    uint32_t vmHandle;
    uint32_t internal2;      /* the device's DDB */
    uint32_t ioControlCode;
    uint32_t inBuffer;
    uint32_t inSize;
    uint32_t outBuffer;
    uint32_t outSize;
    uint32_t bytesReturned;  /* address of the caller's byte count, or 0 */
    uint32_t overlapped;
    uint32_t device;
    uint32_t process;
};
#endif

/* Services are (device id << 16) | index; VMM is device 1. */
#define VXD_VMM_SERVICE(index) (0x00010000 | (index))
#define VXD_COPY_PAGE_TABLE VXD_VMM_SERVICE(0x0061) /* _CopyPageTable(page, count, entries, flags) */

/* Page table entry bits _CopyPageTable hands back (the processor's). */
#define VXD_PTE_PRESENT 0x001u
#define VXD_PTE_WRITABLE 0x002u
#define VXD_PTE_USER 0x004u
#define VXD_PTE_FRAME 0xFFFFF000u
#define VXD_PAGE_SHIFT 12u

/* Arenas of the 9x linear address space: a process's private arena is
 * 0x00400000-0x7FFFFFFF; above it the shared arena (2-3 GB) and the system
 * arena (3-4 GB, ring 0 only), below it the DOS/Win16 arena. */
#define VXD_PRIVATE_ARENA 0x00400000u
#define VXD_PRIVATE_ARENA_LAST 0x7FFFFFFFu

/* Win32 error codes (EAX) a request fails with; 0 is success. */
#define VXD_ERROR_INVALID_FUNCTION 1u
#define VXD_ERROR_NOT_SUPPORTED 50u
#define VXD_ERROR_INVALID_PARAMETER 87u
#define VXD_ERROR_INSUFFICIENT_BUFFER 122u

#endif
