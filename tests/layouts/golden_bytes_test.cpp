// The state files and the helper's frames against committed bytes
// (tests/layouts/golden, written from the documented layouts, not by this
// program). The suite runs in the amd64 and in the i386 build, so passing
// in both means a file one build writes, the other reads back unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../core/board/temp_dir.h"
#include "core/base/file_io.h"
#include "core/hw/driver_wire.h"
#include "core/hw/smbus_write_request.h"
#include "core/state/auto_apply_file.h"
#include "core/state/pending_startup_file.h"
#include "core/state/settings_file.h"

namespace vc {
namespace {

std::vector<uint8_t> Golden(const std::string& name) {
    const auto bytes = ReadFileBytes(std::string(VC_SOURCE_DIR) + "/tests/layouts/golden/" + name, 4096);
    EXPECT_TRUE(bytes.has_value()) << name;
    return bytes.value_or(std::vector<uint8_t>{});
}

void Bios(char (&field)[kTextFieldSize]) { std::strncpy(field, "6BXE-R1.2", kTextFieldSize); }

TEST(GoldenBytes, SysinfoDat) {
    SavedSetting setting;
    setting.index = 7;
    setting.signature = 0x683;
    setting.multiplier = 5.5;
    Bios(setting.biosId);
    EXPECT_EQ(EncodeSetting(setting), Golden("sysinfo.dat"));
    const auto read = DecodeSetting(Golden("sysinfo.dat"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->index, 7);
    EXPECT_EQ(read->signature, 0x683);
    EXPECT_EQ(read->multiplier, 5.5);
    EXPECT_STREQ(read->biosId, "6BXE-R1.2");
}

TEST(GoldenBytes, PendingDatThroughTheFile) {
    PendingStartup pending;
    pending.index = 3;
    pending.source = 2;
    pending.busMHz = 133.5;
    Bios(pending.biosId);
    test::TempDir dir;
    ASSERT_TRUE(WritePendingStartup(dir.Path(), pending));
    EXPECT_EQ(ReadFileBytes(dir.File("pending.dat"), 4096), Golden("pending.dat"));

    dir.Write("pending.dat", Golden("pending.dat"));
    const PendingStartupFound found = ReadPendingStartup(dir.Path());
    ASSERT_TRUE(found.present && found.record.has_value());
    EXPECT_EQ(found.record->index, 3);
    EXPECT_EQ(found.record->source, 2);
    EXPECT_EQ(found.record->busMHz, 133.5);
    EXPECT_STREQ(found.record->biosId, "6BXE-R1.2");
}

TEST(GoldenBytes, SaveDatThroughTheFile) {
    test::TempDir dir;
    ASSERT_EQ(WriteAutoApplySettings(dir.Path(), {kAutoApplyYes, kAutoApplySourceOptimal}), 1);
    EXPECT_EQ(ReadFileBytes(dir.File("save.dat"), 4096), Golden("save.dat"));

    dir.Write("save.dat", Golden("save.dat"));
    AutoApplySettings read;
    ASSERT_EQ(ReadAutoApplySettings(dir.Path(), read), 1);
    EXPECT_EQ(read.autoApply, kAutoApplyYes);
    EXPECT_EQ(read.autoApplySource, kAutoApplySourceOptimal);
}

TEST(GoldenBytes, HelperRequestAndResponseFrames) {
    const WireRequest request{0x0022E004, {1, 2, 3, 4, 5}, 32, {0xAA, 0xBB}};
    EXPECT_EQ(EncodeWireRequest(request), Golden("request.bin"));
    const std::vector<uint8_t> frame = Golden("request.bin");
    WireRequestHeader header;
    std::string why;
    ASSERT_TRUE(DecodeWireRequestHeader(std::span(frame).first(kWireHeaderSize), header, why)) << why;
    EXPECT_EQ(header.code, 0x0022E004u);
    EXPECT_EQ(header.inputLength, 5u);
    EXPECT_EQ(header.outputLength, 32u);
    EXPECT_EQ(header.referencedLength, 2u);

    EXPECT_EQ(EncodeWireResponse({true, {9, 8, 7}}), Golden("response.bin"));
    const std::vector<uint8_t> answer = Golden("response.bin");
    bool ok = false;
    uint32_t length = 0;
    ASSERT_TRUE(DecodeWireResponseHeader(std::span(answer).first(kWireResponseHeaderSize), 32, ok, length));
    EXPECT_TRUE(ok);
    EXPECT_EQ(length, 3u);
}

TEST(GoldenBytes, SmbusWriteRequest) {
    SmbusAccess access;
    access.ioBase = 0x5000;
    access.operation = kSmbusOperationBlockWrite;
    access.controllerKind = kSmbusControllerBlockBuffer;
    access.writeAddress = 0xD2;
    access.firstByteMask = 0x40;
    const auto bytes = EncodeSmbusWriteRequest(access, 7);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), Golden("smbus_write.bin"));

    SmbusWriteRequest read;
    ASSERT_TRUE(ParseSmbusWriteRequest(Golden("smbus_write.bin"), read));
    EXPECT_EQ(read.ioBase, 0x5000u);
    EXPECT_EQ(read.count, 7u);
    EXPECT_EQ(read.dataAddress, kDataAddressToken);
    EXPECT_EQ(read.operation, 2u);
    EXPECT_EQ(read.controllerKind, 1u);
    EXPECT_EQ(read.writeAddress, 0xD2u);
    EXPECT_EQ(read.firstByteMask, 0x40u);
}

}  // namespace
}  // namespace vc
