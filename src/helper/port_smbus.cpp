#include "helper/port_smbus.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "core/hw/smbus_registers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define VC_HAVE_PORTS 1
#else
#define VC_HAVE_PORTS 0
#endif

namespace vc::helper {

IoPorts::IoPorts(uint16_t base) : base_(base) {
#if VC_HAVE_PORTS
    if (base == 0 || base > 0xFFFF - smbus::kPortSpan) {
        why_ = "no port range at this base";
    } else if (::ioperm(base, smbus::kPortSpan, 1) != 0) {
        why_ = std::string("ioperm: ") + std::strerror(errno);
    } else {
        granted_ = true;
    }
#else
    why_ = "no I/O ports on this processor architecture";
#endif
}

IoPorts::~IoPorts() {
#if VC_HAVE_PORTS
    if (granted_) ::ioperm(base_, smbus::kPortSpan, 0);
#endif
}

bool IoPorts::Owns(uint16_t port) const { return granted_ && port >= base_ && port - base_ < smbus::kPortSpan; }

uint8_t IoPorts::In(uint16_t port) {
#if VC_HAVE_PORTS
    if (Owns(port)) return ::inb(port);
#endif
    (void)port;
    return 0xFF;
}

void IoPorts::Out(uint16_t port, uint8_t value) {
#if VC_HAVE_PORTS
    if (Owns(port)) ::outb(value, port);
#endif
    (void)port;
    (void)value;
}

void IoPorts::Wait() {
    timespec left{0, static_cast<long>(smbus::kStepWaitMs) * 1'000'000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

FileLock::FileLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        why_ = path + ": " + std::strerror(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_nlink != 1) {
        why_ = path + ": not a plain file of the helper's own";
        ::close(fd);
        return;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        why_ = path + ": mode " + mode + " lets others open it, and so hold it (remove it: the helper makes it 0600)";
        ::close(fd);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return;
    }
    why_ = path + (errno == EWOULDBLOCK ? std::string(": held by another process")
                                        : std::string(": flock: ") + std::strerror(errno));
    ::close(fd);
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
}

}  // namespace vc::helper
