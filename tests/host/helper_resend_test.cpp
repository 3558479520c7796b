// The client and a helper that closes an idle connection just as a request
// arrives: the request it never read goes once more on a new connection;
// a connection closed before any answer is a refusal and is not retried.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "core/hw/driver_wire.h"
#include "core/hw/hw_driver.h"
#include "host/helper_connection.h"

namespace vc::host {
namespace {

class ScriptedHelper {
public:
    ScriptedHelper() {
        char folder[] = "/tmp/vc-resend-XXXXXX";
        dir_ = ::mkdtemp(folder);
        path = dir_ + "/helper.sock";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ok = ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
             ::listen(listenFd_, 8) == 0;
    }
    ~ScriptedHelper() {
        if (thread_.joinable()) thread_.join();
        ::close(listenFd_);
        ::unlink(path.c_str());
        ::rmdir(dir_.c_str());
    }
    // Serves `script`: for each connection, how many requests it answers
    // before it closes the next one unread.
    void Run(std::vector<int> script) {
        thread_ = std::thread([this, script] {
            for (const int answers : script) {
                const int fd = ::accept(listenFd_, nullptr, nullptr);
                if (fd < 0) return;
                ++accepted;
                for (int i = 0; i < answers; ++i) {
                    uint8_t header[kWireHeaderSize];
                    if (::recv(fd, header, sizeof header, MSG_WAITALL) != static_cast<ssize_t>(sizeof header)) break;
                    const auto frame = EncodeWireResponse({true, {}});
                    ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
                }
                pollfd one{fd, POLLIN, 0};
                ::poll(&one, 1, 3000);  // the next request has arrived: closed unread
                ::close(fd);
            }
        });
    }
    bool ok = false;
    std::string path;
    std::atomic<int> accepted{0};

private:
    std::string dir_;
    int listenFd_ = -1;
    std::thread thread_;
};

bool Probe(HelperConnection& connection) {
    return connection.Exchange({kReqProbe, {}, {}, {}});
}

TEST(HelperResend, ARequestClosedUnreadAfterAnAnswerGoesOnceMore) {
    ScriptedHelper helper;
    ASSERT_TRUE(helper.ok);
    helper.Run({1, 1});
    HelperConnection connection;
    ASSERT_TRUE(connection.Connect(helper.path));
    ASSERT_TRUE(Probe(connection));
    EXPECT_TRUE(Probe(connection));
    EXPECT_EQ(helper.accepted, 2);
}

TEST(HelperResend, OnlyOnceAndNeverOnAConnectionThatNeverAnswered) {
    ScriptedHelper twice;
    ASSERT_TRUE(twice.ok);
    twice.Run({1, 0});
    HelperConnection connection;
    ASSERT_TRUE(connection.Connect(twice.path));
    ASSERT_TRUE(Probe(connection));
    EXPECT_FALSE(Probe(connection));
    EXPECT_TRUE(connection.refusedWithoutAnswer());
    EXPECT_EQ(twice.accepted, 2);

    ScriptedHelper refusing;
    ASSERT_TRUE(refusing.ok);
    refusing.Run({0});
    HelperConnection turnedAway;
    ASSERT_TRUE(turnedAway.Connect(refusing.path));
    EXPECT_FALSE(Probe(turnedAway));
    EXPECT_TRUE(turnedAway.refusedWithoutAnswer());
    EXPECT_EQ(refusing.accepted, 1);
}

}  // namespace
}  // namespace vc::host
