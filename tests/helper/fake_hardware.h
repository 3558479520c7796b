// A machine for the helper's tests: two SMBus controllers (a PIIX4 function
// owned by its kernel driver, an ICH function nobody owns), a BIOS window,
// a configuration word and PCI registers; every clock-generator write is
// recorded instead of done. Nothing here reaches the real machine.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/hw/smbus_access.h"
#include "helper/helper_hardware.h"
#include "helper/log.h"

namespace vc::helper::test {

inline SmbusController Piix4() {
    return {"0000:00:01.3", 0x8086, 0x7113, kSmbusControllerBlockBuffer, 0x0700, true, "piix4_smbus", "/dev/i2c-0",
            0x90, 0xD2};
}

inline SmbusController Ich() {
    return {"0000:00:1f.3", 0x8086, 0x2930, kSmbusControllerByteWise, 0x0600, true, "", "", 0x20, 0x40};
}

struct RecordedWrite {
    SmbusController controller;
    ClockGenWrite write;
};

class FakeHardware final : public HelperHardware {
public:
    std::vector<uint8_t> window = std::vector<uint8_t>(kBiosWindowSize, 0);
    bool windowReadable = true;
    int windowReads = 0;
    bool configWordReadable = true;
    uint32_t configWord = 0x0A41'2345;
    std::map<std::string, uint32_t> pci;  // "bus:device.function@reg"
    std::vector<std::string> pciAsked;
    std::vector<SmbusController> controllers{Piix4(), Ich()};
    bool writeSucceeds = true;
    std::vector<WriteOutcome> outcomes;  // the next writes' outcomes, in turn; then writeSucceeds
    std::vector<RecordedWrite> writes;
    std::optional<bool> answers = true;
    std::optional<std::vector<uint8_t>> readBack;  // none: the block read fails
    std::vector<std::string> probed;  // "pci@address"
    int blockReads = 0;

    static std::string PciKey(unsigned bus, unsigned device, unsigned function, unsigned reg) {
        return std::to_string(bus) + ":" + std::to_string(device) + "." + std::to_string(function) + "@" +
               std::to_string(reg);
    }

    bool ReadBiosWindow(std::vector<uint8_t>& out, std::string& why) override {
        ++windowReads;
        if (!windowReadable) why = "/dev/mem: Operation not permitted";
        else out = window;
        return windowReadable;
    }
    bool ReadConfigWord(uint32_t& word, std::string& why) override {
        if (!configWordReadable) why = "/dev/cpu/0/msr: Input/output error";
        else word = configWord;
        return configWordReadable;
    }
    bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value,
                       std::string&) override {
        const std::string key = PciKey(bus, device, function, reg);
        pciAsked.push_back(key);
        const auto it = pci.find(key);
        value = it == pci.end() ? 0xFFFFFFFF : it->second;
        return true;
    }
    std::vector<SmbusController> Controllers() override { return controllers; }
    WriteOutcome WriteClockGen(const SmbusController& c, const ClockGenWrite& w, std::string& how) override {
        std::lock_guard<std::mutex> lock(mutex);
        writes.push_back({c, w});
        how = c.KernelOwned() ? "through " + c.adapter : "on ports";
        if (!outcomes.empty()) {
            const WriteOutcome next = outcomes.front();
            outcomes.erase(outcomes.begin());
            return next;
        }
        return writeSucceeds ? WriteOutcome::Done : WriteOutcome::Failed;
    }
    std::optional<bool> DeviceAnswers(const SmbusController& c, uint8_t address7) override {
        probed.push_back(c.pci + "@" + HexText(address7, 2));
        return answers;
    }
    int32_t ReadClockGenBlock(const SmbusController&, uint8_t, std::span<uint8_t> block) override {
        ++blockReads;
        if (!readBack) return -1;
        std::copy_n(readBack->begin(), std::min(readBack->size(), block.size()), block.begin());
        return static_cast<int32_t>(readBack->size());
    }

    std::mutex mutex;
};

// Log lines, from whichever thread writes them.
class LogLines {
public:
    LogSink Sink() {
        return [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        };
    }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    std::string Last() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_.empty() ? std::string() : lines_.back();
    }
    bool Has(const std::string& part) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& line : lines_) {
            if (line.find(part) != std::string::npos) return true;
        }
        return false;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace vc::helper::test
