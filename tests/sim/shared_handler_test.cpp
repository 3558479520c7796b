// The one request handler of the privileged components, serving the
// program's own NT requests over a simulated machine's hardware: every
// catalogue board is recognised and its clock generator written through it,
// and each request out of policy is refused with nothing reaching the bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "core/app/detection.h"
#include "core/base/little_endian.h"
#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"
#include "core/hw/hw_driver.h"
#include "core/hw/privileged_requests.h"
#include "core/hw/smbus_write_request.h"
#include "sim/machine_catalogue.h"
#include "sim/privileged_sim.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using privileged::Outcome;
using privileged::Refusal;


// A Windows 2000 machine whose port driver is the shared handler.
class HandlerPlatform final : public Platform {
public:
    explicit HandlerPlatform(sim::SimMachine& machine) : machine_(machine), hardware_(machine), handler_(hardware_) {}

    OsVersion GetOsVersion() override { return {kPlatformNt, 5, 0}; }
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode) override {
        return name == kNtDriverName ? 1 : kNoDevice;
    }
    void CloseDevice(DeviceHandle) override {}
    bool DeviceIoControl(DeviceHandle, const DeviceRequest& request) override {
        privileged::BytesAtHand data(request.referenced);
        last = handler_.Handle({request.code, request.input, request.output.size(), &data}, request.output);
        return last.outcome == Outcome::Done;
    }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t) override { return {}; }
    uint8_t InPort8(uint16_t) override { return 0xFF; }
    void OutPort8(uint16_t, uint8_t) override {}
    uint32_t InPort32(uint16_t) override { return 0xFFFFFFFF; }
    void OutPort32(uint16_t, uint32_t) override {}

    privileged::Answer last;

private:
    sim::SimMachine& machine_;
    sim::PrivilegedSim hardware_;
    privileged::RequestHandler handler_;
};

sim::SimMachine Load(const std::string& name) {
    auto loaded = sim::LoadMachineFile(std::string(VC_SOURCE_DIR) + "/machines/" + name + ".machine");
    EXPECT_TRUE(loaded.ok()) << loaded.error;
    return sim::SimMachine(std::move(*loaded.description));
}

// A one-byte block write (select 0x38) to the block-buffer controller at `base`.
const std::vector<uint8_t> kOneByte = {0x38};
std::vector<uint8_t> SmbusInput(uint32_t base) {
    std::vector<uint8_t> input(kSmbusWriteRequestSize);
    const uint32_t fields[] = {base, 1, 0, 2, 1, 0xD2, 0};
    for (size_t i = 0; i < 7; ++i) PutLe32(input, 4 * i, fields[i]);
    return input;
}

