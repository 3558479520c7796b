// Giving a capability up for good once it has done its work. Without
// CAP_SETPCAP the bounding set cannot shrink, so a program the helper
// starts (modprobe) could get the capability back as root; the unit's
// NoNewPrivileges keeps it out: a child gets no more than the helper holds.
#pragma once

#include <string>

namespace vc::helper {

// Removes `capability` (a CAP_* number) from the effective, permitted,
// inheritable and ambient sets, and from the bounding set where allowed.
bool DropCapability(int capability, std::string& why);

// Whether `capability` is in the effective set now.
bool HoldsCapability(int capability);

}  // namespace vc::helper
