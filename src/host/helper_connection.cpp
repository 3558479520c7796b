#include "host/helper_connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/hw/driver_wire.h"

namespace vc::host {

std::string HelperSocketPath() {
    const char* chosen = std::getenv(kHelperSocketVariable);
    return chosen != nullptr && *chosen != '\0' ? chosen : kHelperSocketPath;
}

bool HelperSocketPresent(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

HelperConnection::~HelperConnection() { Close(); }

bool HelperConnection::Connect(const std::string& path, int timeoutMs) {
    Close();
    path_ = path;
    timeoutMs_ = timeoutMs;
    answered_ = false;
    connectError_ = 0;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        connectError_ = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        connectError_ = errno;
        return false;
    }
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        connectError_ = errno;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void HelperConnection::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool HelperConnection::SendAll(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) {
            peerClosed_ = sent < 0 && (errno == EPIPE || errno == ECONNRESET);
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(sent));
    }
    return true;
}

bool HelperConnection::ReceiveAll(std::span<uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t got = ::recv(fd_, bytes.data(), bytes.size(), 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {  // closed, or the time limit passed
            peerClosed_ = got == 0 || errno == ECONNRESET;
            return false;
        }
        received_ += static_cast<size_t>(got);
        bytes = bytes.subspan(static_cast<size_t>(got));
    }
    return true;
}

bool HelperConnection::ClosedByHelper() const {
    pollfd one{fd_, POLLIN, 0};
    if (::poll(&one, 1, 0) <= 0) return false;
    if ((one.revents & (POLLHUP | POLLERR)) != 0) return true;
    uint8_t byte = 0;
    return ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

bool HelperConnection::Exchange(const DeviceRequest& request) {
    refused_ = false;
    if (fd_ < 0) return false;
    if (ClosedByHelper() && !Connect(path_, timeoutMs_)) return false;
    peerClosed_ = false;
    WireRequest wire;
    wire.code = request.code;
    wire.input.assign(request.input.begin(), request.input.end());
    wire.outputLength = static_cast<uint32_t>(request.output.size());
    wire.referenced.assign(request.referenced.begin(), request.referenced.end());
    const auto frame = EncodeWireRequest(wire);
    if (!frame) return false;  // more than any request of the set carries

    std::array<uint8_t, kWireResponseHeaderSize> header{};
    bool ok = false;
    uint32_t length = 0;
    for (bool resent = false;; resent = true) {
        received_ = 0;
        if (SendAll(*frame) && ReceiveAll(header) && DecodeWireResponseHeader(header, wire.outputLength, ok, length)) {
            break;
        }
        // The helper closes a connection idle for its limit, and one it
        // reads nothing from is the only kind it closes unanswered: when it
        // did so just as this request went out, the request was never read,
        // so it goes once more on a new connection.
        const bool closedWhileIdle = peerClosed_ && answered_ && received_ == 0;
        refused_ = peerClosed_ && !answered_;
        Close();
        if (!closedWhileIdle || resent || !Connect(path_, timeoutMs_)) return false;
        peerClosed_ = false;
    }
    answered_ = true;
    std::vector<uint8_t> output(length);
    if (!ReceiveAll(output)) {
        Close();
        return false;
    }
    std::copy(output.begin(), output.end(), request.output.begin());
    return ok;
}

}  // namespace vc::host
