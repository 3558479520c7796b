#include "helper/server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/hw/driver_wire.h"
#include "helper/peer_access.h"

namespace vc::helper {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSystemdFirstFd = 3;
// As the socket unit's Backlog=: behind a connect storm another client's
// connect waits for a few connections, not thousands.
constexpr int kListenBacklog = 64;
// The per-uid limit's key for lines no client's credentials name.
constexpr uid_t kUnknownUid = static_cast<uid_t>(-1);

bool SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

// Bytes wait on a connection about to be closed as idle: a request sent just
// at the limit is read rather than lost.
bool RequestArriving(int fd) {
    char byte = 0;
    return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

}  // namespace

int ListenOn(const std::string& path, std::optional<gid_t> group, std::string& why) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        why = "socket path too long or empty";
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            why = path + " exists and is no socket";
            return -1;
        }
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        why = Errno("socket");
        return -1;
    }
    // Nobody but the owner may connect until the mode and group are set.
    const mode_t previous = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(previous);
    if (!bound) {
        why = Errno("bind " + path);
        ::close(fd);
        return -1;
    }
    if ((group && ::chown(path.c_str(), 0, *group) != 0) || ::chmod(path.c_str(), 0660) != 0 ||
        ::listen(fd, kListenBacklog) != 0) {
        why = Errno(path);
        ::close(fd);
        ::unlink(path.c_str());
        return -1;
    }
    return fd;
}

int SystemdSocket(std::string& why) {
    const char* pid = std::getenv("LISTEN_PID");
    const char* fds = std::getenv("LISTEN_FDS");
    if (pid == nullptr || fds == nullptr) {
        why = "no socket given (--socket PATH, or socket activation)";
        return -1;
    }
    if (std::strtol(pid, nullptr, 10) != static_cast<long>(::getpid())) {
        why = "LISTEN_PID names another process";
        return -1;
    }
    if (std::strcmp(fds, "1") != 0) {
        why = std::string("LISTEN_FDS=") + fds + ", one socket expected";
        return -1;
    }
    ::unsetenv("LISTEN_PID");
    ::unsetenv("LISTEN_FDS");
    ::unsetenv("LISTEN_FDNAMES");
    int type = 0;
    socklen_t length = sizeof type;
    struct stat info {};
    if (::fstat(kSystemdFirstFd, &info) != 0 || !S_ISSOCK(info.st_mode) ||
        ::getsockopt(kSystemdFirstFd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM) {
        why = "fd 3 is no stream socket";
        return -1;
    }
    if (!SetNonBlocking(kSystemdFirstFd) || ::fcntl(kSystemdFirstFd, F_SETFD, FD_CLOEXEC) != 0) {
        why = Errno("fd 3");
        return -1;
    }
    return kSystemdFirstFd;
}

Server::Server(int listenFd, RequestHandler& handler, LogSink log, ServerConfig config)
    : listenFd_(listenFd), handler_(handler), log_(std::move(log)), config_(config) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = pipeFds[0];
        wakeWrite_ = pipeFds[1];
    }
}

Server::~Server() {
    for (auto& c : clients_) ::close(c.fd);
    if (listenFd_ >= 0) ::close(listenFd_);
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void Server::Stop() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
}

void Server::Close(Client& client, const std::string& why) {
    if (!why.empty()) {
        Refused(client.peer.uid, "uid=" + std::to_string(client.peer.uid) + " pid=" + std::to_string(client.peer.pid) +
                                     ": " + why);
    }
    ::close(client.fd);
    client.fd = -1;
}

void Server::Refused(uid_t uid, const std::string& line) {
    if (config_.refusals != nullptr) {
        config_.refusals->Refused(uid, line);
    } else {
        log_(line);
    }
}

size_t Server::Connections(uid_t uid) const {
    return static_cast<size_t>(
        std::count_if(clients_.begin(), clients_.end(), [uid](const Client& c) { return c.fd >= 0 && c.peer.uid == uid; }));
}

