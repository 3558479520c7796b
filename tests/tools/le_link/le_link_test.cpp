// The LE writer and reader on the device the build links (Map9X.vxd from
// map9x.o): it reads back as linked, every one-byte change to a fixup
// record or the descriptor block is caught, bad input is named, and a field
// across a page boundary survives the round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "elf_input.h"
#include "le_reader.h"
#include "le_writer.h"

namespace vc::le {
namespace {

std::vector<uint8_t> ReadAll(const char* path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* in = std::fopen(path, "rb")) {
        uint8_t block[4096];
        for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) bytes.insert(bytes.end(), block, block + got);
        std::fclose(in);
    }
    return bytes;
}

uint32_t At32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct Built : ::testing::Test {
    void SetUp() override {
        file = ReadAll(VC_MAP9X_VXD);
        ASSERT_FALSE(file.empty());
        const auto result = LinkElfObject(ReadAll(VC_MAP9X_OBJECT), "MAP9X", "VelocoreIII BIOS window and configuration word");
        ASSERT_TRUE(result.ok()) << result.error;
        linked = result.module;
    }
    // A change the reader lets through unchanged would reach the loader.
    bool Caught(const std::vector<uint8_t>& bytes) const {
        const ReadResult r = ReadLe(bytes);
        return !r.ok() || !(r.module == linked);
    }
    std::vector<uint8_t> file;
    Module linked;
};

TEST_F(Built, ReadsBackAsLinkedWithTheDescriptorByOrdinalOne) {
    const ReadResult r = ReadLe(file);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.module, linked);
    EXPECT_EQ(r.module.name, "MAP9X");
    EXPECT_EQ(r.module.descriptor.name, "MAP9X_DDB");
    ASSERT_EQ(r.module.objects.size(), 2u);
    EXPECT_EQ(r.module.objects[0].flags, 0x2045u);  // code: readable, executable, preload, 32-bit
    EXPECT_EQ(r.module.objects[1].flags, 0x2043u);  // data: readable, writable, preload, 32-bit
    EXPECT_EQ(r.module.descriptor.object, 2u);
    // The control procedure's address in the descriptor is a fixup into the code.
    const auto& data = r.module.objects[1];
    const auto control = std::find_if(data.fixups.begin(), data.fixups.end(), [&](const Fixup& f) {
        return f.sourceOffset == r.module.descriptor.offset + 0x18;
    });
    ASSERT_NE(control, data.fixups.end());
    EXPECT_EQ(control->targetObject, 1u);
    // Header words the 9x loader checks: "LE", 386, Windows 386, a VxD.
    const uint32_t header = At32(file, 0x3C);
    EXPECT_EQ(file[header], 'L');
    EXPECT_EQ(file[header + 1], 'E');
    EXPECT_EQ(file[header + 8], 2);
    EXPECT_EQ(file[header + 0x0A], 4);
    EXPECT_EQ(At32(file, header + 0x10), 0x00038000u);
}

// The descriptor's signatures as the DDK's assembler constants store them
// ('Prev' is 0x50726576: the bytes "verP"), and ordinal 1's entry flags as
// the open linkers write a 32-bit entry (0x01, exported); 0x03 is refused.
TEST_F(Built, SignaturesAndEntryFlagsAreWhatTheDdkAndTheOpenLinkersWrite) {
    const uint32_t header = At32(file, 0x3C);
    const ReadResult r = ReadLe(file);
    ASSERT_TRUE(r.ok()) << r.error;
    const auto& ddb = r.module.objects[r.module.descriptor.object - 1].bytes;
    const size_t at = r.module.descriptor.offset;
    EXPECT_EQ(std::string(ddb.begin() + at + 0x3C, ddb.begin() + at + 0x40), "verP");
    EXPECT_EQ(std::string(ddb.begin() + at + 0x44, ddb.begin() + at + 0x48), "1vsR");
    EXPECT_EQ(std::string(ddb.begin() + at + 0x4C, ddb.begin() + at + 0x50), "3vsR");
    const size_t entryFlags = header + At32(file, header + 0x5C) + 4;  // count, type, object word, flags
    EXPECT_EQ(file[entryFlags], 0x01);
    auto shared = file;
    shared[entryFlags] = 0x03;
    const ReadResult refused = ReadLe(shared);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.error.find("entry flags are 0x3,"), std::string::npos) << refused.error;
}

TEST_F(Built, EveryOneByteChangeToAFixupRecordOrTheDescriptorIsCaught) {
    const uint32_t header = At32(file, 0x3C);
    std::vector<size_t> positions;
    for (size_t at = header + At32(file, header + 0x6C); at < header + At32(file, header + 0x70); ++at)
        positions.push_back(at);  // the fixup records
    ASSERT_GE(positions.size(), 7u);  // at least the descriptor's control procedure
    const ReadResult r = ReadLe(file);
    ASSERT_TRUE(r.ok());
    const uint32_t dataPage = At32(file, header + 0x80) + static_cast<uint32_t>(r.module.objects[0].bytes.size() / 0x1000 +
                                                                                (r.module.objects[0].bytes.size() % 0x1000 != 0)) * 0x1000;
    for (size_t at = 0; at < 0x50; ++at) positions.push_back(dataPage + r.module.descriptor.offset + at);
    for (size_t at : positions) {
        for (uint8_t flip : {0x01, 0x80}) {
            auto changed = file;
            changed[at] ^= flip;
            EXPECT_TRUE(Caught(changed)) << "byte at 0x" << std::hex << at << " ^ 0x" << int(flip);
        }
    }
}

