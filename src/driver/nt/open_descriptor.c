#include "open_descriptor.h"

#define SELF_RELATIVE 0x8000
#define DACL_PRESENT 0x0004
#define ACCESS_ALLOWED_ACE 0
#define ACL_REVISION_2 2
#define ALL_FILE_RIGHTS 0x001F01FFu /* FILE_ALL_ACCESS */

static const uint8_t systemSid[12] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
static const uint8_t adminsSid[16] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};

static void Put16(uint8_t *at, uint32_t value)
{
    at[0] = (uint8_t)value;
    at[1] = (uint8_t)(value >> 8);
}

static void Put32(uint8_t *at, uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

size_t GpdSidLength(const uint8_t *sid, size_t size)
{
    size_t length;
    if (size < 8 || sid[0] != 1 || sid[1] == 0 || sid[1] > 15) return 0;
    length = 8 + 4 * (size_t)sid[1];
    return length <= size ? length : 0;
}

static size_t PutAce(uint8_t *at, const uint8_t *sid, size_t sidLength)
{
    size_t i;
    at[0] = ACCESS_ALLOWED_ACE;
    at[1] = 0; /* flags */
    Put16(at + 2, (uint32_t)(8 + sidLength));
    Put32(at + 4, ALL_FILE_RIGHTS);
    for (i = 0; i < sidLength; ++i) at[8 + i] = sid[i];
    return 8 + sidLength;
}

size_t GpdBuildOpenDescriptor(uint8_t *out, const uint8_t *groupSid, size_t groupLength)
{
    size_t at, acl, i, aces = 2;
    for (i = 0; i < GPD_DESCRIPTOR_MAX; ++i) out[i] = 0;
    out[0] = 1; /* revision */
    Put16(out + 2, SELF_RELATIVE | DACL_PRESENT);
    Put32(out + 4, 20); /* the owner follows the header */
    for (i = 0; i < sizeof adminsSid; ++i) out[20 + i] = adminsSid[i];
    Put32(out + 8, 20 + sizeof adminsSid); /* the group follows the owner */
    for (i = 0; i < sizeof systemSid; ++i) out[20 + sizeof adminsSid + i] = systemSid[i];
    acl = 20 + sizeof adminsSid + sizeof systemSid;
    Put32(out + 16, (uint32_t)acl);
    at = acl + 8;
    at += PutAce(out + at, systemSid, sizeof systemSid);
    at += PutAce(out + at, adminsSid, sizeof adminsSid);
    if (groupLength != 0 && GpdSidLength(groupSid, groupLength) == groupLength) {
        at += PutAce(out + at, groupSid, groupLength);
        ++aces;
    }
    out[acl] = ACL_REVISION_2;
    Put16(out + acl + 2, (uint32_t)(at - acl));
    Put16(out + acl + 4, (uint32_t)aces);
    return at;
}
