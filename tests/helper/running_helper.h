// The helper serving a socket in a temporary directory, on its own thread,
// with FakeHardware behind it; stopped and cleaned up on destruction.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "helper/fake_hardware.h"
#include "helper/server.h"

namespace vc::helper::test {

inline std::string TempDir() {
    char name[] = "/tmp/vc-helper-XXXXXX";
    const char* made = ::mkdtemp(name);
    if (made == nullptr) return {};
    ::chmod(made, 0755);  // other users' clients must reach the socket
    return made;
}

class RunningHelper {
public:
    ~RunningHelper() {
        Stop();
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }

    // false with `why` when the socket could not be made.
    bool Start(ServerConfig config, std::string& why) {
        dir = TempDir();
        path = dir + "/helper.sock";
        const int fd = ListenOn(path, std::nullopt, why);
        if (fd < 0) return false;
        server = std::make_unique<Server>(fd, handler, log.Sink(), config);
        thread = std::thread([this] { served = server->Run(); });
        return true;
    }

    void Stop() {
        if (!server) return;
        server->Stop();
        thread.join();
        server.reset();
    }

    FakeHardware hw;
    LogLines log;
    RequestHandler handler{hw, log.Sink()};
    std::unique_ptr<Server> server;
    std::thread thread;
    bool served = false;
    std::string dir;
    std::string path;
};

}  // namespace vc::helper::test
