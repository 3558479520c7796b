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
    CapabilitySets sets;
    if (!Get(sets)) {
        why = std::string("capget: ") + std::strerror(errno);
        return false;
    }
    const unsigned word = static_cast<unsigned>(capability) / 32;
    const uint32_t bit = 1u << (static_cast<unsigned>(capability) % 32);
    sets.data[word].effective &= ~bit;
    sets.data[word].permitted &= ~bit;
    sets.data[word].inheritable &= ~bit;
    if (::syscall(SYS_capset, &sets.header, sets.data) != 0) {
        why = std::string("capset: ") + std::strerror(errno);
        return false;
    }
    // Both may fail harmlessly: ambient needs a kernel from 4.3, the
    // bounding set CAP_SETPCAP.
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_LOWER, capability, 0, 0);
    ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    return true;
}

bool HoldsCapability(int capability) {
    CapabilitySets sets;
    if (capability < 0 || capability > CAP_LAST_CAP || !Get(sets)) return false;
    return (sets.data[static_cast<unsigned>(capability) / 32].effective &
            (1u << (static_cast<unsigned>(capability) % 32))) != 0;
}

}  // namespace vc::helper
