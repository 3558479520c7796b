    .include "ddb.inc"
    .text
control:
    call external_service
    ret
    .data
    .globl TESTDEV_DDB
TESTDEV_DDB:
    DDB "TESTDEV ", control
    .section .note.GNU-stack,"",@progbits
