// A kernel SMBus adapter through its i2c-dev node: the I2C_SMBUS ioctl for
// each transfer, I2C_FUNCS to learn what the adapter can do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/hw/smbus_sequences.h"
#include "helper/kernel_sequences.h"

namespace vc::helper {

class I2cDevAdapter final : public I2cAdapter {
public:
    // Opens `node` and points it at `address7`. When a kernel driver has
    // claimed that address the helper still goes there (the address is the
    // clock generator's, or the test device the administrator named), and
    // note() says so.
    I2cDevAdapter(const std::string& node, uint8_t address7);
    ~I2cDevAdapter() override;
    I2cDevAdapter(const I2cDevAdapter&) = delete;
    I2cDevAdapter& operator=(const I2cDevAdapter&) = delete;

    bool ok() const { return fd_ >= 0; }
    // Why the node could not be used; whether it was missing altogether.
    const std::string& why() const { return why_; }
    bool missing() const { return missing_; }
    const std::string& note() const { return note_; }

    // Whether the adapter offers every transfer `variant` needs.
    bool Supports(SmbusVariant variant) const;

    std::optional<std::vector<uint8_t>> ReadBlock(uint8_t command) override;
    bool WriteBlock(uint8_t command, std::span<const uint8_t> bytes) override;
    bool WriteWord(uint8_t command, uint16_t word) override;

    // A receive-byte read, or where the adapter has none a quick read:
    // whether the device acknowledged; nothing when the adapter can do
    // neither or failed otherwise.
    std::optional<bool> Answers();

    // No write through this adapter has sent a byte to the device yet: every
    // one failed with the drivers' "no response" or "busy" (ENXIO: the
    // address was not acknowledged; EBUSY: the transfer never started;
    // i2c-piix4's piix4_transaction and i2c-i801's i801_check_pre and
    // i801_check_post).
    bool NothingWritten() const { return !wroteAny_; }

private:
    int Transfer(char readWrite, uint8_t command, int size, void* data);

    int fd_ = -1;
    unsigned long functions_ = 0;
    bool missing_ = false;
    bool wroteAny_ = false;
    std::string why_;
    std::string note_;
};

}  // namespace vc::helper
