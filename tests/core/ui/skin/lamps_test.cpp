// The gauge lamps are cut from the Advance face: dark lamps leave the face as
// it is, lit ones change it, and no lamp paints over a control.
#include <gtest/gtest.h>

#include <string>

#include "bmp_probe.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/picture_catalogue.h"

namespace {

using skin_test::Picture;

Picture Load(int number) {
    std::string error;
    Picture picture = skin_test::ReadPicture(skin_test::ResourcePath(std::to_string(number) + ".bmp"), error);
    EXPECT_EQ(error, "") << "picture " << number;
    return picture;
}

bool Overlap(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
    return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

class Lamp : public testing::TestWithParam<int> {
protected:
    vc::ui::LampRect place() const { return vc::ui::LampRects()[static_cast<size_t>(GetParam())]; }
};

TEST_P(Lamp, BothFacesHaveTheLampsSize) {
    const Picture on = Load(place().onPicture);
    const Picture off = Load(place().offPicture);
    EXPECT_EQ(on.width, place().width);
    EXPECT_EQ(on.height, place().height);
    EXPECT_EQ(off.width, on.width);
    EXPECT_EQ(off.height, on.height);
}

TEST_P(Lamp, DarkFaceIsTheBackgroundAndLitFaceIsNot) {
    const Picture background = Load(vc::ui::kPictureAdvanceBackground);
    const Picture on = Load(place().onPicture);
    const Picture off = Load(place().offPicture);
    size_t lit = 0;
    for (int y = 0; y < off.height; ++y) {
        for (int x = 0; x < off.width; ++x) {
            ASSERT_EQ(off.At(x, y), background.At(place().x + x, place().y + y))
                << "lamp " << GetParam() << " at " << x << "," << y;
            lit += on.At(x, y) != off.At(x, y);
        }
    }
    EXPECT_GT(lit, static_cast<size_t>(off.width * off.height / 8)) << "lamp " << GetParam();
}

TEST_P(Lamp, CoversNoOtherLampAndNoControl) {
    const auto me = place();
    EXPECT_GE(me.x, 0);
    EXPECT_LE(me.x + me.width, vc::ui::kMainWidth);
    for (int other = 0; other < static_cast<int>(vc::ui::kLampCount); ++other) {
        if (other == GetParam()) continue;
        const auto o = vc::ui::LampRects()[static_cast<size_t>(other)];
        EXPECT_FALSE(Overlap(me.x, me.y, me.width, me.height, o.x, o.y, o.width, o.height)) << "lamp " << other;
    }
    for (const auto& b : vc::ui::MainButtons()) {
        if (b.layout != vc::ui::Layout::Advance) continue;
        EXPECT_FALSE(Overlap(me.x, me.y, me.width, me.height, b.x, b.y, b.width, b.height)) << "button " << b.id;
    }
    for (const auto& d : vc::ui::MainDisplays()) {
        if (d.layout != vc::ui::Layout::Advance) continue;
        const int cell = d.picture == vc::ui::kPictureLargeDigits ? 16 : 10;
        const int height = d.picture == vc::ui::kPictureLargeDigits ? 32 : 20;
        const int width = (d.cells + 1) * (cell + d.spacing) + 6;
        EXPECT_FALSE(Overlap(me.x, me.y, me.width, me.height, d.x, d.y, width, height));
    }
}

INSTANTIATE_TEST_SUITE_P(Gauge, Lamp, testing::Range(0, static_cast<int>(vc::ui::kLampCount)));

}  // namespace
