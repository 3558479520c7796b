// Who may talk to the helper: root, and members of one group (primary or
// supplementary). Everything comes from the socket as the kernel recorded
// it at connect (SO_PEERCRED: uid, gid and pid; SO_PEERGROUPS: the
// supplementary groups), never from /proc, where a reused pid could speak
// for a process that is gone.
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

// The connected peer of a Unix socket, supplementary groups included;
// nothing when the kernel does not say.
std::optional<Peer> PeerOf(int socketFd);

bool PeerAllowed(const Peer& peer, std::optional<gid_t> group);

}  // namespace vc::helper
