// The VIA boards of the catalogue end to end through vcctl: the 686B board
// on 9x (the program on its own ports), the 8233 and 596B boards on Windows
// 2000 (the driver's requests), each found through PCI, written and
// verified, and board-id naming the VIA controller.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "printed_fields.h"
#include "subprocess.h"

namespace vc::test {
namespace {

struct ViaBoard {
    const char* machine;
    const char* base;        // as the machine puts it
    const char* controller;  // what board-id says after the base
};

class ViaBoardTest : public ::testing::TestWithParam<ViaBoard> {};

TEST_P(ViaBoardTest, WritesThroughTheViaBaseAndVerifies) {
    const ViaBoard& b = GetParam();
    const std::string data = std::string(VC_SOURCE_DIR) + "/data";
    const Finished apply =
        RunToEnd({VC_VCCTL_PATH, "--machine", b.machine, "--dir", data, "detect", "next", "apply", "trace"});
    ASSERT_EQ(apply.exitCode, 0) << apply.err;
    auto fields = Fields(apply.out);
    EXPECT_EQ(fields["verify.ok"], "yes");
    EXPECT_NE(apply.out.find(" accepted bus="), std::string::npos) << apply.out;

    const Finished id = RunToEnd({VC_VCCTL_PATH, "--machine", b.machine, "--dir", data, "board-id"});
    fields = Fields(id.out);
    EXPECT_EQ(fields["board-id.controller"], std::string("kind=1 base=") + b.base + " " + b.controller) << id.out;
    EXPECT_EQ(fields["board-id.chip"], "ICS9250-18");
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ViaBoardTest,
                         ::testing::Values(ViaBoard{"win98-cuv4xls", "0x5000", "pci=00:07.4 id=1106:3057 (VT82C686)"},
                                           ViaBoard{"win2000-v33t", "0xE400", "pci=00:07.0 id=1106:3074 (VT8233)"},
                                           ViaBoard{"win2000-p3v4x", "0xE800", "pci=00:07.3 id=1106:3051 (VT82C596B)"}));

// A VIA power-management function reads 0 in its PCI command register while
// its SMBus works; only host configuration 0xD2 bit 0 says the host is on.
// The two VIA boards of the issue on both paths (the program on its own
// ports on 9x, the driver's requests on Windows 2000): with the command
// register 0 they write, with the host-enable bit clear detection refuses
// the disabled controller and nothing is applied.
struct ViaPath {
    const char* machine;
    int osKind;
};

void PrintTo(const ViaPath& v, std::ostream* os) { *os << v.machine << " as os.kind " << v.osKind; }

class ViaEnableTest : public ::testing::TestWithParam<ViaPath> {
protected:
    // The catalogue machine on another system, with `extra` lines.
    std::string Machine(const std::string& extra) const {
        const ViaPath& v = GetParam();
        std::ifstream in(std::string(VC_SOURCE_DIR) + "/machines/" + v.machine + ".machine");
        std::stringstream whole;
        whole << in.rdbuf();
        std::string text = whole.str();
        const size_t os = text.find("os.kind = ");
        text.replace(os, text.find('\n', os) - os, "os.kind = " + std::to_string(v.osKind));
        const std::string path = ::testing::TempDir() + "via-" + v.machine + "-" + std::to_string(v.osKind) +
                                 (extra.empty() ? "" : "-off") + ".machine";
        std::ofstream(path) << text << extra;
        return path;
    }
};

TEST_P(ViaEnableTest, TheHostEnableBitAloneDecides) {
    const std::string data = std::string(VC_SOURCE_DIR) + "/data";
    const Finished on = RunToEnd({VC_VCCTL_PATH, "--machine", Machine(""), "--dir", data, "detect", "next", "apply",
                                  "trace"});
    ASSERT_EQ(on.exitCode, 0) << on.err;
    EXPECT_EQ(Fields(on.out)["verify.ok"], "yes");
    EXPECT_NE(on.out.find(" accepted bus="), std::string::npos) << on.out;

    const Finished off = RunToEnd({VC_VCCTL_PATH, "--machine", Machine("board.smbusHostEnable = no\n"), "--dir",
                                   data, "detect", "next", "apply", "trace"});
    EXPECT_EQ(off.exitCode, 3);
    EXPECT_NE(off.err.find("Message: The board's SMBus controller is disabled"), std::string::npos) << off.err;
    EXPECT_EQ(Fields(off.out).count("verify.ok"), 0U) << off.out;
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ViaEnableTest,
                         ::testing::Values(ViaPath{"win98-cuv4xls", 1}, ViaPath{"win98-cuv4xls", 3},
                                           ViaPath{"win2000-p3v4x", 1}, ViaPath{"win2000-p3v4x", 3}),
                         [](const auto& param) {
                             std::string name = std::string(param.param.machine) + "_os" +
                                                std::to_string(param.param.osKind);
                             for (char& c : name) c = c == '-' ? '_' : c;
                             return name;
                         });

}  // namespace
}  // namespace vc::test
