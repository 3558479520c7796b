// The direction of dependencies: core <- {sim, host} <- launch <- {cli, qt, win32},
// core <- {helper, driver} (the privileged components),
// read from every #include "..." under src/, and no cycle between core's
// folders. The desktop library (qt) is linked into the program for this
// computer, so it must not reach the simulator either. Each system's host
// sits under host/ (Linux's at its top, Windows' in host/win32/), so a
// front end's folder holds no host code that launch would reach up for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace vc {
namespace {

namespace fs = std::filesystem;

struct Include {
    std::string from;  // file, relative to src/
    std::string to;    // the included path
};

std::vector<Include> ReadIncludes(const fs::path& src) {
    static const std::regex kQuoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<Include> found;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(in, line)) {
            if (std::regex_search(line, match, kQuoted)) {
                found.push_back({fs::relative(entry.path(), src).generic_string(), match[1]});
            }
        }
    }
    return found;
}

std::string TopOf(const std::string& path) { return path.substr(0, path.find('/')); }
std::string FolderOf(const std::string& path) { return fs::path(path).parent_path().generic_string(); }

// Which top-level folders each one may include besides itself.
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"core", {}},
    {"sim", {"core"}},
    {"host", {"core"}},
    {"launch", {"core", "sim", "host"}},
    {"cli", {"core", "sim", "host", "launch"}},
    {"qt", {"core", "host", "launch"}},
    {"win32", {"core", "host", "launch"}},
    {"helper", {"core"}},
    {"driver", {"core"}},
};

std::vector<std::string> DirectionViolations(const std::vector<Include>& includes) {
    std::vector<std::string> wrong;
    for (const auto& inc : includes) {
        const std::string from = TopOf(inc.from);
        const std::string to = TopOf(inc.to);
        const auto allowed = kMayInclude.find(from);
        if (from == to || (allowed != kMayInclude.end() && allowed->second.contains(to))) continue;
        // Headers beside the including file ("x.h" without a folder) are not
        // folder dependencies.
        if (inc.to.find('/') == std::string::npos) continue;
        wrong.push_back(inc.from + " includes " + inc.to);
    }
    return wrong;
}

// A cycle between core's folders, as "a -> b -> a", or nothing.
std::optional<std::string> CoreFolderCycle(const std::vector<Include>& includes) {
    std::map<std::string, std::set<std::string>> edges;
    for (const auto& inc : includes) {
        if (TopOf(inc.from) != "core" || TopOf(inc.to) != "core") continue;
        const std::string a = FolderOf(inc.from);
        const std::string b = FolderOf(inc.to);
        if (a != b) edges[a].insert(b);
    }
    enum class Mark { Unseen, Open, Done };
    std::map<std::string, Mark> marks;
    std::vector<std::string> path;
    std::optional<std::string> cycle;
    std::function<void(const std::string&)> visit = [&](const std::string& node) {
        marks[node] = Mark::Open;
        path.push_back(node);
        for (const auto& next : edges[node]) {
            if (cycle) return;
            if (marks[next] == Mark::Open) {
                std::string text;
                for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it) text += *it + " -> ";
                cycle = text + next;
                return;
            }
            if (marks[next] == Mark::Unseen) visit(next);
        }
        path.pop_back();
        marks[node] = Mark::Done;
    };
    for (const auto& [node, targets] : edges) {
        if (!cycle && marks[node] == Mark::Unseen) visit(node);
    }
    return cycle;
}

TEST(IncludeDirection, SourcesIncludeOnlyDownwards) {
    const auto includes = ReadIncludes(fs::path(VC_SOURCE_DIR) / "src");
    ASSERT_GT(includes.size(), 100u);
    const auto wrong = DirectionViolations(includes);
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

TEST(IncludeDirection, CoreFoldersFormNoCycle) {
    const auto cycle = CoreFolderCycle(ReadIncludes(fs::path(VC_SOURCE_DIR) / "src"));
    EXPECT_FALSE(cycle.has_value()) << *cycle;
}

// The checks themselves: a planted upward include and a planted cycle.
TEST(IncludeDirection, CatchesPlantedViolations) {
    const std::vector<Include> planted = {
        {"core/board/a.cpp", "core/hw/b.h"},
        {"core/hw/b.cpp", "core/board/c.h"},
        {"core/cpu/d.cpp", "sim/sim_machine.h"},
        {"qt/e.cpp", "cli/session.h"},
        {"qt/f.cpp", "sim/sim_machine.h"},
        {"cli/g.cpp", "launch/machine_choice.h"},
    };
    EXPECT_EQ(DirectionViolations(planted),
              (std::vector<std::string>{"core/cpu/d.cpp includes sim/sim_machine.h",
                                        "qt/e.cpp includes cli/session.h", "qt/f.cpp includes sim/sim_machine.h"}));
    EXPECT_EQ(CoreFolderCycle(planted), std::optional<std::string>("core/board -> core/hw -> core/board"));
}

}  // namespace
}  // namespace vc
