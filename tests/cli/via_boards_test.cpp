// The VIA boards of the catalogue end to end through vcctl: the 686B board
// on 9x (the program on its own ports) and the 8233 board on Windows 2000
// (the driver's requests), each found through PCI, written and verified,
// and board-id naming the VIA controller.
#include <gtest/gtest.h>

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
                                           ViaBoard{"win2000-v33t", "0xE400", "pci=00:07.0 id=1106:3074 (VT8233)"}));

}  // namespace
}  // namespace vc::test