TEST_F(Built, BadFilesAreRefusedWithWhatIsWrong) {
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> change;
        const char* message;
    };
    const uint32_t header = At32(file, 0x3C);
    const Case cases[] = {
        {"no stub", [](auto& b) { b[0] = 'X'; }, "'MZ'"},
        {"header past the end", [&](auto& b) { b[0x3C] = 0xF0; b[0x3D] = 0xFF; }, "outside the file"},
        {"not LE", [&](auto& b) { b[header + 1] = 'X'; }, "'LE'"},
        {"not a device", [&](auto& b) { b[header + 0x12] = 0; }, "virtual device"},
        {"truncated", [](auto& b) { b.resize(b.size() / 2); }, "outside the file"},
        {"an import", [&](auto& b) { b[header + 0x74] = 1; }, "imports"},
        {"loader size", [&](auto& b) { b[header + 0x38] ^= 4; }, "loader section size"},
        {"page map", [&](auto& b) { b[header + At32(b, header + 0x48) + 2] = 7; }, "page map entry 1"},
        {"fixup page table", [&](auto& b) { b[header + At32(b, header + 0x68) + 4] ^= 0x40; }, "fixup"},
    };
    for (const Case& c : cases) {
        auto changed = file;
        c.change(changed);
        const ReadResult r = ReadLe(changed);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << c.name << ": " << r.error;
    }
    EXPECT_NE(LinkElfObject(file, "MAP9X", "").error.find("not an ELF file"), std::string::npos);
    EXPECT_NE(LinkElfObject(ReadAll(VC_MAP9X_OBJECT), "OTHER", "").error.find("no symbol 'OTHER_DDB'"), std::string::npos);
}

TEST_F(Built, AFieldAcrossAPageBoundaryTakesARecordOnEachPage) {
    Module module = linked;
    Object& code = module.objects[0];
    code.virtualSize = 0x2000;
    code.bytes.resize(0x2000, 0x90);
    for (uint32_t at : {0xFFEu, 0x1FFCu}) {
        std::fill_n(code.bytes.begin() + at, 4, 0);
        code.fixups.push_back(Fixup{at, 2, 0x40});
    }
    std::string error;
    const auto bytes = WriteLe(module, error);
    ASSERT_TRUE(error.empty()) << error;
    const ReadResult r = ReadLe(bytes);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.module, module);
    size_t fixups = 0;
    for (const auto& o : module.objects) fixups += o.fixups.size();
    EXPECT_EQ(r.fixupRecordCount, fixups + 1);  // the crossing field has two records
}

// Objects assembled from tests/tools/le_link/objects, linked as "TESTDEV".
LinkResult LinkTestObject(const char* name) {
    return LinkElfObject(ReadAll((std::string(VC_LE_TEST_OBJECTS "/") + name + ".o").c_str()), "TESTDEV", "test");
}

TEST(LinkElfObject, PutsEachReferenceWhereTheObjectSays) {
    const LinkResult r = LinkTestObject("valid");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.module.objects.size(), 2u);
    const Object& code = r.module.objects[0];
    const Object& data = r.module.objects[1];
    // movl $table+4, %eax: table is data offset 4, the field code offset 1.
    EXPECT_EQ(code.fixups, (std::vector<Fixup>{{1, 2, 8}}));
    // call helper: helper's section is aligned to 16 behind the 11 bytes of .text.
    EXPECT_EQ(code.virtualSize, 17u);
    EXPECT_EQ(std::vector<uint8_t>(code.bytes.begin(), code.bytes.begin() + 11),
              (std::vector<uint8_t>{0xB8, 0, 0, 0, 0, 0xE8, 0x06, 0, 0, 0, 0xC3}));
    // The descriptor follows 12 bytes of data; its control procedure is code offset 0.
    EXPECT_EQ(r.module.descriptor, (Export{"TESTDEV_DDB", 2, 12}));
    EXPECT_EQ(data.fixups, (std::vector<Fixup>{{12 + 0x18, 1, 0}}));
    EXPECT_EQ(data.virtualSize, 12u + 0x50);
}

TEST(LinkElfObject, RefusesWhatAVirtualDeviceCannotHave) {
    const std::pair<const char*, const char*> cases[] = {
        {"import", "undefined symbol 'external_service' at .text+0x1: the device imports nothing"},
        {"crossing", "the relative reference at .text+0x1 to '.data' leaves its object"},
        {"common", "common symbol 'buffer'"},
        {"misnamed", "DDB_Name is not 'TESTDEV '"},
    };
    for (const auto& [name, message] : cases) {
        const LinkResult r = LinkTestObject(name);
        EXPECT_NE(r.error.find(message), std::string::npos) << name << ": " << r.error;
    }
}

// le_link link: a failed link leaves the previous file whole and no partial one.
TEST(LeLinkProgram, AFailedLinkLeavesTheOutputAsItWas) {
    const std::string out = std::string(VC_LE_TEST_OBJECTS) + "/kept.vxd";
    {
        std::FILE* f = std::fopen(out.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("previous", f);
        std::fclose(f);
    }
    const std::string link = std::string(VC_LE_LINK) + " link --name TESTDEV --description test " + VC_LE_TEST_OBJECTS + "/";
    EXPECT_NE(std::system((link + "import.o " + out + " 2>/dev/null").c_str()), 0);
    const auto kept = ReadAll(out.c_str());
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous");
    EXPECT_TRUE(ReadAll((out + ".partial").c_str()).empty());
    ASSERT_EQ(std::system((link + "valid.o " + out).c_str()), 0);
    EXPECT_TRUE(ReadLe(ReadAll(out.c_str())).ok());
    std::remove(out.c_str());
}

}  // namespace
}  // namespace vc::le
