#include "helper/peer_access.h"

#include <sys/socket.h>

#include <cerrno>

#include <algorithm>
#include <charconv>
#include <fstream>

namespace vc::helper {

namespace {

std::optional<uint32_t> Number(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<gid_t> GroupId(const std::string& group, const std::string& groupFile) {
    if (const auto number = Number(group)) return static_cast<gid_t>(*number);
    std::ifstream in(groupFile);
    for (std::string line; std::getline(in, line);) {
        // name:password:gid:members
        const auto first = line.find(':');
        if (first == std::string::npos || line.compare(0, first, group) != 0 || first != group.size()) continue;
        const auto second = line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const auto third = line.find(':', second + 1);
        const auto gid = Number(std::string_view(line).substr(second + 1, third - second - 1));
        if (gid) return static_cast<gid_t>(*gid);
    }
    return std::nullopt;
}

std::optional<Peer> PeerOf(int socketFd) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 || length != sizeof credentials ||
        credentials.pid <= 0) {
        return std::nullopt;
    }
    Peer peer{credentials.pid, credentials.uid, credentials.gid, {}};
    // The kernel says how much room the list needs when it has more groups
    // than the first guess holds.
    std::vector<gid_t> groups(32);
    for (int attempt = 0; attempt < 2; ++attempt) {
        socklen_t bytes = static_cast<socklen_t>(groups.size() * sizeof(gid_t));
        if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &bytes) == 0) {
            groups.resize(bytes / sizeof(gid_t));
            peer.groups = std::move(groups);
            return peer;
        }
        if (errno != ERANGE) break;
        groups.resize(bytes / sizeof(gid_t) + 1);
    }
    // A kernel without the option (before 4.13): root and the primary
    // group still count.
    return peer;
}

bool PeerAllowed(const Peer& peer, std::optional<gid_t> group) {
    if (peer.uid == 0) return true;
    if (!group) return false;
    return peer.gid == *group || std::find(peer.groups.begin(), peer.groups.end(), *group) != peer.groups.end();
}

}  // namespace vc::helper