size_t Server::MemberConnections() const {
    return static_cast<size_t>(
        std::count_if(clients_.begin(), clients_.end(), [](const Client& c) { return c.fd >= 0 && c.peer.uid != 0; }));
}

Server::Client* Server::LongestIdle(uid_t uid) {
    Client* idlest = nullptr;
    for (auto& c : clients_) {
        if (c.fd < 0 || c.peer.uid != uid || !c.bytes.empty() || c.complete) continue;
        if (idlest == nullptr || c.idleSince < idlest->idleSince) idlest = &c;
    }
    return idlest;
}

std::string Server::MakeRoomForMember(uid_t uid) {
    const size_t own = Connections(uid);
    if (own >= config_.maxPerUid) {
        return "this uid holds " + std::to_string(own) + " connections already (" +
               std::to_string(config_.maxPerUid) + " at most)";
    }
    if (MemberConnections() < config_.maxClients) return {};
    // Every slot is taken: the uid holding the most gives up its connection
    // idle the longest, when it holds more than this one would.
    std::map<uid_t, size_t> held;
    for (const auto& c : clients_) {
        if (c.fd >= 0 && c.peer.uid != 0) ++held[c.peer.uid];
    }
    uid_t most = uid;
    size_t mostHeld = own;
    for (const auto& [other, count] : held) {
        if (count > mostHeld) {
            most = other;
            mostHeld = count;
        }
    }
    // A uid holding none always gets one; otherwise only from a uid that
    // would still hold more than this one afterwards.
    if (most != uid && (own == 0 || mostHeld > own + 1)) {
        if (Client* idlest = LongestIdle(most)) {
            Close(*idlest, "closed, its longest-idle connection, for uid " + std::to_string(uid) + " (holding " +
                               std::to_string(own) + "): all " + std::to_string(config_.maxClients) +
                               " member slots were taken, " + std::to_string(mostHeld) + " by this uid");
            return {};
        }
    }
    return "all " + std::to_string(config_.maxClients) + " member slots are taken, and no uid holds more than " +
           std::to_string(own + 1) + " with one idle";
}

void Server::Accept() {
    for (size_t accepted = 0; accepted < config_.acceptsPerRound; ++accepted) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors under a connect storm: limited like the
            // storm's own lines, under no uid.
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) Refused(kUnknownUid, Errno("accept"));
            return;
        }
        const auto peer = PeerOf(fd);
        if (!peer) {
            Refused(kUnknownUid, "refused a client whose credentials the kernel does not give");
            ::close(fd);
            continue;
        }
        const std::string who = "refused uid=" + std::to_string(peer->uid);
        if (!PeerAllowed(*peer, config_.group)) {
            Refused(peer->uid, who + " gid=" + std::to_string(peer->gid) + " pid=" + std::to_string(peer->pid) +
                                   ": neither root nor in the helper's group");
            ::close(fd);
            continue;
        }
        std::string full;
        if (peer->uid == 0) {
            const size_t own = Connections(0);
            if (own >= config_.rootSlots) full = std::to_string(own) + " root connections are open already";
        } else {
            full = MakeRoomForMember(peer->uid);
        }
        if (!full.empty()) {
            Refused(peer->uid, who + " pid=" + std::to_string(peer->pid) + ": " + full);
            ::close(fd);
            continue;
        }
        Client client;
        client.fd = fd;
        client.peer = *peer;
        client.idleSince = Clock::now();
        client.idleUntil = client.idleSince + config_.idleTimeout;
        clients_.push_back(std::move(client));
    }
}

void Server::Read(Client& client) {
    while (client.bytes.size() < client.Needed()) {
        const size_t have = client.bytes.size();
        client.bytes.resize(client.Needed());
        const ssize_t got = ::recv(client.fd, client.bytes.data() + have, client.bytes.size() - have, 0);
        if (got <= 0) {
            client.bytes.resize(have);
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
            if (have != 0) Close(client, "connection ended in the middle of a request");
            else Close(client, "");
            return;
        }
        client.bytes.resize(have + static_cast<size_t>(got));
        if (have == 0) client.deadline = Clock::now() + config_.readTimeout;
        if (!client.haveHeader && client.bytes.size() == kWireHeaderSize) {
            std::string why;
            if (!DecodeWireRequestHeader(client.bytes, client.header, why)) {
                Close(client, "malformed request: " + why);
                return;
            }
            client.haveHeader = true;
        }
    }
    client.complete = true;
}

