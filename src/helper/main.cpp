// velocore-driverd: the privileged helper that serves the NT port driver's
// requests on Linux. Runs as root, from systemd's socket or in the
// foreground on a socket of its own (--socket).
#include <linux/capability.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <iostream>

#include "helper/capabilities.h"
#include "helper/linux_hardware.h"
#include "helper/options.h"
#include "helper/peer_access.h"
#include "helper/refusal_log.h"
#include "helper/request_handler.h"
#include "helper/server.h"

namespace {

vc::helper::Server* gServer = nullptr;

void OnStopSignal(int) {
    if (gServer != nullptr) gServer->Stop();
}

void InstallSignals() {
    struct sigaction stop {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    ::sigaction(SIGTERM, &stop, nullptr);
    ::sigaction(SIGINT, &stop, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vc::helper;
    HelperOptions options;
    std::string error;
    if (!ParseHelperOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "velocore-driverd: " << error << '\n' << kHelperUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kHelperUsage;
        return 0;
    }
    if (::geteuid() != 0) {
        std::cerr << "velocore-driverd: must run as root\n";
        return 1;
    }
    const bool foreground = !options.socketPath.empty();
    LogSink log = SystemLog(foreground);

    const auto group = GroupId(options.group);
    if (!group) log("group " + options.group + " not found: only root may connect");
    const int listenFd = foreground ? ListenOn(options.socketPath, group, error) : SystemdSocket(error);
    if (listenFd < 0) {
        log("cannot listen: " + error);
        if (!foreground) std::cerr << "velocore-driverd: " << error << '\n';
        return 1;
    }

    // The configuration files it needs whole are opened now; after that
    // CAP_SYS_ADMIN has done its work and goes, before any client is heard.
    LinuxHardware hardware(LinuxPaths{}, log);
    if (!DropCapability(CAP_SYS_ADMIN, error)) log("cannot give CAP_SYS_ADMIN up for good: " + error);
    if (HoldsCapability(CAP_SYS_ADMIN) || !NoNewPrivileges()) {
        log("still holding CAP_SYS_ADMIN, or no-new-privileges not set: not serving");
        return 1;
    }
    // Without CAP_SETPCAP (an older unit) the bounding set keeps it;
    // no-new-privileges still keeps it from anything the helper runs.
    if (BoundingHolds(CAP_SYS_ADMIN)) log("CAP_SYS_ADMIN stays in the bounding set (the unit gives no CAP_SETPCAP)");
    RefusalLog refusals(log);
    RequestHandler handler(hardware, log, options.clockGenAddress7);
    handler.SetRefusalLog(&refusals);
    ServerConfig config;
    config.group = group;
    config.refusals = &refusals;
    Server server(listenFd, handler, log, config);
    gServer = &server;
    InstallSignals();

    log("serving " + (foreground ? options.socketPath : std::string("the socket systemd passed")) + " for root and group " +
        options.group);
    if (options.clockGenAddress7 != kDefaultClockGenAddress) {
        log("test mode: writes for the clock generator go to address " + vc::HexText(options.clockGenAddress7, 2));
    }
    const bool ok = server.Run();
    gServer = nullptr;
    if (foreground) ::unlink(options.socketPath.c_str());
    log("stopped");
    return ok ? 0 : 1;
}
