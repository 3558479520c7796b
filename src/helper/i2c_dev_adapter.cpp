#include "helper/i2c_dev_adapter.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vc::helper {

I2cDevAdapter::I2cDevAdapter(const std::string& node, uint8_t address7) {
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        missing_ = errno == ENOENT;
        why_ = node + ": " + std::strerror(errno);
        return;
    }
    if (::ioctl(fd, I2C_FUNCS, &functions_) != 0) {
        why_ = node + ": I2C_FUNCS: " + std::strerror(errno);
        ::close(fd);
        return;
    }
    if (::ioctl(fd, I2C_SLAVE, static_cast<unsigned long>(address7)) != 0) {
        if (errno != EBUSY || ::ioctl(fd, I2C_SLAVE_FORCE, static_cast<unsigned long>(address7)) != 0) {
            why_ = node + ": address: " + std::strerror(errno);
            ::close(fd);
            return;
        }
        note_ = "(the address is claimed by a kernel driver)";
    }
    fd_ = fd;
}

I2cDevAdapter::~I2cDevAdapter() {
    if (fd_ >= 0) ::close(fd_);
}

bool I2cDevAdapter::Supports(SmbusVariant variant) const {
    unsigned long needed = I2C_FUNC_SMBUS_WRITE_BLOCK_DATA;
    if (variant == SmbusVariant::Ics9248 || variant == SmbusVariant::Rtm560) needed |= I2C_FUNC_SMBUS_READ_BLOCK_DATA;
    if (variant == SmbusVariant::Rtm560) needed |= I2C_FUNC_SMBUS_WRITE_WORD_DATA;
    return (functions_ & needed) == needed;
}

int I2cDevAdapter::Transfer(char readWrite, uint8_t command, int size, void* data) {
    i2c_smbus_ioctl_data request{};
    request.read_write = readWrite;
    request.command = command;
    request.size = static_cast<uint32_t>(size);
    request.data = static_cast<i2c_smbus_data*>(data);
    const int error = ::ioctl(fd_, I2C_SMBUS, &request) == 0 ? 0 : errno;
    if (readWrite == I2C_SMBUS_WRITE && error != ENXIO && error != EBUSY) wroteAny_ = true;
    return error;
}

std::optional<std::vector<uint8_t>> I2cDevAdapter::ReadBlock(uint8_t command) {
    i2c_smbus_data data{};
    if (Transfer(I2C_SMBUS_READ, command, I2C_SMBUS_BLOCK_DATA, &data) != 0) return std::nullopt;
    const size_t count = std::min<size_t>(data.block[0], I2C_SMBUS_BLOCK_MAX);
    return std::vector<uint8_t>(data.block + 1, data.block + 1 + count);
}

bool I2cDevAdapter::WriteBlock(uint8_t command, std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > I2C_SMBUS_BLOCK_MAX) return false;
    i2c_smbus_data data{};
    data.block[0] = static_cast<uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data.block + 1);
    return Transfer(I2C_SMBUS_WRITE, command, I2C_SMBUS_BLOCK_DATA, &data) == 0;
}

bool I2cDevAdapter::WriteWord(uint8_t command, uint16_t word) {
    i2c_smbus_data data{};
    data.word = word;
    return Transfer(I2C_SMBUS_WRITE, command, I2C_SMBUS_WORD_DATA, &data) == 0;
}

std::optional<bool> I2cDevAdapter::Answers() {
    int error = 0;
    if ((functions_ & I2C_FUNC_SMBUS_READ_BYTE) != 0) {
        i2c_smbus_data data{};
        error = Transfer(I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &data);
    } else if ((functions_ & I2C_FUNC_SMBUS_QUICK) != 0) {
        error = Transfer(I2C_SMBUS_READ, 0, I2C_SMBUS_QUICK, nullptr);
    } else {
        return std::nullopt;
    }
    if (error == 0) return true;
    // No acknowledge: the adapters report ENXIO (some EREMOTEIO or EIO).
    if (error == ENXIO || error == EREMOTEIO) return false;
    return std::nullopt;
}

}  // namespace vc::helper
