#include "core/ui/bmp_codec.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <functional>

#include "core/board/temp_dir.h"
#include "picture_builders.h"

namespace vc::ui {
namespace {

using test::PatternSurface;

// --- round trip ---------------------------------------------------------------

class BmpRoundTrip : public ::testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(BmpRoundTrip, DecodesWhatWasEncoded) {
    const auto [width, height] = GetParam();
    const Surface original = PatternSurface(width, height);
    const auto bytes = EncodeBmp(original);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    ASSERT_EQ(bytes.size(), 54 + stride * static_cast<size_t>(height));
    Surface decoded;
    std::string error;
    ASSERT_EQ(DecodeBmp(bytes, "x.bmp", decoded, error), 1) << error;
    EXPECT_EQ(decoded, original);
}

// Widths 1 to 5 give every amount of row padding (3, 2, 1, 0, 1 bytes).
INSTANTIATE_TEST_SUITE_P(Sizes, BmpRoundTrip,
                         ::testing::Values(std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 2},
                                           std::pair{4, 4}, std::pair{5, 7}, std::pair{526, 216}));

TEST(BmpWriter, WritesTheBottomRowFirstInBlueGreenRedOrderWithZeroPadding) {
    Surface picture(1, 2);
    picture.Set(0, 0, Rgb(1, 2, 3));  // top row
    picture.Set(0, 1, Rgb(4, 5, 6));  // bottom row
    const auto bytes = EncodeBmp(picture);
    ASSERT_EQ(bytes.size(), 54u + 2 * 4);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(GetLe32(bytes, 2), 62u);   // file size
    EXPECT_EQ(GetLe32(bytes, 10), 54u);  // pixel offset
    EXPECT_EQ(GetLe32(bytes, 14), 40u);  // information header
    EXPECT_EQ(GetLe32(bytes, 22), 2u);   // positive height: bottom-up
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(GetLe32(bytes, 30), 0u);  // uncompressed
    const std::vector<uint8_t> pixels(bytes.begin() + 54, bytes.end());
    EXPECT_EQ(pixels, (std::vector<uint8_t>{6, 5, 4, 0, 3, 2, 1, 0}));
}

TEST(BmpWriter, RefusesAnEmptyPicture) {
    EXPECT_TRUE(EncodeBmp(Surface()).empty());
    vc::test::TempDir dir;
    std::string error;
    EXPECT_EQ(WriteBmpFile(dir.File("e.bmp"), Surface(), error), 0);
    EXPECT_NE(error.find("e.bmp"), std::string::npos);
}

// --- other layouts the reader accepts --------------------------------------------

TEST(BmpReader, ReadsTopDownAnd32BitPicturesAndLongerHeaders) {
    const Surface original = PatternSurface(3, 4);
    struct Case {
        int bits;
        bool topDown;
        uint32_t infoSize;
    };
    for (const Case c : {Case{32, false, 40}, Case{24, true, 40}, Case{32, true, 124}, Case{24, false, 108}}) {
        const auto bytes = test::BuildBmp(original, c.bits, c.topDown, c.infoSize);
        Surface decoded;
        std::string error;
        ASSERT_EQ(DecodeBmp(bytes, "x.bmp", decoded, error), 1) << error;
        EXPECT_EQ(decoded, original) << c.bits << " bits, top-down " << c.topDown;
    }
}

TEST(BmpReader, ReadsPixelDataPlacedAfterAGap) {
    const Surface original = PatternSurface(2, 2);
    auto bytes = EncodeBmp(original);
    bytes.insert(bytes.begin() + 54, 10, uint8_t{0xAA});
    PutLe32(bytes, 10, 64);
    Surface decoded;
    std::string error;
    ASSERT_EQ(DecodeBmp(bytes, "x.bmp", decoded, error), 1) << error;
    EXPECT_EQ(decoded, original);
}

// --- malformed files ----------------------------------------------------------------

struct Malformed {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* problem;  // part of the message
};

void PrintTo(const Malformed& c, std::ostream* os) { *os << c.what << " -> " << c.problem; }

class BmpMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(BmpMalformed, IsRefusedWithAMessageNamingTheFileAndTheProblem) {
    auto bytes = EncodeBmp(PatternSurface(3, 2));
    GetParam().damage(bytes);
    const Surface before = PatternSurface(1, 1);
    Surface picture = before;
    std::string error;
    EXPECT_EQ(DecodeBmp(bytes, "pictures/7.bmp", picture, error), 0);
    EXPECT_EQ(error.rfind("pictures/7.bmp: ", 0), 0u) << error;
    EXPECT_NE(error.find(GetParam().problem), std::string::npos) << error;
    EXPECT_EQ(picture, before);
}

void Truncate(std::vector<uint8_t>& b, size_t size) { b.resize(size); }

INSTANTIATE_TEST_SUITE_P(
    Files, BmpMalformed,
    ::testing::Values(
        Malformed{"Empty", [](auto& b) { Truncate(b, 0); }, "too short"},
        Malformed{"FileHeaderCut", [](auto& b) { Truncate(b, 13); }, "too short for the file header"},
        Malformed{"InfoHeaderCut", [](auto& b) { Truncate(b, 30); }, "information header"},
        Malformed{"BadMagic", [](auto& b) { b[1] = 'A'; }, "no BM signature"},
        Malformed{"InfoHeaderTooSmall", [](auto& b) { PutLe32(b, 14, 12); }, "at least 40"},
        Malformed{"InfoHeaderPastEnd", [](auto& b) { PutLe32(b, 14, 0xFFFFFFF0u); }, "past the end"},
        Malformed{"EightBits", [](auto& b) { b[28] = 8; }, "8 bits per pixel"},
        Malformed{"SixteenBits", [](auto& b) { b[28] = 16; }, "16 bits per pixel"},
        Malformed{"Compressed", [](auto& b) { PutLe32(b, 30, 1); }, "compression 1"},
        Malformed{"TwoPlanes", [](auto& b) { b[26] = 2; }, "plane count 2"},
        Malformed{"ZeroWidth", [](auto& b) { PutLe32(b, 18, 0); }, "width 0"},
        Malformed{"NegativeWidth", [](auto& b) { PutLe32(b, 18, 0xFFFFFFFFu); }, "width -1"},
        Malformed{"HugeWidth", [](auto& b) { PutLe32(b, 18, 0x40000000u); }, "out of range"},
        Malformed{"ZeroHeight", [](auto& b) { PutLe32(b, 22, 0); }, "height 0"},
        Malformed{"MostNegativeHeight", [](auto& b) { PutLe32(b, 22, 0x80000000u); }, "out of range"},
        // Sizes whose product would overflow 32 bits still fit no file.
        Malformed{"WideAndTall",
                  [](auto& b) {
                      PutLe32(b, 18, 16384);
                      PutLe32(b, 22, 16384);
                  },
                  "pixel data needs"},
        Malformed{"OffsetInsideHeaders", [](auto& b) { PutLe32(b, 10, 20); }, "inside the headers"},
        Malformed{"OffsetPastEnd", [](auto& b) { PutLe32(b, 10, 0xFFFFFFF0u); }, "pixel data needs"},
        Malformed{"PixelsCut", [](auto& b) { b.pop_back(); }, "pixel data needs"}),
    [](const auto& p) { return std::string(p.param.what); });

// --- files -----------------------------------------------------------------------

TEST(BmpFiles, WriteThenReadGivesThePictureBack) {
    vc::test::TempDir dir;
    const Surface original = PatternSurface(7, 5);
    std::string error;
    ASSERT_EQ(WriteBmpFile(dir.File("136.bmp"), original, error), 1) << error;
    Surface read;
    ASSERT_EQ(ReadBmpFile(dir.File("136.bmp"), read, error), 1) << error;
    EXPECT_EQ(read, original);
}

TEST(BmpFiles, MissingAndUnwritablePathsAreNamed) {
    vc::test::TempDir dir;
    Surface picture;
    std::string error;
    EXPECT_EQ(ReadBmpFile(dir.File("nothing.bmp"), picture, error), 0);
    EXPECT_EQ(error, dir.File("nothing.bmp") + ": cannot be opened");
    EXPECT_EQ(WriteBmpFile(dir.File("no/such/dir.bmp"), PatternSurface(1, 1), error), 0);
    EXPECT_NE(error.find("no/such/dir.bmp"), std::string::npos);
}

}  // namespace
}  // namespace vc::ui
