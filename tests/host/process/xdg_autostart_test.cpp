#include "host/process/xdg_autostart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vc::host {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(XdgAutostartTest, EntryStartsTheProgramByItsFullPath) {
    const auto folder = std::filesystem::temp_directory_path() / ("vc-autostart-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    XdgAutostart autostart(folder.string());
    autostart.SetAutorunEntry("VelocoreIII", "/opt/velocore/bin/velocore");
    const std::string text = ReadAll(folder / "VelocoreIII.desktop");
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("\nName=VelocoreIII\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=/opt/velocore/bin/velocore\n"), std::string::npos);

    // Every start writes it again; the entry is replaced, not duplicated.
    autostart.SetAutorunEntry("VelocoreIII", "/usr/local/bin/velocore");
    const std::string again = ReadAll(folder / "VelocoreIII.desktop");
    EXPECT_NE(again.find("\nExec=/usr/local/bin/velocore\n"), std::string::npos);
    EXPECT_EQ(again.find("/opt/"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "VelocoreIII.desktop.tmp"));

    // A relative path is completed from the current directory: the session
    // starts the program from somewhere else.
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    autostart.SetAutorunEntry("VelocoreIII", "./bin/velocore");
    std::filesystem::current_path(before);
    EXPECT_NE(ReadAll(folder / "VelocoreIII.desktop").find("\nExec=" + folder.string() + "/bin/velocore\n"),
              std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST(XdgAutostartTest, PathsWithReservedCharactersAreQuotedForExec) {
    const std::string entry = XdgAutostart::DesktopEntry("VelocoreIII", "/home/a b/$x\"y/velocore");
    // Quoted, with $ and " escaped for the command line, and each escaping
    // backslash doubled for the string value.
    EXPECT_NE(entry.find("\nExec=\"/home/a b/\\\\$x\\\\\"y/velocore\"\n"), std::string::npos) << entry;

    // Arguments the same way, and a % doubled so it starts no field code;
    // TryExec is a plain string value, only its backslashes doubled.
    const std::string withArguments =
        XdgAutostart::DesktopEntry("VelocoreIII", "/opt/v\\c/vcctl", {"--dir", "/home/a b/100%", "startup"});
    EXPECT_NE(withArguments.find("\nTryExec=/opt/v\\\\c/vcctl\n"), std::string::npos) << withArguments;
    EXPECT_NE(withArguments.find("\nExec=\"/opt/v\\\\\\\\c/vcctl\" --dir \"/home/a b/100%%\" startup\n"),
              std::string::npos)
        << withArguments;
}

TEST(XdgAutostartTest, UnwritableFolderIsIgnoredSilently) {
    XdgAutostart autostart("/proc/velocore-cannot-exist");
    autostart.SetAutorunEntry("VelocoreIII", "/bin/true");  // must neither throw nor crash
    EXPECT_FALSE(std::filesystem::exists("/proc/velocore-cannot-exist/VelocoreIII.desktop"));
}

}  // namespace
}  // namespace vc::host
