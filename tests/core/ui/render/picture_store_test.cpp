#include "core/ui/picture_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/board/temp_dir.h"
#include "core/ui/bmp_codec.h"
#include "picture_builders.h"

namespace vc::ui {
namespace {

class PictureStoreTest : public ::testing::Test {
protected:
    void Put(const std::string& stem, const Surface& picture) { dir.Write(stem + ".bmp", EncodeBmp(picture)); }

    vc::test::TempDir dir;
};

TEST_F(PictureStoreTest, LoadsAPictureOnFirstUseAndKeepsIt) {
    const Surface picture = test::PatternSurface(5, 3);
    Put("136", picture);
    PictureStore store(dir.Path());
    const Surface* first = store.Get(136);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(*first, picture);
    std::filesystem::remove(dir.File("136.bmp"));
    EXPECT_EQ(store.Get(136), first);
    EXPECT_TRUE(store.Problems().empty());
}

TEST_F(PictureStoreTest, OnlyTheLow16BitsOfTheNumberCount) {
    Put("136", test::PatternSurface(2, 2));
    PictureStore store(dir.Path());
    EXPECT_EQ(store.Get(0x10000 + 136), store.Get(136));
    EXPECT_NE(store.Get(136), nullptr);
}

TEST_F(PictureStoreTest, AMissingPictureIsANullHandleReportedOnce) {
    PictureStore store(dir.Path());
    EXPECT_EQ(store.Get(171), nullptr);
    EXPECT_EQ(store.Get(171), nullptr);
    EXPECT_TRUE(store.IsMissing(171));
    EXPECT_FALSE(store.IsMissing(172));  // never asked for
    ASSERT_EQ(store.Problems().size(), 1u);
    EXPECT_EQ(store.Problems()[0].stem, "171");
    EXPECT_EQ(store.Problems()[0].message, dir.File("171.bmp") + ": cannot be opened");
}

TEST_F(PictureStoreTest, AMalformedPictureIsANullHandleWithTheReason) {
    dir.Write("110.bmp", {'B', 'M', 1, 2});
    Put("152", test::PatternSurface(100, 20));
    PictureStore store(dir.Path());
    EXPECT_EQ(store.Get(110), nullptr);
    EXPECT_NE(store.Get(152), nullptr);
    ASSERT_EQ(store.Problems().size(), 1u);
    EXPECT_NE(store.Problems()[0].message.find("110.bmp: file too short"), std::string::npos);
}

TEST_F(PictureStoreTest, NamedPicturesAndPaths) {
    Put("101_16", test::PatternSurface(16, 16));
    PictureStore store(dir.Path() + "/");
    const Surface* icon = store.GetNamed("101_16");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Width(), 16);
    EXPECT_EQ(store.PathOf("7"), dir.Path() + "/7.bmp");
    EXPECT_EQ(PictureStore("").PathOf("7"), "7.bmp");
}

}  // namespace
}  // namespace vc::ui
