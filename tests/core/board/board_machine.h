// A machine for the board tests: a 64 KiB BIOS window handed out at one
// address, an NT driver that searches the same window, the host bridge's
// register 0x50 through ports and driver, and a log of every request.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/hw/hw_driver.h"
#include "core/hw/machine.h"
#include "support/null_machine.h"
#include "core/hw/pci_config.h"

namespace vc::test {

struct LoggedRequest {
    uint32_t code = 0;
    std::vector<uint8_t> input;
    std::vector<uint8_t> referenced;
};

class BoardMachine : public NullMachine {
public:
    static constexpr uint32_t kWindowAddress = 0x000F0000;

    std::vector<uint8_t> bios = std::vector<uint8_t>(0x10000, 0xFF);
    uint32_t memClassRegister = 0;   // host bridge register 0x50
    bool biosRequestFails = false;
    std::vector<LoggedRequest> requests;
    int pciReads = 0;

    // Whatever would lie past the end of the window is cut off.
    void PutBiosString(size_t offset, const std::string& text) {
        if (offset >= bios.size()) return;
        std::memcpy(bios.data() + offset, text.data(), std::min(text.size(), bios.size() - offset));
    }

    // Requests of one code, in order.
    std::vector<LoggedRequest> RequestsOf(uint32_t code) const {
        std::vector<LoggedRequest> found;
        for (const auto& r : requests) {
            if (r.code == code) found.push_back(r);
        }
        return found;
    }

    OsVersion GetOsVersion() override { return {}; }
    DeviceHandle OpenDevice(const std::string&, DeviceOpenMode) override { return 5; }
    void CloseDevice(DeviceHandle) override {}
    bool DeviceIoControl(DeviceHandle, const DeviceRequest& request) override {
        requests.push_back({request.code, {request.input.begin(), request.input.end()},
                            {request.referenced.begin(), request.referenced.end()}});
        if (request.code == kReqNtPciRead) {
            ++pciReads;
            for (size_t i = 0; i < 4 && i < request.output.size(); ++i) {
                request.output[i] = static_cast<uint8_t>(memClassRegister >> (8 * i));
            }
            return true;
        }
        if (request.code == kReqNtBiosFind) {
            if (biosRequestFails) return false;
            const std::string needle(reinterpret_cast<const char*>(request.input.data()),
                                     strnlen(reinterpret_cast<const char*>(request.input.data()),
                                             request.input.size()));
            const std::string area(bios.begin() + 0xE000, bios.end());
            return area.find(needle) != std::string::npos;
        }
        return true;  // SMBus requests: accepted
    }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override {
        if (address != kWindowAddress) return {};
        return bios;
    }
    uint8_t InPort8(uint16_t) override { return 0; }
    void OutPort8(uint16_t, uint8_t) override {}
    uint32_t InPort32(uint16_t port) override {
        if (port != kPciDataPort) return 0xFFFFFFFF;
        ++pciReads;
        return memClassRegister;
    }
    void OutPort32(uint16_t, uint32_t) override {}
    // The rest is NullMachine's: without a performance counter every clock
    // measurement fails and says so.
};

}  // namespace vc::test
