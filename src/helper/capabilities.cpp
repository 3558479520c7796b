#include "helper/capabilities.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vc::helper {

namespace {

struct CapabilitySets {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
};

bool Get(CapabilitySets& sets) { return ::syscall(SYS_capget, &sets.header, sets.data) == 0; }

}  // namespace

bool DropCapability(int capability, std::string& why) {
    if (capability < 0 || capability > CAP_LAST_CAP) {
        why = "no such capability";
        return false;
    }
    bool ok = true;
    const auto failed = [&](const std::string& what) {
        if (ok) why = what + ": " + std::strerror(errno);
        ok = false;
    };
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) failed("no-new-privileges");
    // CAP_SETPCAP shrinks the bounding set, and goes last.
    for (const int bounded : {capability, CAP_SETPCAP}) {
        if (::prctl(PR_CAPBSET_READ, bounded, 0, 0, 0) == 1 && ::prctl(PR_CAPBSET_DROP, bounded, 0, 0, 0) != 0) {
            failed("dropping it from the bounding set");
        }
    }
    CapabilitySets sets;
    if (!Get(sets)) {
        failed("capget");
        return false;
    }
    for (const int dropped : {capability, CAP_SETPCAP}) {
        const unsigned word = static_cast<unsigned>(dropped) / 32;
        const uint32_t bit = 1u << (static_cast<unsigned>(dropped) % 32);
        sets.data[word].effective &= ~bit;
        sets.data[word].permitted &= ~bit;
        sets.data[word].inheritable &= ~bit;
        // Ambient needs a kernel from 4.3; there it is empty anyway.
        ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_LOWER, dropped, 0, 0);
    }
    if (::syscall(SYS_capset, &sets.header, sets.data) != 0) failed("capset");
    return ok;
}

bool HoldsCapability(int capability) {
    CapabilitySets sets;
    if (capability < 0 || capability > CAP_LAST_CAP || !Get(sets)) return false;
    return (sets.data[static_cast<unsigned>(capability) / 32].effective &
            (1u << (static_cast<unsigned>(capability) % 32))) != 0;
}

}  // namespace vc::helper

namespace vc::helper {

bool BoundingHolds(int capability) { return ::prctl(PR_CAPBSET_READ, capability, 0, 0, 0) == 1; }

bool NoNewPrivileges() { return ::prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0) == 1; }

}  // namespace vc::helper
