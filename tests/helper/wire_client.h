// A client of the helper's socket for the tests: whole frames out, whole
// answers in, and a way to tell that the helper closed the connection.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/hw/driver_wire.h"

namespace vc::helper::test {

// A connected socket to `path`, or -1; reads give up after `timeoutMs`.
inline int ConnectTo(const std::string& path, int timeoutMs = 3000) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class WireClient {
public:
    explicit WireClient(const std::string& path, int timeoutMs = 3000) : fd_(ConnectTo(path, timeoutMs)) {}
    ~WireClient() {
        if (fd_ >= 0) ::close(fd_);
    }
    WireClient(const WireClient&) = delete;
    WireClient& operator=(const WireClient&) = delete;

    bool connected() const { return fd_ >= 0; }

    bool Send(std::span<const uint8_t> bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }

    // The answer; nothing when the connection ended or nothing came in time.
    std::optional<WireResponse> Receive(uint32_t asked) {
        std::vector<uint8_t> header(kWireResponseHeaderSize);
        if (!ReceiveAll(header)) return std::nullopt;
        bool ok = false;
        uint32_t length = 0;
        if (!DecodeWireResponseHeader(header, asked, ok, length)) return std::nullopt;
        WireResponse response{ok, std::vector<uint8_t>(length)};
        if (!ReceiveAll(response.output)) return std::nullopt;
        return response;
    }

    std::optional<WireResponse> Exchange(const WireRequest& request) {
        const auto frame = EncodeWireRequest(request);
        if (!frame || !Send(*frame)) return std::nullopt;
        return Receive(request.outputLength);
    }

    // Whether the helper has closed the connection (within the timeout).
    bool ClosedByHelper() {
        uint8_t byte = 0;
        const ssize_t got = ::recv(fd_, &byte, 1, 0);
        return got == 0 || (got < 0 && errno == ECONNRESET);
    }

private:
    bool ReceiveAll(std::span<uint8_t> bytes) {
        while (!bytes.empty()) {
            const ssize_t got = ::recv(fd_, bytes.data(), bytes.size(), 0);
            if (got <= 0) return false;
            bytes = bytes.subspan(static_cast<size_t>(got));
        }
        return true;
    }

    int fd_;
};

}  // namespace vc::helper::test
