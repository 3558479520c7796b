// The helper's socket: one thread polls the listening socket and every
// client. Only root and the configured group get past accept. Nobody can
// shut the others out:
// - a request has to arrive whole within the read timeout once it has
//   begun, and a connection without a request begun is closed after the
//   idle timeout;
// - one uid holds at most a few connections, and root has slots of its own
//   that no member can take;
// - when every member slot is taken, a uid holding fewer than the uid that
//   holds the most gets that uid's longest-idle connection: a few uids
//   together cannot keep another out;
// - each round answers at most one waiting request per uid, so a uid that
//   floods delays another uid's request by one of its own at most, and the
//   requests waiting are answered before a bounded number of new
//   connections is accepted;
// - a frame whose header does not decode (a length over its limit) closes
//   the connection;
// - every line a client can cause goes through the per-uid limit.
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
#include "helper/refusal_log.h"
#include "helper/request_handler.h"

namespace vc::helper {

struct ServerConfig {
    std::optional<gid_t> group;  // who besides root may talk
    std::chrono::milliseconds readTimeout{2000};
    std::chrono::milliseconds idleTimeout{5000};
    size_t maxClients = 64;      // connections of all members together
    size_t maxPerUid = 4;        // connections of one member
    size_t rootSlots = 8;        // root's own, beyond maxClients
    size_t acceptsPerRound = 16; // so a connect storm cannot keep the loop from serving
    RefusalLog* refusals = nullptr;  // client-caused lines limited per uid; none: all logged
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
        bool complete = false;  // a whole request waits for its turn
        std::chrono::steady_clock::time_point deadline;  // when a begun request must be complete
        std::chrono::steady_clock::time_point idleUntil; // when a connection without a request is closed
        std::chrono::steady_clock::time_point idleSince; // connected, or last answered
        uint64_t lastServed = 0;                          // the round it was last answered in

        size_t Needed() const {
            return kWireHeaderSize + (haveHeader ? header.inputLength + header.referencedLength : 0);
        }
    };

    void Accept();
    // Takes what the client sent, up to one whole request.
    void Read(Client& client);
    // One waiting request per uid, the longest-waiting connection of each.
    void ServeRound();
    void Answer(Client& client);
    void CloseExpired();
    void Close(Client& client, const std::string& why);
    // A line a client caused: limited per uid.
    void Refused(uid_t uid, const std::string& line);
    size_t Connections(uid_t uid) const;
    size_t MemberConnections() const;
    // Why a member may not have one more connection now; empty when it may
    // (a connection of the uid holding the most may have been closed for it).
    std::string MakeRoomForMember(uid_t uid);
    Client* LongestIdle(uid_t uid);
    int PollTimeoutMs() const;

    int listenFd_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    RequestHandler& handler_;
    LogSink log_;
    ServerConfig config_;
    std::list<Client> clients_;
    uint64_t round_ = 0;
};

}  // namespace vc::helper
