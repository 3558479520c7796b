/* The security descriptor the driver checks opens against, written byte by
 * byte in the self-relative layout (nothing allocated, no Rtl security
 * helper needed): owner Administrators, primary group the local system (the
 * system's access checks refuse a descriptor without owner or group), no
 * SACL, a DACL allowing
 * full access to the local system (S-1-5-18), Administrators (S-1-5-32-544)
 * and, when given, the installation's access group. Plain C types only: the
 * kernel driver and a user-mode check (tests/driver/nt) build it alike. */
#ifndef VC_OPEN_DESCRIPTOR_H
#define VC_OPEN_DESCRIPTOR_H

#include <stddef.h>
#include <stdint.h>

/* A SID of 15 sub-authorities, the most there are. */
#define GPD_SID_MAX (8 + 4 * 15)
/* Header 20, owner 16, group 12, ACL header 8, three ACEs (8 each) with
 * their SIDs. */
#define GPD_DESCRIPTOR_MAX (20 + 16 + 12 + 8 + 3 * 8 + 12 + 16 + GPD_SID_MAX)

#ifdef __cplusplus
extern "C" {
#endif

/* The length of the SID at `sid` (`size` bytes there), or 0 when it is not
 * one: revision 1, 1..15 sub-authorities, all of it inside. */
size_t GpdSidLength(const uint8_t *sid, size_t size);

/* Writes the descriptor into `out` (GPD_DESCRIPTOR_MAX bytes, 4-aligned),
 * with `groupSid` (`groupLength` bytes, a valid SID) or without a group
 * (groupLength 0): its length. */
size_t GpdBuildOpenDescriptor(uint8_t *out, const uint8_t *groupSid, size_t groupLength);

#ifdef __cplusplus
}
#endif

#endif
