// The committed pictures and outline tables are exactly what the generator
// draws: regenerating into a fresh directory gives the same bytes.
#include <gtest/gtest.h>

#include <stdlib.h>  // mkdtemp

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bmp_probe.h"
#include "core/ui/picture_catalogue.h"

namespace {

namespace fs = std::filesystem;

#ifdef VC_SKIN_GENERATOR
TEST(Regenerate, SameBytesAsCommitted) {
    std::string pattern = (fs::temp_directory_path() / "vc_skin_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    const fs::path outlines = dir / "outlines.cpp";
    const std::string command = std::string("\"") + VC_SKIN_GENERATOR + "\" --out \"" + dir.string() +
                                "\" --outlines \"" + outlines.string() + "\" 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    auto same = [](const fs::path& made, const fs::path& committed) {
        EXPECT_EQ(skin_test::ReadBytes(made.string()), skin_test::ReadBytes(committed.string()))
            << made.filename() << " differs from " << committed;
    };
    const fs::path resources = fs::path(VC_SOURCE_DIR) / "resources";
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path() == outlines) continue;
        same(entry.path(), resources / entry.path().filename());
        ++files;
    }
    EXPECT_EQ(files, vc::ui::PictureCatalogue().size() + 3);  // plus two icons and the README
    same(outlines, fs::path(VC_SOURCE_DIR) / "src/core/ui/outlines.cpp");
    fs::remove_all(dir);
}
#else
TEST(Regenerate, SameBytesAsCommitted) { GTEST_SKIP() << "the skin generator was not built (no Qt 6)"; }
#endif

}  // namespace
