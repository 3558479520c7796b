/* The few instructions C cannot express: the control procedure's register
 * convention, the processor's CPUID test and the memory manager's service
 * call. GNU assembler, AT&T syntax, 32-bit flat. */
#include "vxd_system.h"

    .text

/* Control procedure: EAX = message, ESI = DIOCParams for
 * W32_DEVICEIOCONTROL. Answers EAX = 0 and carry clear on success, EAX = an
 * error code and carry set on failure; keeps every other register. */
    .globl Map9xControl
Map9xControl:
    cld
    pushl %ecx
    pushl %edx
    pushl %esi
    pushl %eax
    call Map9xHandleMessage
    addl $8, %esp
    popl %edx
    popl %ecx
    cmpl $1, %eax       /* carry when EAX is 0 ... */
    cmc                 /* ... inverted: carry when it is not */
    ret

/* 1 when the identification flag (EFLAGS bit 21) can be changed, that is,
 * when the processor has CPUID (a 386 or early 486 has not). */
    .globl Map9xCpuidPresent
Map9xCpuidPresent:
    pushfl
    popl %eax
    movl %eax, %ecx
    xorl $0x200000, %eax
    pushl %eax
    popfl
    pushfl
    popl %eax
    pushl %ecx
    popfl
    xorl %ecx, %eax
    shrl $21, %eax
    andl $1, %eax
    ret

/* _CopyPageTable(page, count, entries, flags), a C-convention service: the
 * arguments are pushed again so the service finds them above its return
 * address, as after a direct call. */
    .globl VmmCopyPageTable
VmmCopyPageTable:
    pushl 16(%esp)
    pushl 16(%esp)
    pushl 16(%esp)
    pushl 16(%esp)
    int $0x20
    .long VXD_COPY_PAGE_TABLE
    addl $16, %esp
    ret

    .section .note.GNU-stack,"",@progbits
