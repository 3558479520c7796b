/* open-descriptor-check.exe: the descriptor the NT port driver checks opens
 * against (src/driver/nt/open_descriptor.c), read back by the system's own
 * security calls: valid, self-relative, owner Administrators, group the
 * system, a DACL of the
 * system, Administrators and the group, each allowed full file access, and
 * an access check with this process's token granting what an open needs
 * (the check runs as an administrator). Wine implements these calls, so
 * this is the one part of who may open the device that can run here. One
 * line per check; exit 1 on any failure. */
#include <windows.h>
#include <stdio.h>

#include "driver/nt/open_descriptor.h"

static int failures;

static void Check(int ok, const char *what)
{
    printf("%s  %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failures;
}

static const BYTE systemSid[12] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
static const BYTE adminsSid[16] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
/* A local group's SID as an install would find it: S-1-5-21-1-2-3-1001. */
static const BYTE groupSid[28] = {1, 5, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0, 1, 0, 0, 0,
                                  2, 0, 0, 0, 3, 0, 0, 0, 0xE9, 3, 0, 0};

/* The ACE `index` of `acl` allows FILE_ALL_ACCESS to `sid`. */
static int AllowsAll(PACL acl, DWORD index, const BYTE *sid)
{
    ACCESS_ALLOWED_ACE *ace;
    if (!GetAce(acl, index, (void **)&ace)) return 0;
    return ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == FILE_ALL_ACCESS &&
           EqualSid((PSID)&ace->SidStart, (PSID)sid);
}

static void CheckDescriptor(const BYTE *groupSidOrNull, DWORD groupLength, const char *name)
{
    static DWORD storage[(GPD_DESCRIPTOR_MAX + 3) / 4];
    BYTE *sd = (BYTE *)storage;
    char what[160];
    size_t length = GpdBuildOpenDescriptor(sd, groupSidOrNull, groupLength);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0, granted = 0, privilegesLength = sizeof(PRIVILEGE_SET), aces = groupLength ? 3 : 2;
    BOOL present = FALSE, defaulted = FALSE, status = FALSE;
    PACL dacl = NULL;
    PSID owner = NULL, group = NULL;
    PRIVILEGE_SET privileges;
    HANDLE token = NULL;
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};

    snprintf(what, sizeof what, "%s: a valid descriptor of %u bytes", name, (unsigned)length);
    Check(IsValidSecurityDescriptor(sd) && GetSecurityDescriptorLength(sd) == length, what);
    snprintf(what, sizeof what, "%s: self-relative, owner Administrators, group the system", name);
    Check(GetSecurityDescriptorControl(sd, &control, &revision) && (control & SE_SELF_RELATIVE) &&
              GetSecurityDescriptorOwner(sd, &owner, &defaulted) && owner && EqualSid(owner, (PSID)adminsSid) &&
              GetSecurityDescriptorGroup(sd, &group, &defaulted) && group && EqualSid(group, (PSID)systemSid),
          what);
    snprintf(what, sizeof what, "%s: a DACL of %lu ACEs allowing full access to system, Administrators%s", name,
             aces, groupLength ? ", the access group" : "");
    Check(GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) && present && dacl && IsValidAcl(dacl) &&
              dacl->AceCount == aces && AllowsAll(dacl, 0, systemSid) && AllowsAll(dacl, 1, adminsSid) &&
              (!groupLength || AllowsAll(dacl, 2, groupSidOrNull)),
          what);
    snprintf(what, sizeof what, "%s: an administrator's token is granted read and write data", name);
    if (ImpersonateSelf(SecurityImpersonation) &&
        OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        Check(AccessCheck(sd, token, FILE_READ_DATA | FILE_WRITE_DATA, &mapping, &privileges, &privilegesLength,
                          &granted, &status) &&
                  status && (granted & (FILE_READ_DATA | FILE_WRITE_DATA)) == (FILE_READ_DATA | FILE_WRITE_DATA),
              what);
        CloseHandle(token);
    } else {
        Check(0, what);
    }
    RevertToSelf();
}

int main(void)
{
    BYTE bad[28];
    int i;
    CheckDescriptor(NULL, 0, "without the access group");
    CheckDescriptor(groupSid, sizeof groupSid, "with the access group");
    /* What the driver reads from the service key is not trusted: anything
     * but a whole SID leaves the group out. */
    for (i = 0; i < (int)sizeof bad; ++i) bad[i] = groupSid[i];
    bad[0] = 2;
    Check(GpdSidLength(bad, sizeof bad) == 0, "a SID of revision 2 is refused");
    bad[0] = 1;
    bad[1] = 16;
    Check(GpdSidLength(bad, sizeof bad) == 0, "a SID of 16 sub-authorities is refused");
    bad[1] = 5;
    Check(GpdSidLength(bad, sizeof bad - 1) == 0, "a SID longer than its value is refused");
    Check(GpdSidLength(groupSid, sizeof groupSid) == sizeof groupSid, "the group's SID is taken whole");
    printf("%d failed\n", failures);
    return failures ? 1 : 0;
}
