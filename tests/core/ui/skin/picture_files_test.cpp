// Every picture the program loads exists with exactly the size its cell or
// button needs, and the catalogue agrees with the tables that place them.
#include <gtest/gtest.h>

#include <ostream>

#include <set>
#include <string>

#include "bmp_probe.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/picture_catalogue.h"

namespace {

using skin_test::Picture;
using skin_test::ReadPicture;
using skin_test::ResourcePath;
using vc::ui::FindPicture;
using vc::ui::PictureCatalogue;

Picture Load(int number) {
    std::string error;
    Picture picture = ReadPicture(ResourcePath(std::to_string(number) + ".bmp"), error);
    EXPECT_EQ(error, "") << "picture " << number;
    return picture;
}

TEST(PictureFiles, EveryCataloguedPictureHasItsExactSize) {
    for (const auto& desc : PictureCatalogue()) {
        const Picture picture = Load(desc.number);
        EXPECT_EQ(picture.width, desc.width) << "picture " << desc.number;
        EXPECT_EQ(picture.height, desc.height) << "picture " << desc.number;
    }
}

struct NamedSize {
    int number;
    int width;
    int height;
};

// Sizes other tables fix independently of the catalogue.
void PrintTo(const NamedSize& c, std::ostream* os) { *os << c.number << ".bmp " << c.width << "x" << c.height; }

class FixedSize : public testing::TestWithParam<NamedSize> {};

TEST_P(FixedSize, CatalogueAndFileAgree) {
    const NamedSize want = GetParam();
    const auto* desc = FindPicture(want.number);
    ASSERT_NE(desc, nullptr) << "picture " << want.number << " is not catalogued";
    EXPECT_EQ(desc->width, want.width);
    EXPECT_EQ(desc->height, want.height);
    const Picture picture = Load(want.number);
    EXPECT_EQ(picture.width, want.width);
    EXPECT_EQ(picture.height, want.height);
}

INSTANTIATE_TEST_SUITE_P(
    Backgrounds_Strips_Frames_Help, FixedSize,
    testing::Values(NamedSize{109, 526, 106}, NamedSize{136, 526, 216}, NamedSize{110, 160, 32},
                    NamedSize{152, 100, 20}, NamedSize{156, 400, 19}, NamedSize{154, 7, 281},
                    NamedSize{155, 6, 281}, NamedSize{166, 387, 6}, NamedSize{172, 17, 13},
                    NamedSize{173, 17, 13}, NamedSize{171, 716, 363}, NamedSize{195, 716, 282},
                    NamedSize{187, 5, 10}, NamedSize{180, 5, 10}, NamedSize{186, 5, 10},
                    NamedSize{176, 5, 10}, NamedSize{179, 5, 10}));

TEST(PictureCatalogue, IsSortedWithoutDuplicatesAndFindsOnlyItsOwn) {
    const auto all = PictureCatalogue();
    for (size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].number, all[i].number);
    for (const auto& desc : all) EXPECT_EQ(FindPicture(desc.number), &desc);
    for (int absent : {0, 101, 106, 145, 170, 188, 208}) EXPECT_EQ(FindPicture(absent), nullptr) << absent;
}

TEST(PictureCatalogue, EveryButtonFaceHasTheButtonsSize) {
    std::set<int> faces;
    for (const auto& b : vc::ui::MainButtons()) {
        for (int number : {b.pictureNormal, b.picturePressed, b.pictureOn, b.pictureOnPressed}) {
            if (number == 0) continue;
            faces.insert(number);
            const auto* desc = FindPicture(number);
            ASSERT_NE(desc, nullptr) << "button " << b.id << " face " << number;
            EXPECT_EQ(desc->width, b.width) << "button " << b.id << " face " << number;
            EXPECT_EQ(desc->height, b.height) << "button " << b.id << " face " << number;
        }
    }
    EXPECT_EQ(faces.size(), 33u);
}

