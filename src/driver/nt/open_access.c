/* The check at IRP_MJ_CREATE. NT 4's DDK has no call that puts a security
 * descriptor on a device object (IoCreateDeviceSecure came with later
 * systems), but the create dispatch sees the opener's security context,
 * and SeAccessCheck is in NT 4's kernel: so the driver keeps its own
 * descriptor and checks every open from user mode against it. The
 * descriptor is written here byte by byte in the self-relative layout, so
 * nothing is allocated and no Rtl security helper outside NT 4's DDK is
 * needed. */
#include "open_access.h"

#define SE_SELF_RELATIVE_FLAG 0x8000
#define SE_DACL_PRESENT_FLAG 0x0004
#define ALLOWED_ACE 0
#define ACL_REVISION_2 2
#define SID_MAX_SUBAUTHORITIES 15
/* What every allowed opener gets, and what an open must be granted: the
 * requests are FILE_ANY_ACCESS, so the check decides who, not what. */
#define OPEN_RIGHTS (FILE_READ_DATA | FILE_WRITE_DATA)

/* S-1-5-18 (the local system) and S-1-5-32-544 (Administrators). */
static const UCHAR systemSid[12] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
static const UCHAR adminsSid[16] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};

/* Header 20, owner 16, ACL 8, three ACEs of 8 + SID. */
static ULONG descriptor[(20 + 16 + 8 + 3 * 8 + 12 + 16 + 8 + 4 * SID_MAX_SUBAUTHORITIES) / 4];

static void Put16(UCHAR *at, ULONG value)
{
    at[0] = (UCHAR)value;
    at[1] = (UCHAR)(value >> 8);
}

static void Put32(UCHAR *at, ULONG value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

/* The length of the SID at `sid` (`size` bytes there), or 0 when it is
 * not one: revision 1, 1..15 sub-authorities, all of it inside. */
static ULONG SidLength(const UCHAR *sid, ULONG size)
{
    ULONG length;
    if (size < 8 || sid[0] != 1 || sid[1] == 0 || sid[1] > SID_MAX_SUBAUTHORITIES) return 0;
    length = 8 + 4 * (ULONG)sid[1];
    return length <= size ? length : 0;
}

static ULONG PutAce(UCHAR *at, const UCHAR *sid, ULONG sidLength)
{
    ULONG i;
    at[0] = ALLOWED_ACE;
    at[1] = 0;
    Put16(at + 2, 8 + sidLength);
    Put32(at + 4, FILE_ALL_ACCESS);
    for (i = 0; i < sidLength; ++i) at[8 + i] = sid[i];
    return 8 + sidLength;
}

/* The descriptor: owner Administrators, no group, no SACL, a DACL
 * allowing the system, Administrators and (when given) the group. */
static void BuildDescriptor(const UCHAR *groupSid, ULONG groupLength)
{
    UCHAR *d = (UCHAR *)descriptor;
    ULONG at, acl, i, aces = 2;
    for (i = 0; i < sizeof descriptor; ++i) d[i] = 0;
    d[0] = 1; /* revision */
    Put16(d + 2, SE_SELF_RELATIVE_FLAG | SE_DACL_PRESENT_FLAG);
    Put32(d + 4, 20); /* owner */
    for (i = 0; i < sizeof adminsSid; ++i) d[20 + i] = adminsSid[i];
    acl = 20 + sizeof adminsSid;
    Put32(d + 16, acl);
    at = acl + 8;
    at += PutAce(d + at, systemSid, sizeof systemSid);
    at += PutAce(d + at, adminsSid, sizeof adminsSid);
    if (groupLength != 0) {
        at += PutAce(d + at, groupSid, groupLength);
        ++aces;
    }
    d[acl] = ACL_REVISION_2;
    Put16(d + acl + 2, at - acl);
    Put16(d + acl + 4, aces);
}

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
    ULONG buffer[(12 + 8 + 4 * SID_MAX_SUBAUTHORITIES) / 4 + 1];
    PKEY_VALUE_PARTIAL_INFORMATION value = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    ULONG type = 0, length, sidLength = 0;
    UCHAR sid[8 + 4 * SID_MAX_SUBAUTHORITIES];
    InitializeObjectAttributes(&attributes, (PUNICODE_STRING)registryPath, OBJ_CASE_INSENSITIVE, NULL, NULL);
    if (NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes))) {
        length = QueryValue(key, L"AccessGroupSid", value, sizeof buffer, &type);
        if (type == REG_BINARY && SidLength(value->Data, length) == length) {
            sidLength = length;
            RtlCopyMemory(sid, value->Data, length);
        }
        ZwClose(key);
    }
    BuildDescriptor(sid, sidLength);
    DbgPrint("GpdDev: open access: system, administrators%s\n", sidLength ? " and the access group" : "");
}

NTSTATUS GpdOpenAllowed(PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    PIO_SECURITY_CONTEXT context = stack->Parameters.Create.SecurityContext;
    ACCESS_MASK granted = 0;
    NTSTATUS status = STATUS_ACCESS_DENIED;
    BOOLEAN allowed;
    if (irp->RequestorMode == KernelMode) return STATUS_SUCCESS;
    /* NT's I/O manager hands every create the opener's security context in
     * its access state. Without one nothing says who opens: refused. */
    if (context == NULL || context->AccessState == NULL) return STATUS_ACCESS_DENIED;
    allowed = SeAccessCheck(descriptor, &context->AccessState->SubjectSecurityContext, FALSE, OPEN_RIGHTS, 0, NULL,
                            IoGetFileObjectGenericMapping(), UserMode, &granted, &status);
    if (!allowed || (granted & OPEN_RIGHTS) != OPEN_RIGHTS) return STATUS_ACCESS_DENIED;
    return STATUS_SUCCESS;
}
