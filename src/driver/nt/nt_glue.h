/* The seam between the driver's two halves: nt_driver.c makes the kernel
 * and HAL calls (C, the DDK headers), nt_handler.cpp runs the core's one
 * request handler over them (C++ without exceptions, RTTI or allocation).
 * Plain C types only, so both sides read the same declarations. */
#ifndef VC_NT_GLUE_H
#define VC_NT_GLUE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- offered by nt_driver.c ---- */

/* One byte of an SMBus controller's I/O range (HAL port calls). */
uint8_t GpdPortIn(uint16_t port);
void GpdPortOut(uint16_t port, uint8_t value);
/* Sleeps the calling thread (a transfer step's pause). */
void GpdPause(uint32_t milliseconds);
/* The one transfer lock (a KMUTEX): every SMBus transfer runs under it. */
void GpdLockTransfers(void);
void GpdUnlockTransfers(void);
/* A configuration dword of bus 0..255 (HalGetBusDataByOffset): 1 and
 * 0xFFFFFFFF where no device answers, 0 when the bus does not exist. */
int GpdReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t *value);
/* The 64 KiB at physical 0xF0000 mapped (MmMapIoSpace), or NULL. */
const uint8_t *GpdMapBiosWindow(void);
void GpdUnmapBiosWindow(const uint8_t *window);
/* MSR 0x2A's low half: 1 when CPUID shows MSRs and family 6 or later and
 * the guarded read did not fault. */
int GpdReadConfigWord(uint32_t *word);
/* `count` bytes at `address` in the requesting process, range-checked and
 * copied under the exception guard: `count`, or 0 when the range is not
 * user space or the copy faulted. `irp` is the request (a user-mode
 * requestor's range must lie below the user-space limit). */
size_t GpdReadCallerBytes(void *irp, uint32_t address, uint8_t *out, size_t count);
/* 1 when [address, address + count) lies below the user-space limit and
 * does not wrap. */
int GpdUserRangeAllowed(uint32_t address, uint32_t count);

/* ---- offered by nt_handler.cpp ---- */

/* What the handler made of one request. */
typedef struct GPD_SERVED {
    int32_t status;        /* the NTSTATUS the request completes with */
    uint32_t information;  /* bytes of output */
    uint32_t outcome;      /* vc::privileged::Outcome, for the log */
    uint32_t refusal;      /* vc::privileged::Refusal, for the log */
    uint32_t figures[3];
} GPD_SERVED;

/* GPD_SERVED.outcome (vc::privileged::Outcome) and the BIOS search's code. */
#define GPD_OUTCOME_DONE 0u
#define GPD_OUTCOME_FAILED 1u
#define GPD_CODE_BIOS_FIND 0x9C402458u

/* What the driver served since it loaded, shown at unload. */
typedef struct GPD_COUNTS {
    uint32_t pciReads, biosSearches, biosFound, configWords, probes, smbusWrites, refusals;
} GPD_COUNTS;

/* Counts one served request by its kind. */
void GpdCount(GPD_COUNTS *counts, uint32_t code, const GPD_SERVED *served);

/* Serves one device-control request. `buffer` is the METHOD_BUFFERED
 * system buffer (input and output share it). */
void GpdServeRequest(void *irp, uint32_t code, uint8_t *buffer, uint32_t inLength, uint32_t outLength,
                     GPD_SERVED *served);

#ifdef __cplusplus
}
#endif

#endif
