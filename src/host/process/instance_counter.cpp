#include "host/process/instance_counter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vc::host {

namespace {

int OpenPrivateFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool ReadCounter(int fd, int32_t& value) {
    unsigned char bytes[4];
    if (::pread(fd, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) return false;
    const uint32_t raw = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                         uint32_t{bytes[3]} << 24;
    value = static_cast<int32_t>(raw);
    return true;
}

bool WriteCounter(int fd, int32_t value) {
    const auto raw = static_cast<uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(raw), static_cast<unsigned char>(raw >> 8),
                                    static_cast<unsigned char>(raw >> 16),
                                    static_cast<unsigned char>(raw >> 24)};
    return ::pwrite(fd, bytes, sizeof bytes, 0) == static_cast<ssize_t>(sizeof bytes);
}

int FlockRetrying(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

InstanceCounter::InstanceCounter(std::string directory, std::string name)
    : counterPath_(directory + "/" + name + ".count"), livePath_(directory + "/" + name + ".live") {}

InstanceCounter::~InstanceCounter() {
    if (liveFd_ >= 0) ::close(liveFd_);
}

std::string InstanceCounter::DefaultDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    return "/tmp";
}

int32_t InstanceCounter::Increment() { return Change(+1); }
int32_t InstanceCounter::Decrement() { return Change(-1); }

int32_t InstanceCounter::Change(int32_t delta) {
    const int counterFd = OpenPrivateFile(counterPath_);
    if (counterFd < 0 || FlockRetrying(counterFd, LOCK_EX) != 0) {
        if (counterFd >= 0) ::close(counterFd);
        privateCounter_ += delta;
        return privateCounter_;
    }

    int32_t value = -1;
    if (liveFd_ < 0) {
        // This copy's first change: it joins the running copies. When none
        // holds the live file, whatever a dead copy left behind is void.
        liveFd_ = OpenPrivateFile(livePath_);
        const bool nobodyRuns = liveFd_ >= 0 && ::flock(liveFd_, LOCK_EX | LOCK_NB) == 0;
        if (!nobodyRuns && !ReadCounter(counterFd, value)) value = -1;
        if (liveFd_ >= 0) FlockRetrying(liveFd_, LOCK_SH);
    } else if (!ReadCounter(counterFd, value)) {
        value = -1;
    }

    value += delta;
    WriteCounter(counterFd, value);
    ::close(counterFd);  // releases the update lock
    privateCounter_ = value;
    return value;
}

}  // namespace vc::host
