/* Who may open \Device\GpdDev: administrators, the local system, and the
 * members of the local group the installation made (vcctl driver install
 * writes its SID into the service key as AccessGroupSid). */
#ifndef VC_OPEN_ACCESS_H
#define VC_OPEN_ACCESS_H

#include <ntddk.h>

/* Builds the security descriptor the opens are checked against, with the
 * group read from the service key `registryPath` (administrators and the
 * system alone when the value is missing or not a valid SID). */
void GpdLoadOpenAccess(PCUNICODE_STRING registryPath);

/* STATUS_SUCCESS when the opener of this IRP_MJ_CREATE may use the device,
 * STATUS_ACCESS_DENIED otherwise. */
NTSTATUS GpdOpenAllowed(PIRP irp);

#endif
