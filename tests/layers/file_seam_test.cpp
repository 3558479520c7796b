// What the Windows programs link reaches files only through the file seam
// (core/base/file_io.h): the standard streams and <filesystem> rest on wide
// calls the 9x family lacks, so only the seam's standard implementation may
// name them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace vc {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kAllowed = {
    "core/base/file_io_std.cpp",
};

bool UnderSeam(const std::string& file) {
    return file.starts_with("core/") || file.starts_with("sim/") || file == "launch/machine_choice.cpp";
}

// "file includes <header>" for each file bypassing the seam, of `lines`
// given as (file relative to src/, line).
std::vector<std::string> Bypasses(const std::vector<std::pair<std::string, std::string>>& lines) {
    static const std::regex kStreamHeader(R"re(^\s*#\s*include\s*<(fstream|iostream|filesystem)>)re");
    std::vector<std::string> found;
    std::smatch match;
    for (const auto& [file, line] : lines) {
        if (UnderSeam(file) && !kAllowed.contains(file) && std::regex_search(line, match, kStreamHeader)) {
            found.push_back(file + " includes <" + match[1].str() + ">");
        }
    }
    return found;
}

TEST(FileSeam, OnlyTheStandardImplementationIncludesStreamsOrFilesystem) {
    const fs::path src = fs::path(VC_SOURCE_DIR) / "src";
    std::vector<std::pair<std::string, std::string>> lines;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string file = fs::relative(entry.path(), src).generic_string();
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) lines.emplace_back(file, line);
    }
    ASSERT_GT(lines.size(), 1000u);
    EXPECT_EQ(Bypasses(lines), std::vector<std::string>{});
}

TEST(FileSeam, CatchesPlantedIncludes) {
    const std::vector<std::pair<std::string, std::string>> planted = {
        {"core/ui/a.cpp", "#include <fstream>"},
        {"sim/b.h", "  #  include <filesystem>"},
        {"launch/machine_choice.cpp", "#include <iostream>"},
        {"cli/c.cpp", "#include <fstream>"},
        {"core/base/file_io_std.cpp", "#include <fstream>"},
    };
    EXPECT_EQ(Bypasses(planted),
              (std::vector<std::string>{"core/ui/a.cpp includes <fstream>", "sim/b.h includes <filesystem>",
                                        "launch/machine_choice.cpp includes <iostream>"}));
}

}  // namespace
}  // namespace vc
