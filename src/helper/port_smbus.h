// The controller's ports for real: ioperm for its 16 registers, inb/outb,
// the 4 ms step pause, and a lock file so that no two writes (from two
// helpers, or a probe and a write) interleave on one controller.
#pragma once

#include <cstdint>
#include <string>

#include "core/hw/smbus_ports.h"

namespace vc::helper {

class IoPorts final : public SmbusPorts {
public:
    // Asks for [base, base+16); ok() is false when the kernel refused.
    explicit IoPorts(uint16_t base);
    ~IoPorts() override;
    IoPorts(const IoPorts&) = delete;
    IoPorts& operator=(const IoPorts&) = delete;

    bool ok() const { return granted_; }
    const std::string& why() const { return why_; }

    // A port outside the granted range reads 0xFF and takes no write: the
    // sequences only ever address the controller's own registers.
    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    void Wait() override;

private:
    bool Owns(uint16_t port) const;

    uint16_t base_;
    bool granted_ = false;
    std::string why_;
};

// An exclusive flock on `path` for the holder's lifetime. The file is
// created 0600, never through a link; one that group or others may open, or
// that is not a plain file of this process's owner, is refused: anybody who
// can open it can flock it and so stop every port transfer. The lock is
// tried once and never waited for: the helper serves everybody from one
// thread, so a lock held elsewhere fails the one request at once.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }
    const std::string& why() const { return why_; }

private:
    int fd_ = -1;
    std::string why_;
};

}  // namespace vc::helper
