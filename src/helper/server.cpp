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

#include "core/hw/driver_wire.h"
#include "helper/peer_access.h"

namespace vc::helper {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSystemdFirstFd = 3;
constexpr int kListenBacklog = 16;

bool SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

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
    if (!why.empty()) log_("uid=" + std::to_string(client.peer.uid) + " pid=" + std::to_string(client.peer.pid) + ": " + why);
    ::close(client.fd);
    client.fd = -1;
}

void Server::Accept() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) log_(Errno("accept"));
            return;
        }
        const auto peer = PeerOf(fd);
        if (!peer) {
            log_("refused a client whose credentials the kernel does not give");
            ::close(fd);
            continue;
        }
        if (!PeerAllowed(*peer, config_.group)) {
            log_("refused uid=" + std::to_string(peer->uid) + " gid=" + std::to_string(peer->gid) + " pid=" +
                 std::to_string(peer->pid) + ": neither root nor in the helper's group");
            ::close(fd);
            continue;
        }
        if (clients_.size() >= config_.maxClients) {
            log_("refused uid=" + std::to_string(peer->uid) + ": " + std::to_string(config_.maxClients) +
                 " clients are connected already");
            ::close(fd);
            continue;
        }
        Client client;
        client.fd = fd;
        client.peer = *peer;
        clients_.push_back(std::move(client));
    }
}

bool Server::Read(Client& client) {
    while (client.bytes.size() < client.Needed()) {
        const size_t have = client.bytes.size();
        client.bytes.resize(client.Needed());
        const ssize_t got = ::recv(client.fd, client.bytes.data() + have, client.bytes.size() - have, 0);
        if (got <= 0) {
            client.bytes.resize(have);
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
            if (have != 0) Close(client, "connection ended in the middle of a request");
            else Close(client, "");
            return false;
        }
        client.bytes.resize(have + static_cast<size_t>(got));
        if (have == 0) client.deadline = Clock::now() + config_.readTimeout;
        if (!client.haveHeader && client.bytes.size() == kWireHeaderSize) {
            std::string why;
            if (!DecodeWireRequestHeader(client.bytes, client.header, why)) {
                Close(client, "malformed request: " + why);
                return false;
            }
            client.haveHeader = true;
        }
    }
    return Answer(client);
}

bool Server::Answer(Client& client) {
    WireRequest request;
    request.code = client.header.code;
    request.outputLength = client.header.outputLength;
    const auto input = client.bytes.begin() + kWireHeaderSize;
    request.input.assign(input, input + client.header.inputLength);
    request.referenced.assign(input + client.header.inputLength, client.bytes.end());
    client.bytes.clear();
    client.haveHeader = false;

    WireResponse response = handler_.Handle(request, client.peer.uid);
    if (response.output.size() > request.outputLength) response.output.resize(request.outputLength);
    const auto frame = EncodeWireResponse(response);
    const ssize_t sent = ::send(client.fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent != static_cast<ssize_t>(frame.size())) {
        Close(client, "the answer could not be sent");
        return false;
    }
    return true;
}

bool Server::Run() {
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({wakeRead_, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        int timeoutMs = -1;
        const auto now = Clock::now();
        for (auto& c : clients_) {
            fds.push_back({c.fd, POLLIN, 0});
            if (!c.bytes.empty()) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c.deadline - now).count();
                const int ms = static_cast<int>(std::clamp<long long>(left + 1, 0, 60'000));
                timeoutMs = timeoutMs < 0 ? ms : std::min(timeoutMs, ms);
            }
        }
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0) {
            if (errno == EINTR) continue;
            log_(Errno("poll"));
            return false;
        }
        if (fds[0].revents != 0) return true;
        size_t index = 2;
        for (auto& c : clients_) {
            const short events = fds[index++].revents;
            if ((events & (POLLIN | POLLHUP | POLLERR)) != 0) Read(c);
        }
        const auto later = Clock::now();
        for (auto& c : clients_) {
            if (c.fd >= 0 && !c.bytes.empty() && later >= c.deadline) {
                Close(c, "request not complete within " + std::to_string(config_.readTimeout.count()) + " ms; closed");
            }
        }
        clients_.remove_if([](const Client& c) { return c.fd < 0; });
        if ((fds[1].revents & POLLIN) != 0) Accept();
    }
}

}  // namespace vc::helper
