// The helper's socket: one thread polls the listening socket and every
// client. Only root and the configured group get past accept; a request has
// to arrive whole within the read timeout once it has begun, so a stalled
// client holds up the others for that long at most; a frame whose header
// does not decode (a length over its limit) closes the connection.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "core/hw/driver_wire.h"
#include "helper/log.h"
#include "helper/peer_access.h"
#include "helper/request_handler.h"

namespace vc::helper {

struct ServerConfig {
    std::optional<gid_t> group;  // who besides root may talk
    std::chrono::milliseconds readTimeout{2000};
    size_t maxClients = 16;
};

// A listening socket at `path` (a stale socket there is replaced, any other
// file is not), mode 0660, group `group`. -1 with `why` on failure.
int ListenOn(const std::string& path, std::optional<gid_t> group, std::string& why);

// The socket systemd passed (LISTEN_PID is ours, LISTEN_FDS=1: fd 3).
int SystemdSocket(std::string& why);

class Server {
public:
    // Takes `listenFd` over.
    Server(int listenFd, RequestHandler& handler, LogSink log, ServerConfig config);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Serves until Stop(); false when polling failed.
    bool Run();
    // Safe from a signal handler and from another thread.
    void Stop();

private:
    struct Client {
        int fd = -1;
        Peer peer;
        std::vector<uint8_t> bytes;  // the request so far
        WireRequestHeader header;
        bool haveHeader = false;
        std::chrono::steady_clock::time_point deadline;  // when a begun request must be complete

        size_t Needed() const {
            return kWireHeaderSize + (haveHeader ? header.inputLength + header.referencedLength : 0);
        }
    };

    void Accept();
    // false: the connection is done with.
    bool Read(Client& client);
    bool Answer(Client& client);
    void Close(Client& client, const std::string& why);

    int listenFd_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    RequestHandler& handler_;
    LogSink log_;
    ServerConfig config_;
    std::list<Client> clients_;
};

}  // namespace vc::helper
