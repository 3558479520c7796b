// The load a member of the helper's group can put on velocore-driverd, for
// the VM check (never a part of the package):
//   socket-load hold SOCKET COUNT SECONDS
//       keeps COUNT connections open without a request, opening again
//       every one the helper closes; prints how many it held after the
//       first second and how often it had to reconnect;
//   socket-load flood SOCKET CONNECTIONS SECONDS
//       sends probe requests back to back on CONNECTIONS connections;
//   socket-load probe SOCKET
//       one probe request; prints whether it was answered and how long it
//       took in milliseconds;
//   socket-load keep SOCKET COUNT SECONDS
//       holds COUNT connections, each sending a probe every 3 s so that none
//       idles out; prints how many probes were answered and how many
//       connections the helper closed;
//   socket-load garbage SOCKET SECONDS
//       connects and sends a header whose input length is over the limit,
//       again and again; prints how many it sent;
//   socket-load storm SOCKET SECONDS
//       connects and closes at once, as fast as it can; prints how many;
//   socket-load late SOCKET MS
//       the program's own client: a probe, MS milliseconds of silence (the
//       helper's idle limit is 5 s), a second probe on the same connection;
//       prints whether the second was answered;
//   socket-load activate SOCKET MODE GID COMMAND...
//       what systemd does for the helper's socket unit: listens at SOCKET
//       (octal MODE, group GID) and runs COMMAND in its own process with
//       the socket as fd 3, LISTEN_PID and LISTEN_FDS=1; $LISTEN_BACKLOG,
//       when set, is the listen backlog (the unit's Backlog=).
#include <poll.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/little_endian.h"
#include "core/hw/driver_wire.h"
#include "core/hw/hw_driver.h"
#include "host/helper_connection.h"

