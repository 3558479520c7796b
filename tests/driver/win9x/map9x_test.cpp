// Map9X.vxd as built, run in the harness (tools/vxd_harness) under Wine:
// every request and refusal against an emulated processor and page table,
// and the program's own 9x detection recognising a board through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/app/detection.h"
#include "core/cpu/config_word_rule.h"
#include "core/hw/hw_driver.h"
#include "harness_platform.h"
#include "sim/machine_catalogue.h"
#include "sim/sim_machine.h"
#include "support/recording_shell.h"

namespace vc::vxd {
namespace {

constexpr uint32_t kWord = 0x0A5A5A5A;
constexpr uint32_t kUntouched = 0xCCCCCCCC;

std::vector<uint8_t> DeviceFile() {
    std::vector<uint8_t> bytes;
    if (std::FILE* in = std::fopen("bin/Map9X.vxd", "rb")) {
        uint8_t block[4096];
        for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) bytes.insert(bytes.end(), block, block + got);
        std::fclose(in);
    }
    return bytes;
}

// CPUID leaves 0 and 1 of a processor: vendor, signature, feature flags.
EmulatedCpu Processor(const char (&vendor)[13], uint32_t signature, uint32_t features, std::optional<uint32_t> word) {
    auto dword = [&](int at) { return uint32_t(uint8_t(vendor[at])) | uint32_t(uint8_t(vendor[at + 1])) << 8 |
                                      uint32_t(uint8_t(vendor[at + 2])) << 16 | uint32_t(uint8_t(vendor[at + 3])) << 24; };
    EmulatedCpu cpu;
    cpu.leaves[0] = CpuidRegs{1, dword(0), dword(8), dword(4)};
    cpu.leaves[1] = CpuidRegs{signature, 0, 0, features};
    cpu.configWord = word;
    return cpu;
}
constexpr uint32_t kFeatures = 0x0383F9FF;  // bit 5: MSRs

struct Device : ::testing::Test {
    void SetUp() override {
        std::vector<uint8_t> bios(0x10000, 0xFF);
        system = std::make_unique<EmulatedSystem>(bios, error);
        ASSERT_TRUE(error.empty()) << error;
        system->cpu = Processor("GenuineIntel", 0x683, kFeatures, kWord);
        device = LoadedDevice::Load(DeviceFile(), *system, error);
        ASSERT_TRUE(device) << error;
        ASSERT_FALSE(device->Control(VXD_SYS_DYNAMIC_DEVICE_INIT).carry);
    }
    void TearDown() override {
        if (device) {
            EXPECT_FALSE(device->Control(VXD_SYS_DYNAMIC_DEVICE_EXIT).carry);
        }
        if (system) {
            EXPECT_TRUE(system->violations.empty()) << ::testing::PrintToString(system->violations);
        }
    }
    // The request's error code (0: success) and what landed in the
    // buffer, which is in the process's arena as a program's is.
    std::pair<uint32_t, uint32_t> Ask(uint32_t code, uint32_t size = 4) {
        auto* out = reinterpret_cast<uint32_t*>(system->arena);
        auto* returned = out + 1;
        *out = kUntouched;
        *returned = 0;
        const ControlResult r = device->IoControl(code, out, size, returned);
        EXPECT_EQ(r.carry, r.eax != 0) << "request " << code;
        EXPECT_TRUE(r.registersKept) << "request " << code;
        if (r.eax == 0 && size >= 4) {
            EXPECT_EQ(*returned, 4u) << "request " << code;
        }
        return {r.eax, *out};
    }
    std::string error;
    std::unique_ptr<EmulatedSystem> system;
    std::unique_ptr<LoadedDevice> device;
};

TEST_F(Device, AnswersOpenCloseAndEachRequest) {
    EXPECT_EQ(Ask(VXD_DIOC_OPEN, 0), std::make_pair(0u, kUntouched));
    EXPECT_EQ(Ask(kReq9xBiosWindow), std::make_pair(0u, 0xF0000u));
    EXPECT_EQ(Ask(kReq9xIntelRatio), std::make_pair(0u, kWord));
    EXPECT_EQ(Ask(kReq9xAmdRatio), std::make_pair(50u, kUntouched));  // not an AMD processor
    EXPECT_EQ(Ask(kReq9xOtherRatio), std::make_pair(0u, 0u));
    EXPECT_EQ(Ask(VXD_DIOC_CLOSEHANDLE, 0).first, 0u);
    // _CopyPageTable only: the buffer's and the count's pages of the four
    // requests with room for a word, and the window's pages once.
    EXPECT_EQ(system->serviceCalls, std::vector<uint32_t>(4 * 2 + 1, 0x00010061u));
    EXPECT_EQ(system->msrReads, 1u);
}

// DIOC_OPEN is code 0, the word for other vendors: whatever output size
// VWIN32 passes, the open succeeds; the word goes only where it fits.
TEST_F(Device, TheOpenNeverFailsAndWritesOnlyWhereThereIsRoom) {
    for (uint32_t size : {0u, 1u, 3u}) EXPECT_EQ(Ask(VXD_DIOC_OPEN, size), std::make_pair(0u, kUntouched)) << size;
    for (uint32_t size : {4u, 8u, 4096u}) EXPECT_EQ(Ask(VXD_DIOC_OPEN, size), std::make_pair(0u, 0u)) << size;
    for (uint32_t address : {0u, 0x80001000u, 0xC0001000u, 0x003FFFFCu}) {
        EXPECT_EQ(device->IoControl(VXD_DIOC_OPEN, reinterpret_cast<void*>(uintptr_t{address}), 4, nullptr).eax, 0u)
            << std::hex << address;
        EXPECT_EQ(device->IoControl(VXD_DIOC_OPEN, system->arena, 4,
                                    reinterpret_cast<uint32_t*>(uintptr_t{address})).eax, 0u) << std::hex << address;
    }
    EXPECT_EQ(system->msrReads, 0u);
}

// Output only into the process's arena and onto pages shown present,
// writable and user's; a refused request writes nothing anywhere.
TEST_F(Device, RefusesOutputOutsideTheArenaOrOnPagesNotPresent) {
    const uint32_t secondPage = kArenaBuffer / kPageBytes + 1;
    uint8_t* const straddling = system->arena + kPageBytes - 2;
    for (uint32_t code : {kReq9xBiosWindow, kReq9xIntelRatio}) {
        for (uint32_t address : {0x80001000u, 0x7FFFFFFEu, 0x003FF000u, 0x00001000u})
            EXPECT_EQ(device->IoControl(code, reinterpret_cast<void*>(uintptr_t{address}), 4, nullptr).eax, 87u)
                << std::hex << address;
        const uint32_t good = system->processPages[secondPage];
        for (uint32_t entry : {good & ~VXD_PTE_PRESENT, good & ~VXD_PTE_USER, good & ~VXD_PTE_WRITABLE}) {
            system->processPages[secondPage] = entry;
            std::fill(system->arena, system->arena + kArenaBytes, uint8_t{0xCC});
            EXPECT_EQ(device->IoControl(code, straddling, 4, nullptr).eax, 87u) << code;
            auto* inArena = reinterpret_cast<uint32_t*>(system->arena);
            EXPECT_EQ(device->IoControl(code, inArena, 4, reinterpret_cast<uint32_t*>(system->arena + kPageBytes)).eax,
                      87u) << code;  // the byte count on the missing page
            EXPECT_TRUE(std::all_of(system->arena, system->arena + kArenaBytes, [](uint8_t b) { return b == 0xCC; }))
                << code;
        }
        system->processPages[secondPage] = good;
        EXPECT_EQ(device->IoControl(code, straddling, 4, nullptr).eax, 0u) << code;
    }
    EXPECT_EQ(system->msrReads, 1u);  // only the last, allowed one
}

TEST_F(Device, RefusesOtherCodesShortBuffersAndSystemAddresses) {
    for (uint32_t code : {1u, 3u, 7u, 10u, 0x23u, 0x9C402458u, 0x9C40245Cu})
        EXPECT_EQ(Ask(code), std::make_pair(1u, kUntouched)) << code;
    for (uint32_t code : {kReq9xBiosWindow, kReq9xIntelRatio, kReq9xAmdRatio})
        for (uint32_t size : {1u, 2u, 3u}) EXPECT_EQ(Ask(code, size), std::make_pair(122u, kUntouched)) << code << "/" << size;
    for (uint32_t code : {kReq9xBiosWindow, kReq9xIntelRatio}) EXPECT_EQ(Ask(code, 0).first, 122u) << code;
    // Addresses in the system arena (unmapped here: a write would crash the test).
    auto* word = reinterpret_cast<uint32_t*>(system->arena);
    for (uint32_t code : {kReq9xBiosWindow, kReq9xIntelRatio}) {
        EXPECT_EQ(device->IoControl(code, reinterpret_cast<void*>(0xC0001000u), 4, nullptr).eax, 87u) << code;
        EXPECT_EQ(device->IoControl(code, nullptr, 4, nullptr).eax, 87u) << code;
        EXPECT_EQ(device->IoControl(code, word, 4, reinterpret_cast<uint32_t*>(0xFFFFFFF0u)).eax, 87u) << code;
    }
    EXPECT_EQ(system->msrReads, 0u);
}

TEST_F(Device, ReadsTheConfigurationWordOnlyWhereTheRegisterExists) {
    struct Case {
        const char* name;
        EmulatedCpu cpu;
        uint32_t request;
        bool answers;
    };
    EmulatedCpu noCpuid = Processor("GenuineIntel", 0x683, kFeatures, kWord);
    noCpuid.hasCpuid = false;
    EmulatedCpu noLeaf1 = Processor("GenuineIntel", 0x683, kFeatures, kWord);
    noLeaf1.leaves[0].eax = 0;
    const Case cases[] = {
        {"Pentium Pro/II/III", Processor("GenuineIntel", 0x683, kFeatures, kWord), kReq9xIntelRatio, true},
        {"Pentium 4", Processor("GenuineIntel", 0xF24, kFeatures, kWord), kReq9xIntelRatio, true},
        {"Athlon", Processor("AuthenticAMD", 0x642, kFeatures, kWord), kReq9xAmdRatio, true},
        {"Pentium MMX", Processor("GenuineIntel", 0x543, kFeatures, std::nullopt), kReq9xIntelRatio, false},
        {"P6 without MSRs", Processor("GenuineIntel", 0x683, kFeatures & ~VC_CPUID_FEATURE_MSR, kWord), kReq9xIntelRatio,
         false},
        {"486 without CPUID", noCpuid, kReq9xIntelRatio, false},
        {"no leaf 1", noLeaf1, kReq9xIntelRatio, false},
        {"Athlon asked as Intel", Processor("AuthenticAMD", 0x642, kFeatures, kWord), kReq9xIntelRatio, false},
        {"Pentium II asked as AMD", Processor("GenuineIntel", 0x683, kFeatures, kWord), kReq9xAmdRatio, false},
        {"Athlon 64", Processor("AuthenticAMD", 0xF48, kFeatures, std::nullopt), kReq9xAmdRatio, false},
        {"K6-2", Processor("AuthenticAMD", 0x58C, kFeatures, std::nullopt), kReq9xAmdRatio, false},
        {"VIA C3", Processor("CentaurHauls", 0x673, kFeatures, std::nullopt), kReq9xIntelRatio, false},
    };
    for (const Case& c : cases) {
        system->cpu = c.cpu;
        system->msrReads = system->cpuidCount = 0;
        const auto [code, word] = Ask(c.request);
        EXPECT_EQ(code, c.answers ? 0u : 50u) << c.name;
        EXPECT_EQ(word, c.answers ? kWord : kUntouched) << c.name;
        EXPECT_EQ(system->msrReads, c.answers ? 1u : 0u) << c.name;
        if (!c.cpu.hasCpuid) {
            EXPECT_EQ(system->cpuidCount, 0u) << c.name;
        }
    }
}

TEST_F(Device, AnswersTheWindowOnlyWhenEveryPageIsTheBiosForRing3) {
    const uint32_t good = system->pageTable[0xF7];
    const std::pair<const char*, uint32_t> changes[] = {
        {"supervisor page", good & ~VXD_PTE_USER},
        {"not present", good & ~VXD_PTE_PRESENT},
        {"other memory", (good & ~VXD_PTE_FRAME) | 0x50000},
    };
    for (const auto& [name, entry] : changes) {
        system->pageTable[0xF7] = entry;
        EXPECT_EQ(Ask(kReq9xBiosWindow), std::make_pair(50u, kUntouched)) << name;
    }
    system->pageTable[0xF7] = good;
    EXPECT_EQ(Ask(kReq9xBiosWindow).first, 0u);
}

// The program's detection as Windows 98 on the default simulated board,
// with Map9X.vxd, not the simulator's driver, answering its requests.
struct ProgramOn98 {
    explicit ProgramOn98(bool userWindow) {
        auto description = *sim::DefaultMachineDescription().description;
        description.time.mode = sim::TimeMode::Virtual;
        description.os = sim::OsDescription{kPlatformWin9x, 4, 10};
        board = std::make_unique<sim::SimMachine>(description);
        // The simulator's own 9x driver shows what the board holds.
        const DeviceHandle h = board->OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic);
        uint32_t window = 0;
        RequestWord(*board, h, kReq9xBiosWindow, window);
        RequestWord(*board, h, kReq9xIntelRatio, word);
        board->CloseDevice(h);
        const auto bios = board->ResolveBiosWindow(window);
        system = std::make_unique<EmulatedSystem>(bios, error);
        system->cpu.leaves = {{0, board->Cpuid(0)}, {1, board->Cpuid(1)}};
        system->cpu.configWord = word;
        if (!userWindow) system->pageTable[0xFF] &= ~VXD_PTE_USER;
        platform = std::make_unique<HarnessPlatform>(*board, *system, DeviceFile());
        ctx = std::make_unique<Context>(Context{Machine{*platform, *board, *board}, shell, kOsOther, VC_SOURCE_DIR "/data"});
    }
    std::string error;
    uint32_t word = 0;
    std::unique_ptr<sim::SimMachine> board;
    std::unique_ptr<EmulatedSystem> system;
    std::unique_ptr<HarnessPlatform> platform;
    test::RecordingShell shell;
    std::unique_ptr<Context> ctx;
    SystemInfo info;
};

