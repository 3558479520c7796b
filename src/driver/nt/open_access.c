/* The check at IRP_MJ_CREATE. NT 4's DDK has no call that puts a security
 * descriptor on a device object (IoCreateDeviceSecure came with later
 * systems), but the create dispatch sees the opener's security context,
 * and SeAccessCheck is in NT 4's kernel: so the driver keeps its own
 * descriptor (open_descriptor.c) and checks every open from user mode
 * against it. */
#include "open_access.h"

#include "open_descriptor.h"

/* What an open must be granted: the requests are FILE_ANY_ACCESS, so the
 * check decides who, not what. */
#define OPEN_RIGHTS (FILE_READ_DATA | FILE_WRITE_DATA)

/* The file objects' generic mapping, what IoGetFileObjectGenericMapping
 * answers (its WDK page; the FILE_GENERIC_* rights of winnt.h), kept here so
 * the driver does not import a routine NT 4's DDK reference does not list. */
static GENERIC_MAPPING fileMapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};

static ULONG descriptor[(GPD_DESCRIPTOR_MAX + 3) / 4];

/* The value `name` of the open service key into `value` (`size` bytes):
 * its data length (and `type`), or 0 when it is not there. */
static ULONG QueryValue(HANDLE key, PCWSTR name, PKEY_VALUE_PARTIAL_INFORMATION value, ULONG size, ULONG *type)
{
    UNICODE_STRING valueName;
    ULONG length = 0;
    RtlInitUnicodeString(&valueName, name);
    if (!NT_SUCCESS(ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, value, size, &length))) return 0;
    *type = value->Type;
    return value->DataLength;
}

void GpdLoadOpenAccess(PCUNICODE_STRING registryPath)
{
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    /* KEY_VALUE_PARTIAL_INFORMATION (12 bytes) and the largest SID. */
    ULONG buffer[(12 + GPD_SID_MAX) / 4 + 1];
    PKEY_VALUE_PARTIAL_INFORMATION value = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    ULONG type = 0, length, sidLength = 0;
    UCHAR sid[GPD_SID_MAX];
    InitializeObjectAttributes(&attributes, (PUNICODE_STRING)registryPath, OBJ_CASE_INSENSITIVE, NULL, NULL);
    if (NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes))) {
        length = QueryValue(key, L"AccessGroupSid", value, sizeof buffer, &type);
        if (type == REG_BINARY && GpdSidLength(value->Data, length) == length) {
            sidLength = length;
            for (ULONG i = 0; i < length; ++i) sid[i] = value->Data[i];
        }
        ZwClose(key);
    }
    GpdBuildOpenDescriptor((uint8_t *)descriptor, sid, sidLength);
    DbgPrint("GpdDev: open access: system, administrators%s\n", sidLength ? " and the access group" : "");
}

NTSTATUS GpdOpenAllowed(PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PIO_SECURITY_CONTEXT context = stack->Parameters.Create.SecurityContext;
    ACCESS_MASK granted = 0;
    NTSTATUS status = STATUS_ACCESS_DENIED;
    BOOLEAN allowed;
    if (irp->RequestorMode == KernelMode && (stack->Flags & SL_FORCE_ACCESS_CHECK) == 0) return STATUS_SUCCESS;
    /* NT's I/O manager hands every create the opener's security context in
     * its access state. Without one nothing says who opens: refused. */
    if (context == NULL || context->AccessState == NULL) return STATUS_ACCESS_DENIED;
    allowed = SeAccessCheck(descriptor, &context->AccessState->SubjectSecurityContext, FALSE, OPEN_RIGHTS, 0, NULL,
                            &fileMapping, UserMode, &granted, &status);
    if (!allowed || (granted & OPEN_RIGHTS) != OPEN_RIGHTS) return STATUS_ACCESS_DENIED;
    return STATUS_SUCCESS;
}
