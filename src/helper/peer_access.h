// Who may talk to the helper: root, and members of one group (primary or
// supplementary). The peer's credentials come from the socket
// (SO_PEERCRED: uid, gid and pid as they were at connect), its
// supplementary groups from /proc/PID/status.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace vc::helper {

struct Peer {
    pid_t pid = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    std::vector<gid_t> groups;  // supplementary
};

// The gid of `group`, a name in `groupFile` (the /etc/group format) or a
// number. Read here rather than through NSS so that a static build needs
// no shared libraries at run time.
std::optional<gid_t> GroupId(const std::string& group, const std::string& groupFile = "/etc/group");

// The supplementary groups of a /proc/PID/status text ("Groups:" line).
std::vector<gid_t> StatusGroups(const std::string& statusText);

// The connected peer of a Unix socket, supplementary groups included;
// nothing when the kernel does not say.
std::optional<Peer> PeerOf(int socketFd, const std::string& procRoot = "/proc");

bool PeerAllowed(const Peer& peer, std::optional<gid_t> group);

}  // namespace vc::helper