namespace {

using Clock = std::chrono::steady_clock;

int Connect(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool Closed(int fd) {
    pollfd one{fd, POLLIN, 0};
    if (::poll(&one, 1, 0) <= 0) return false;
    char byte = 0;
    return (one.revents & (POLLHUP | POLLERR)) != 0 || ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0;
}

// One probe request and its whole answer; false when the helper closed.
bool Probe(int fd) {
    const auto frame = vc::EncodeWireRequest({vc::kReqProbe, {}, vc::kWireMaxOutput, {}});
    if (!frame || ::send(fd, frame->data(), frame->size(), MSG_NOSIGNAL) != static_cast<ssize_t>(frame->size())) {
        return false;
    }
    std::vector<uint8_t> header(vc::kWireResponseHeaderSize);
    size_t have = 0;
    while (have < header.size()) {
        const ssize_t got = ::recv(fd, header.data() + have, header.size() - have, 0);
        if (got <= 0) return false;
        have += static_cast<size_t>(got);
    }
    bool ok = false;
    uint32_t length = 0;
    if (!vc::DecodeWireResponseHeader(header, vc::kWireMaxOutput, ok, length)) return false;
    std::vector<uint8_t> output(length);
    for (have = 0; have < length;) {
        const ssize_t got = ::recv(fd, output.data() + have, length - have, 0);
        if (got <= 0) return false;
        have += static_cast<size_t>(got);
    }
    return ok;
}

int Hold(const std::string& path, int count, int seconds) {
    std::vector<int> fds(static_cast<size_t>(count), -1);
    long reconnects = 0;
    const auto start = Clock::now();
    bool reported = false;
    while (Clock::now() - start < std::chrono::seconds(seconds)) {
        for (int& fd : fds) {
            if (fd >= 0 && Closed(fd)) {
                ::close(fd);
                fd = -1;
            }
            if (fd < 0) {
                fd = Connect(path);
                ++reconnects;
            }
        }
        ::usleep(20'000);
        if (!reported && Clock::now() - start >= std::chrono::seconds(1)) {
            int open = 0;
            for (const int fd : fds) open += fd >= 0 && !Closed(fd) ? 1 : 0;
            std::printf("held=%d of %d\n", open, count);
            std::fflush(stdout);
            reported = true;
        }
    }
    std::printf("reconnects=%ld\n", reconnects - count);
    return 0;
}

int Flood(const std::string& path, int connections, int seconds) {
    std::vector<int> fds;
    for (int i = 0; i < connections; ++i) fds.push_back(Connect(path));
    long answered = 0;
    long failed = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(seconds)) {
        // All requests out first, then the answers: every connection has
        // one waiting whenever the helper looks.
        for (int& fd : fds) {
            if (fd < 0) fd = Connect(path);
        }
        for (int& fd : fds) {
            if (fd >= 0 && !Probe(fd)) {
                ::close(fd);
                fd = -1;
                ++failed;
            } else if (fd >= 0) {
                ++answered;
            }
        }
    }
    std::printf("answered=%ld failed=%ld\n", answered, failed);
    return 0;
}

int TimedProbe(const std::string& path) {
    const auto start = Clock::now();
    const int fd = Connect(path);
    const bool ok = fd >= 0 && Probe(fd);
    const auto ms = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count() / 1000.0;
    if (fd >= 0) ::close(fd);
    std::printf("probe=%s ms=%.1f\n", ok ? "answered" : "failed", ms);
    return ok ? 0 : 1;
}

int Keep(const std::string& path, int count, int seconds) {
    std::vector<int> fds(static_cast<size_t>(count), -1);
    long answered = 0;
    long closed = 0;
    const auto start = Clock::now();
    auto last = start - std::chrono::seconds(3);
    while (Clock::now() - start < std::chrono::seconds(seconds)) {
        for (int& fd : fds) {
            if (fd >= 0 && Closed(fd)) {
                ::close(fd);
                fd = -1;
                ++closed;
            }
            if (fd < 0) fd = Connect(path);
        }
        if (Clock::now() - last >= std::chrono::seconds(3)) {
            last = Clock::now();
            for (int& fd : fds) {
                if (fd >= 0 && Probe(fd)) ++answered;
            }
        }
        ::usleep(50'000);
    }
    std::printf("answered=%ld closed=%ld\n", answered, closed);
    return 0;
}

int Garbage(const std::string& path, int seconds) {
    uint8_t header[vc::kWireHeaderSize] = {};
    vc::PutLe32(header, 0, vc::kReqProbe);
    vc::PutLe32(header, 4, 0xFFFF'FFFF);  // input length over the limit
    long sent = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(seconds)) {
        const int fd = Connect(path);
        if (fd < 0) continue;
        if (::send(fd, header, sizeof header, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof header)) ++sent;
        char byte = 0;
        ::recv(fd, &byte, 1, 0);  // until the helper closes it
        ::close(fd);
    }
    std::printf("sent=%ld\n", sent);
    return 0;
}

int Storm(const std::string& path, int seconds) {
    long connects = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(seconds)) {
        const int fd = Connect(path);
        if (fd >= 0) {
            ++connects;
            ::close(fd);
        }
    }
    std::printf("connects=%ld\n", connects);
    return 0;
}

int Late(const std::string& path, int ms) {
    vc::host::HelperConnection connection;
    std::vector<uint8_t> output(vc::kWireMaxOutput);
    const vc::DeviceRequest probe{vc::kReqProbe, {}, output, {}};
    if (!connection.Connect(path) || !connection.Exchange(probe)) {
        std::printf("late=first-failed\n");
        return 1;
    }
    ::usleep(static_cast<useconds_t>(ms) * 1000);
    const bool ok = connection.Exchange(probe);
    std::printf("late=%s after=%d\n", ok ? "answered" : "failed", ms);
    return ok ? 0 : 1;
}

int Activate(const std::string& path, mode_t mode, gid_t gid, char** command) {
    // The socket unit's Backlog=, when the caller passes it on.
    const char* asked = std::getenv("LISTEN_BACKLOG");
    const int backlog = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : SOMAXCONN;
    ::unsetenv("LISTEN_BACKLOG");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return 2;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const mode_t previous = ::umask(0177);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(previous);
    if (!bound || ::chown(path.c_str(), 0, gid) != 0 || ::chmod(path.c_str(), mode) != 0 ||
        ::listen(fd, backlog) != 0 || ::dup2(fd, 3) != 3) {
        std::perror(path.c_str());
        return 1;
    }
    if (fd != 3) ::close(fd);
    ::setenv("LISTEN_PID", std::to_string(::getpid()).c_str(), 1);
    ::setenv("LISTEN_FDS", "1", 1);
    ::execv(command[0], command);
    std::perror(command[0]);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "hold" && argc == 5) return Hold(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "flood" && argc == 5) return Flood(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "probe" && argc == 3) return TimedProbe(argv[2]);
    if (mode == "keep" && argc == 5) return Keep(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "garbage" && argc == 4) return Garbage(argv[2], std::atoi(argv[3]));
    if (mode == "storm" && argc == 4) return Storm(argv[2], std::atoi(argv[3]));
    if (mode == "late" && argc == 4) return Late(argv[2], std::atoi(argv[3]));
    if (mode == "activate" && argc > 5) {
        return Activate(argv[2], static_cast<mode_t>(std::strtoul(argv[3], nullptr, 8)),
                        static_cast<gid_t>(std::strtoul(argv[4], nullptr, 10)), argv + 5);
    }
    std::fprintf(stderr,
                 "usage: socket-load hold|flood|keep SOCKET N SECONDS | probe SOCKET | garbage|storm SOCKET SECONDS |\n"
                 "       late SOCKET MS | activate SOCKET MODE GID COMMAND...\n");
    return 2;
}