TEST(Map9xProgram, DetectionOn98RecognisesTheBoardThroughTheDevice) {
    ProgramOn98 p(true);
    ASSERT_TRUE(p.error.empty()) << p.error;
    ASSERT_EQ(DetectSystem(p.info, *p.ctx), 1) << ::testing::PrintToString(p.shell.Texts());
    EXPECT_EQ(p.ctx->osKind, kOsWin9x);
    EXPECT_STREQ(p.info.board.biosId, "6BXE-R1.2");
    EXPECT_EQ(p.info.addressInfo, p.word);
    EXPECT_EQ(p.info.cpu.multiplier, 5.0);
    // The window, then the word, on the one device the program opened and
    // keeps; it goes when the process ends.
    EXPECT_EQ(p.platform->loads, 1u);
    EXPECT_GE(p.platform->requests, 2u);
    EXPECT_EQ(p.platform->OpenCount(), 1u);
    p.platform->CloseAll();
    EXPECT_EQ(p.platform->OpenCount(), 0u);
    EXPECT_TRUE(p.platform->lifecycleFaults.empty()) << ::testing::PrintToString(p.platform->lifecycleFaults);
    EXPECT_TRUE(p.system->violations.empty()) << ::testing::PrintToString(p.system->violations);
    EXPECT_EQ(p.system->msrReads, 1u);
}

