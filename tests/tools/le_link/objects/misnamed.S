    .include "ddb.inc"
    .text
control:
    ret
    .data
    .globl TESTDEV_DDB
TESTDEV_DDB:
    DDB "OTHER   ", control
    .section .note.GNU-stack,"",@progbits