TEST(PictureCatalogue, DigitStripsSplitIntoTheDisplaysCells) {
    for (const auto& d : vc::ui::MainDisplays()) {
        const auto* strip = FindPicture(d.picture);
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(strip->width % 10, 0) << "picture " << d.picture;
        const int cell = strip->width / 10;
        EXPECT_EQ(cell, d.picture == vc::ui::kPictureLargeDigits ? 16 : 10);
    }
}

TEST(PictureCatalogue, HelpPicturesGiveThePanelSizes) {
    const int frameWidth = FindPicture(154)->width + FindPicture(155)->width;
    const int frameHeight = FindPicture(156)->height + FindPicture(166)->height;
    EXPECT_EQ(frameWidth + FindPicture(171)->width, 729);
    EXPECT_EQ(frameHeight + FindPicture(171)->height, 388);
    EXPECT_EQ(frameWidth + FindPicture(195)->width, 729);
    EXPECT_EQ(frameHeight + FindPicture(195)->height, 307);
}

TEST(PictureFiles, IconComesInBothSizes) {
    for (int size : vc::ui::kIconSizes) {
        std::string error;
        const Picture icon = ReadPicture(ResourcePath("101_" + std::to_string(size) + ".bmp"), error);
        EXPECT_EQ(error, "");
        EXPECT_EQ(icon.width, size);
        EXPECT_EQ(icon.height, size);
        // The corners lie outside the dial; the centre is drawn.
        EXPECT_EQ(icon.At(0, 0), skin_test::kKey);
        EXPECT_NE(icon.At(size / 2, size / 2), skin_test::kKey);
    }
}

// Pressed and on faces must be told apart from the resting face at a glance.
TEST(PictureFiles, PressedAndOnFacesDifferFromRestingFaces) {
    auto differing = [](const Picture& a, const Picture& b) {
        size_t count = 0;
        for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i) count += a.rgb[i] != b.rgb[i];
        return count;
    };
    for (const auto& b : vc::ui::MainButtons()) {
        const Picture normal = Load(b.pictureNormal);
        for (int other : {b.picturePressed, b.pictureOn, b.pictureOnPressed}) {
            if (other == 0) continue;
            const Picture face = Load(other);
            ASSERT_EQ(face.rgb.size(), normal.rgb.size()) << "button " << b.id;
            EXPECT_GT(differing(normal, face), normal.rgb.size() / 10) << "button " << b.id << " face " << other;
        }
        // A latched button shows its on face differently again when held.
        if (b.pictureOn != 0 && b.pictureOn != b.pictureOnPressed) {
            EXPECT_GT(differing(Load(b.pictureOn), Load(b.pictureOnPressed)), normal.rgb.size() / 10);
        }
    }
}

// Where the strip runs on the Easy face, the dark frames are exactly the
// empty slot, so the repaint that ends the strip leaves no seam.
TEST(PictureFiles, DarkStripFramesMatchTheEmptySlot) {
    const Picture easy = Load(vc::ui::kPictureEasyBackground);
    const Picture dark = Load(vc::ui::kStripFramePictures[0]);
    for (int cellX = 53; cellX < 125; cellX += 6) {
        for (int y = 0; y < dark.height; ++y) {
            for (int x = 0; x < dark.width; ++x) {
                ASSERT_EQ(dark.At(x, y), easy.At(cellX + x, 141 - vc::ui::kEasyTop + y)) << "cell at x " << cellX;
            }
        }
    }
}

TEST(PictureFiles, StripFramesRunFromDarkToTheBrightHead) {
    // The head is the last frame; the strip's pattern travels right because
    // every next cell shows the next frame.
    auto brightness = [](const Picture& p) {
        uint64_t sum = 0;
        for (uint32_t c : p.rgb) sum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        return sum;
    };
    uint64_t previous = 0;
    for (size_t f = 0; f < vc::ui::kStripFramePictures.size(); ++f) {
        const uint64_t now = brightness(Load(vc::ui::kStripFramePictures[f]));
        EXPECT_GE(now, previous) << "frame " << f;
        previous = now;
    }
    EXPECT_GT(brightness(Load(vc::ui::kStripFramePictures[11])),
              2 * brightness(Load(vc::ui::kStripFramePictures[0])));
}

}  // namespace