// The unload at close matches the open name against the descriptor's, case
// and all: a device opened under another spelling would stay loaded.
TEST(Map9xProgram, TheProgramOpensTheNameTheDescriptorCarries) {
    ProgramOn98 p(true);
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_STREQ(kWin9xDriverName, "\\\\.\\MAP9X.VXD");
    EXPECT_EQ(p.platform->OpenDevice("\\\\.\\Map9X.vxd", DeviceOpenMode::Win9xDynamic), kNoDevice);
    ASSERT_EQ(p.platform->lifecycleFaults.size(), 1u);
    EXPECT_NE(p.platform->lifecycleFaults[0].find("descriptor names 'MAP9X   '"), std::string::npos);
    const DeviceHandle h = p.platform->OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic);
    EXPECT_NE(h, kNoDevice);
    p.platform->CloseDevice(h);
    EXPECT_EQ(p.platform->lifecycleFaults.size(), 1u);
}

TEST(Map9xProgram, DetectionOn98FindsNoBoardWhenTheWindowIsNotForRing3) {
    ProgramOn98 p(false);
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(DetectSystem(p.info, *p.ctx), 0);
    EXPECT_EQ(p.shell.Texts(), std::vector<std::string>{kMsgScanBiosInfoFail});
    EXPECT_TRUE(p.system->violations.empty());
}

}  // namespace
}  // namespace vc::vxd
