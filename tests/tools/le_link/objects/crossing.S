    .include "ddb.inc"
    .text
control:
    call data_code
    ret
    .data
data_code:
    ret
    .globl TESTDEV_DDB
TESTDEV_DDB:
    DDB "TESTDEV ", control
    .section .note.GNU-stack,"",@progbits