// Every catalogue machine the shipped database knows a board of, whose
// processor has the configuration word.
TEST(SharedHandler, ServesEveryCatalogueBoardsWrite) {
    const char* boards[] = {"default", "win98-6bxd", "nt4-q6b1", "win2000-h8k2", "win2000-t9p7", "nt4-f4w1",
                            "win98-ich2-9250-18", "win2000-cubx", "win98-cuv4xls", "win2000-v33t",
                            "win2000-p3v4x"};
    for (const char* name : boards) {
        SCOPED_TRACE(name);
        sim::SimMachine machine = Load(name);
        HandlerPlatform platform(machine);
        test::RecordingShell shell;
        Context ctx{Machine{platform, machine, machine}, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
        SystemInfo info;
        ASSERT_EQ(DetectSystem(info, ctx), 1) << ::testing::PrintToString(shell.Texts());
        ASSERT_EQ(NextEntry(info), 1);
        const ClockEntry* next = EntryAt(info, info.currentIndex);
        ASSERT_NE(next, nullptr);
        machine.ClearTrace();
        ASSERT_EQ(ApplyEntry(info).answer, 1);
        EXPECT_TRUE(platform.last.wrote);
        EXPECT_TRUE(machine.RejectedSelects().empty());
        EXPECT_DOUBLE_EQ(machine.BusClockMHz(), next->busMHz);
    }
}

// A K6-2 (AMD family 5) has no MSR 0x2A: by the drivers' one rule nothing
// reads it, and detection ends there instead of a fault in the kernel.
TEST(SharedHandler, ReadsNoConfigurationWordWhereTheRuleSaysThereIsNone) {
    sim::SimMachine machine = Load("win98-l6x5-amd");
    HandlerPlatform platform(machine);
    test::RecordingShell shell;
    Context ctx{Machine{platform, machine, machine}, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
    SystemInfo info;
    EXPECT_EQ(DetectSystem(info, ctx), 0);
    EXPECT_EQ(shell.Texts(), std::vector<std::string>{"ScanAddressInfo fail"});
}

// VIA boards as their BIOS leaves them: the power-management function's
// command register reads 0, and only host configuration 0xD2 bit 0 says
// whether the SMBus host is on. With it set the handler writes through the
// ports; with it clear the same request is refused as a disabled
// controller, and nothing reaches the bus.
TEST(SharedHandler, AViaControllerIsOnWhenItsHostEnableBitIs) {
    for (const char* name : {"win2000-p3v4x", "win98-cuv4xls"}) {
        SCOPED_TRACE(name);
        for (const bool hostOn : {true, false}) {
            auto loaded = sim::LoadMachineFile(std::string(VC_SOURCE_DIR) + "/machines/" + name + ".machine");
            ASSERT_TRUE(loaded.ok()) << loaded.error;
            loaded.description->board.smbusHostEnabled = hostOn;
            sim::SimMachine machine(std::move(*loaded.description));
            const uint32_t base = machine.description().board.smbusBase;
            // The VIA functions at device 7: function 3 (596B) or 4 (686).
            const uint32_t function = name == std::string("win2000-p3v4x") ? 3 : 4;
            EXPECT_EQ(machine.PciConfig(0x8000'0000 | 7U << 11 | function << 8 | 0x04) & 0xFFFF, 0U);

            sim::PrivilegedSim hardware(machine);
            privileged::RequestHandler handler(hardware);
            privileged::BytesAtHand data(kOneByte);
            machine.ClearTrace();
            const auto answer =
                handler.Handle({kReqNtSmbusBlockWrite, SmbusInput(base), 0, &data}, std::span<uint8_t>());
            if (hostOn) {
                EXPECT_EQ(answer.outcome, Outcome::Done);
                EXPECT_FALSE(machine.trace().Transactions().empty());
            } else {
                EXPECT_EQ(answer.outcome, Outcome::Refused);
                EXPECT_EQ(answer.refusal, Refusal::ControllerDisabled);
                EXPECT_TRUE(machine.trace().Transactions().empty());
            }
        }
    }
}

struct RefusalCase {
    const char* what;
    uint32_t code;
    std::vector<uint8_t> input;
    size_t output;
    std::vector<uint8_t> data;
    Refusal refusal;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

std::vector<uint8_t> Smbus(uint32_t ioBase, uint32_t count, uint32_t operation, uint32_t kind, uint32_t address,
                           uint32_t mask, size_t length = kSmbusWriteRequestSize) {
    std::vector<uint8_t> input(kSmbusWriteRequestSize);
    const uint32_t fields[] = {ioBase, count, 0, operation, kind, address, mask};
    for (size_t i = 0; i < 7; ++i) PutLe32(input, 4 * i, fields[i]);
    input.resize(length);
    return input;
}

std::vector<uint8_t> Word(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    PutLe32(bytes, 0, value);
    return bytes;
}

// On the default machine: a block-buffer controller at 0x5000.
constexpr uint32_t kBase = 0x5000;
const std::vector<uint8_t> kOne = {0x4D};

class SharedHandlerRefuses : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SharedHandlerRefuses, NothingReachesTheBus) {
    const RefusalCase& c = GetParam();
    sim::SimMachine machine = Load("default");
    ASSERT_EQ(machine.description().board.smbusBase, kBase);
    sim::PrivilegedSim hardware(machine);
    privileged::RequestHandler handler(hardware);
    privileged::BytesAtHand data(c.data);
    std::vector<uint8_t> output(c.output);
    const double before = machine.BusClockMHz();
    machine.ClearTrace();
    const auto answer = handler.Handle({c.code, c.input, c.output, &data}, output);
    EXPECT_EQ(answer.outcome, Outcome::Refused);
    EXPECT_EQ(answer.refusal, c.refusal);
    EXPECT_FALSE(answer.wrote);
    // Only the probe reads the bus (it is read-only); nothing is ever written.
    for (const auto& t : machine.trace().Transactions()) {
        EXPECT_TRUE(c.code == kReqProbe && (t.address & 1) != 0) << ::testing::PrintToString(machine.TraceLines());
    }
    EXPECT_DOUBLE_EQ(machine.BusClockMHz(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, SharedHandlerRefuses,
    ::testing::Values(
        RefusalCase{"unknown code", 0x9C402400, {}, 4, {}, Refusal::UnknownCode},
        RefusalCase{"short SMBus request", kReqNtSmbusBlockWrite, Smbus(kBase, 1, 2, 1, 0xD2, 0, 20), 0, kOne,
                    Refusal::ShortInput},
        RefusalCase{"operation 1", kReqNtSmbusBlockWrite, Smbus(kBase, 1, 1, 1, 0xD2, 0), 0, kOne,
                    Refusal::NotABlockWrite},
        RefusalCase{"count 0", kReqNtSmbusBlockWrite, Smbus(kBase, 0, 2, 1, 0xD2, 0), 0, kOne,
                    Refusal::CountOutOfRange},
        RefusalCase{"count 33", kReqNtSmbusBlockWrite, Smbus(kBase, 33, 2, 1, 0xD2, 0), 0,
                    std::vector<uint8_t>(33, 0x4D), Refusal::CountOutOfRange},
        RefusalCase{"fewer data bytes than the count", kReqNtSmbusBlockWrite, Smbus(kBase, 2, 2, 1, 0xD2, 0), 0, kOne,
                    Refusal::DataUnreadable},
        RefusalCase{"address 0xA0", kReqNtSmbusBlockWrite, Smbus(kBase, 1, 2, 1, 0xA0, 0), 0, kOne,
                    Refusal::NotClockGenerator},
        RefusalCase{"mask 0x100", kReqNtSmbusBlockWrite, Smbus(kBase, 1, 2, 1, 0xD2, 0x100), 0, kOne,
                    Refusal::MaskNotAByte},
        RefusalCase{"a base PCI does not show", kReqNtSmbusBlockWrite, Smbus(kBase + 0x10, 1, 2, 1, 0xD2, 0), 0,
                    kOne, Refusal::NoSuchController},
        RefusalCase{"the other kind", kReqNtSmbusBlockWrite, Smbus(kBase, 1, 2, 2, 0xD2, 0), 0, kOne,
                    Refusal::KindMismatch},
        RefusalCase{"a chip sequence on the block-buffer controller", kReqNtIcs9248, Smbus(kBase, 1, 2, 1, 0xD2, 0), 0,
                    kOne, Refusal::NeedsByteWise},
        RefusalCase{"BIOS field without a terminator", kReqNtBiosFind, std::vector<uint8_t>(16, 'A'), 0, {},
                    Refusal::NoTerminator},
        RefusalCase{"short BIOS field", kReqNtBiosFind, std::vector<uint8_t>(8, 0), 0, {}, Refusal::ShortInput},
        RefusalCase{"configuration word into 2 bytes", kReqNtIntelRatio, {}, 2, {}, Refusal::ShortOutput},
        RefusalCase{"PCI read into 2 bytes", kReqNtPciRead, Word(0x8000'0000), 2, {}, Refusal::ShortBuffers},
        RefusalCase{"host bridge register 0x54", kReqNtPciRead, Word(0x8000'0054), 4, {}, Refusal::PciRegister},
        RefusalCase{"SMBus function register 0x94", kReqNtPciRead, Word(0x8000'3B94), 4, {}, Refusal::PciRegister},
        RefusalCase{"probe into 16 bytes", kReqProbe, {}, 16, {}, Refusal::ReportTooLong}),
    [](const auto& param) {
        std::string name = param.param.what;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

// The largest block, and the probe the program runs: both served.
TEST(SharedHandler, TheLargestBlockAndTheProbeAreServed) {
    sim::SimMachine machine = Load("default");
    sim::PrivilegedSim hardware(machine);
    privileged::RequestHandler handler(hardware);
    const std::vector<uint8_t> block(32, 0x4D);
    privileged::BytesAtHand data(block);
    auto answer = handler.Handle({kReqNtSmbusBlockWrite, Smbus(kBase, 32, 2, 1, 0xD2, 0), 0, &data}, {});
    EXPECT_EQ(answer.outcome, Outcome::Done);
    EXPECT_EQ(answer.dataLength, 32u);

    std::vector<uint8_t> report(kProbeReportMax);
    answer = handler.Handle({kReqProbe, {}, report.size(), nullptr}, report);
    ASSERT_EQ(answer.outcome, Outcome::Done);
    const std::string text(report.begin(), report.begin() + static_cast<std::ptrdiff_t>(answer.outputLength));
    EXPECT_EQ(text.rfind("controller kind=1 base=0x5000 pci=0000:00:07.3 driver=none adapter=none\n", 0), 0u) << text;
    EXPECT_NE(text.find("clockgen controller=0x5000 address=0x69 answers=yes readback="), std::string::npos) << text;
    EXPECT_NE(text.find(" text=\"6BXE-R1.2\"\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace vc
