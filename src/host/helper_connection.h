// One connection to the privileged helper that serves the driver's requests
// on Linux: a Unix stream socket, one request and its answer at a time.
// Every exchange has a time limit, so a helper that died or hangs fails the
// request instead of stalling the program.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/base/platform.h"

namespace vc::host {

// Where the helper listens: $VELOCORE_DRIVER_SOCKET, else the system socket.
inline constexpr const char* kHelperSocketVariable = "VELOCORE_DRIVER_SOCKET";
inline constexpr const char* kHelperSocketPath = "/run/velocore-driverd.sock";
inline constexpr int kHelperTimeoutMs = 5000;

std::string HelperSocketPath();
// Whether a socket exists at `path` (the helper is installed and enabled).
bool HelperSocketPresent(const std::string& path);

class HelperConnection {
public:
    HelperConnection() = default;
    ~HelperConnection();
    HelperConnection(const HelperConnection&) = delete;
    HelperConnection& operator=(const HelperConnection&) = delete;

    // false when nobody accepts at `path`; connectError() then says why.
    bool Connect(const std::string& path, int timeoutMs = kHelperTimeoutMs);
    int connectError() const { return connectError_; }
    void Close();
    bool connected() const { return fd_ >= 0; }

    // Sends the request and fills its output buffer from the answer. false
    // on a refused request and on any failure of the connection (which is
    // then closed: a dead helper fails every later request too). The helper
    // closes a connection that has been idle for a few seconds; one it
    // closed between two requests is opened again before the next, and a
    // request it closed unread (at that very moment) is sent once more.
    bool Exchange(const DeviceRequest& request);
    // Whether the last Exchange failed because the helper closed a fresh
    // connection before it answered anything: how it turns a caller away.
    bool refusedWithoutAnswer() const { return refused_; }

private:
    bool SendAll(std::span<const uint8_t> bytes);
    bool ReceiveAll(std::span<uint8_t> bytes);
    // Whether the helper has closed its end (nothing can be pending: every
    // answer was read whole).
    bool ClosedByHelper() const;

    int fd_ = -1;
    int connectError_ = 0;
    bool answered_ = false;    // an answer came on this connection
    bool peerClosed_ = false;  // the helper ended the connection under us
    bool refused_ = false;
    size_t received_ = 0;      // answer bytes to the request under way
    std::string path_;
    int timeoutMs_ = kHelperTimeoutMs;
};

}  // namespace vc::host
