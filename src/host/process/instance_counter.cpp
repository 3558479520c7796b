#include "host/process/instance_counter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/base/little_endian.h"

namespace vc::host {

namespace {

int OpenPrivateFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool ReadCounter(int fd, int32_t& value) {
    std::array<uint8_t, 4> bytes{};
    if (::pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) return false;
    value = static_cast<int32_t>(GetLe32(bytes, 0));
    return true;
}

bool WriteCounter(int fd, int32_t value) {
    std::array<uint8_t, 4> bytes{};
    PutLe32(bytes, 0, static_cast<uint32_t>(value));
    return ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
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
