    .include "ddb.inc"
    .text
control:
    movl $buffer, %eax
    ret
    .comm buffer, 16, 4
    .data
    .globl TESTDEV_DDB
TESTDEV_DDB:
    DDB "TESTDEV ", control
    .section .note.GNU-stack,"",@progbits