void Server::Answer(Client& client) {
    WireRequest request;
    request.code = client.header.code;
    request.outputLength = client.header.outputLength;
    const auto input = client.bytes.begin() + kWireHeaderSize;
    request.input.assign(input, input + client.header.inputLength);
    request.referenced.assign(input + client.header.inputLength, client.bytes.end());
    client.bytes.clear();
    client.haveHeader = false;
    client.complete = false;
    client.lastServed = round_;

    WireResponse response = handler_.Handle(request, client.peer.uid);
    if (response.output.size() > request.outputLength) response.output.resize(request.outputLength);
    const auto frame = EncodeWireResponse(response);
    const ssize_t sent = ::send(client.fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent != static_cast<ssize_t>(frame.size())) {
        Close(client, "the answer could not be sent");
        return;
    }
    client.idleSince = Clock::now();
    client.idleUntil = client.idleSince + config_.idleTimeout;
}

void Server::ServeRound() {
    ++round_;
    std::map<uid_t, Client*> next;
    for (auto& c : clients_) {
        if (c.fd < 0 || !c.complete) continue;
        Client*& chosen = next[c.peer.uid];
        if (chosen == nullptr || c.lastServed < chosen->lastServed) chosen = &c;
    }
    for (auto& [uid, client] : next) Answer(*client);
}

void Server::CloseExpired() {
    const auto now = Clock::now();
    for (auto& c : clients_) {
        if (c.fd < 0 || c.complete) continue;
        if (!c.bytes.empty() && now >= c.deadline) {
            Close(c, "request not complete within " + std::to_string(config_.readTimeout.count()) + " ms; closed");
        } else if (c.bytes.empty() && now >= c.idleUntil && !RequestArriving(c.fd)) {
            Close(c, "no request for " + std::to_string(config_.idleTimeout.count()) + " ms; closed");
        }
    }
}

int Server::PollTimeoutMs() const {
    const auto now = Clock::now();
    long long soonest = -1;
    for (const auto& c : clients_) {
        if (c.complete) return 0;  // answered in the next round
        const auto when = c.bytes.empty() ? c.idleUntil : c.deadline;
        const long long left = std::chrono::duration_cast<std::chrono::milliseconds>(when - now).count() + 1;
        soonest = soonest < 0 ? left : std::min(soonest, left);
    }
    if (config_.refusals != nullptr) soonest = soonest < 0 ? 1000 : std::min<long long>(soonest, 1000);
    return soonest < 0 ? -1 : static_cast<int>(std::clamp<long long>(soonest, 0, 60'000));
}

bool Server::Run() {
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({wakeRead_, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        // A connection whose request waits for its turn is not read further.
        for (auto& c : clients_) fds.push_back({c.fd, static_cast<short>(c.complete ? 0 : POLLIN), 0});
        if (::poll(fds.data(), fds.size(), PollTimeoutMs()) < 0) {
            if (errno == EINTR) continue;
            log_(Errno("poll"));
            return false;
        }
        if (fds[0].revents != 0) return true;
        size_t index = 2;
        for (auto& c : clients_) {
            const short events = fds[index++].revents;
            if (c.complete) {
                // Gone while waiting: its request is not served.
                if ((events & (POLLHUP | POLLERR)) != 0) Close(c, "");
            } else if ((events & (POLLIN | POLLHUP | POLLERR)) != 0) {
                Read(c);
            }
        }
        ServeRound();
        CloseExpired();
        clients_.remove_if([](const Client& c) { return c.fd < 0; });
        if ((fds[1].revents & POLLIN) != 0) Accept();
        if (config_.refusals != nullptr) config_.refusals->Flush();
    }
}

}  // namespace vc::helper
