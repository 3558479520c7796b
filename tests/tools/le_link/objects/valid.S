# Fixups whose places and targets the test knows: an absolute reference
# from code into data (with an addend), the descriptor's control procedure,
# and a relative call between two code sections, resolved at link time.
    .include "ddb.inc"
    .text
control:
    movl $table + 4, %eax
    call helper
    ret
    .section .text.helper, "ax"
    .p2align 4
helper:
    ret
    .data
    .long 0x11111111
table:
    .long 1, 2
    .globl TESTDEV_DDB
TESTDEV_DDB:
    DDB "TESTDEV ", control
    .section .note.GNU-stack,"",@progbits
