// Giving a capability up for good once it has done its work: out of every
// set, the bounding set included (so a program the helper starts as root,
// modprobe, cannot get it back), with no-new-privileges set by the helper
// itself, whatever started it.
#pragma once

#include <string>

namespace vc::helper {

// Sets no-new-privileges; removes `capability` (a CAP_* number) from the
// bounding set, which takes CAP_SETPCAP, and then CAP_SETPCAP from it too;
// then both from the effective, permitted, inheritable and ambient sets.
// false with `why` when any step failed (the later ones are still done).
bool DropCapability(int capability, std::string& why);

// Whether `capability` is in the effective set now.
bool HoldsCapability(int capability);
// Whether `capability` is in the bounding set now.
bool BoundingHolds(int capability);
// Whether no-new-privileges is set.
bool NoNewPrivileges();

}  // namespace vc::helper
