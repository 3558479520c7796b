// The real boards' records against what their BIOS images hold in the
// search area (facts read from the images, written down here apart from the
// database): each window is recognised as its board's, and no other record
// of the shipped database matches it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/base/text_field.h"
#include "core/board/database.h"
#include "core/hw/bios_window.h"

namespace vc {
namespace {

struct Placed {
    uint32_t address;  // physical, in F000:0000-FFFF
    const char* text;
};

struct ImageFacts {
    const char* record;
    std::vector<Placed> texts;
};

const ImageFacts kImages[] = {
    {"CUBX", {{0xFE0C1, "ASUS CUBX ACPI BIOS Revision 1008 Beta 004"}, {0xFEC71, "10/15/2001-i440BX-<CUBX>"}}},
    {"P3B-F", {{0xFE0C1, "ASUS P3B-F ACPI BIOS Revision 1008 Beta 004"}}},
    {"CUSL2-C", {{0xFE0C1, "ASUS CUSL2-C ACPI BIOS Revision 1014 Beta 001"}, {0xFEC71, "09/20/2002-I815EP-CUSL2-C"}}},
    {"ATC6400GX", {{0xFF582, "P/N FW - ATC6400GX/150 VER:1.2 11 WB"}, {0xFD100, "ATC-6400"}}},
    {"TSS0", {{0xFE0C1, "TSS0518B"}, {0xFEC71, "04/25/2001-i815-PC87366-6A69RB0AC-00"}}},
    {"TSS0", {{0xFE0C1, "TSS0619F"}}},
    {"TSL0", {{0xFE0C1, "TSL0425F"}, {0xFE6D0, "BIOSTAR"}, {0xFEC89, "6A69RB0A"}}},
    {"P3V133", {{0xFE0C1, "ASUS P3V133 ACPI BIOS Revision 1003 Beta 002"}, {0xFEC71, "12/23/1999-VT693A-596B-P3V133"}}},
    {"P3V4X", {{0xFE0C1, "ASUS P3V4X ACPI BIOS Revision 1006 Beta 004"}, {0xFEC71, "11/10/2003-VT694X-P3V4X"}}},
    {"CUV4X-LS", {{0xFE0C1, "ASUS CUV4X-LS ACPI BIOS Revision 1005LS Beta 001"}, {0xFEC71, "09/05/2002-VT694X-CUV4X-LS"}}},
};

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<BoardRecord> ShippedBoards() {
    Database db;
    std::vector<std::string> problems;
    DecodeBoardFile(ReadAll(std::string(VC_SOURCE_DIR) + "/data/MBInfo.dat"), db, problems, problems);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
    return db.boards;
}

TEST(VerifiedBoards, EachImageIsRecognisedAsItsBoardAndNoOther) {
    const auto boards = ShippedBoards();
    for (const ImageFacts& image : kImages) {
        SCOPED_TRACE(image.record);
        std::vector<uint8_t> window(0x10000, 0xFF);
        for (const Placed& p : image.texts) std::memcpy(window.data() + (p.address - 0xF0000), p.text, std::strlen(p.text));
        std::vector<std::string> matching;
        for (const BoardRecord& board : boards) {
            if (BiosWindowHolds(window, board.biosId)) matching.push_back(FieldText(board.biosId));
        }
        EXPECT_EQ(matching, std::vector<std::string>{image.record});
    }
}

// An HP NetServer E 200 BIOS for the P3V133's board holds other texts: not
// recognised as a P3V133, nor as anything else.
TEST(VerifiedBoards, AnImageWithoutTheStringIsNoBoardOfTheDatabase) {
    std::vector<uint8_t> window(0x10000, 0xFF);
    const char* texts[] = {"HP NetServer E 200 0.18", "07/25/2000-VT693A-596B-EAGLE2"};
    std::memcpy(window.data() + 0xE0C1, texts[0], std::strlen(texts[0]));
    std::memcpy(window.data() + 0xEC71, texts[1], std::strlen(texts[1]));
    for (const BoardRecord& board : ShippedBoards()) {
        EXPECT_FALSE(BiosWindowHolds(window, board.biosId)) << FieldText(board.biosId);
    }
}

}  // namespace
}  // namespace vc
