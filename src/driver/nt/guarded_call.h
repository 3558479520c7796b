/* A try/except for 32-bit x86 NT code built with GCC, which has no __try.
 *
 * x86 exception handlers form a list of records on the stack whose head
 * is at fs:[0] (the TEB in user mode, the processor control region in
 * kernel mode). GpdGuardedCall puts one record there and calls `work`;
 * when an exception reaches the record, its handler jumps back into
 * GpdGuardedCall with __builtin_longjmp, which makes the record's
 * successor the head again (dropping what the dispatcher pushed while it
 * called the handler) and answers the exception code. Without an
 * exception it answers 0 (STATUS_SUCCESS).
 *
 * The work must be a real call through a pointer from a function GCC may
 * neither inline nor specialise: GCC expects __builtin_setjmp to return
 * twice only across a call, and removes the fault path of inline code that
 * faults between the setjmp and the end of the guard (the handler then
 * resumes at the start of the guard and the fault repeats for ever).
 * Include after <windows.h> or <ntddk.h>. */
#ifndef VC_GUARDED_CALL_H
#define VC_GUARDED_CALL_H

#ifndef EXCEPTION_UNWINDING
#define EXCEPTION_UNWINDING 0x2
#define EXCEPTION_EXIT_UNWIND 0x4
#endif

typedef struct GPD_GUARD {
    struct GPD_GUARD *volatile next; /* EXCEPTION_REGISTRATION_RECORD: Next, Handler */
    void *handler;
    void *jump[5];      /* the __builtin_setjmp buffer */
    volatile LONG code; /* the exception code, after a fault */
} GPD_GUARD;

static EXCEPTION_DISPOSITION __cdecl GpdGuardHandler(PEXCEPTION_RECORD record, void *frame, void *context,
                                                     void *dispatcher)
{
    GPD_GUARD *guard = (GPD_GUARD *)frame;
    (void)context;
    (void)dispatcher;
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    guard->code = (LONG)record->ExceptionCode;
    __builtin_longjmp(guard->jump, 1);
}

typedef void (*GPD_GUARDED_WORK)(void *argument);

static __attribute__((noinline, noipa)) LONG GpdGuardedCall(GPD_GUARDED_WORK work, void *argument)
{
    GPD_GUARD guard;
    guard.code = 0;
    guard.handler = (void *)GpdGuardHandler;
    if (__builtin_setjmp(guard.jump) == 0) {
        __asm__ __volatile__("movl %%fs:0, %0" : "=r"(guard.next));
        __asm__ __volatile__("movl %0, %%fs:0" : : "r"(&guard) : "memory");
        work(argument);
        __asm__ __volatile__("movl %0, %%fs:0" : : "r"(guard.next) : "memory");
        return 0;
    }
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(guard.next) : "memory");
    return guard.code;
}

#endif
