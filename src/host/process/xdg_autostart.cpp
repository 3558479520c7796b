#include "host/process/xdg_autostart.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/base/file_io.h"

namespace vc::host {

namespace {

std::string SessionAutostartFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/autostart";
    return {};
}

// Exec takes a command line: a path with reserved characters goes in double
// quotes, with ", `, $ and \ escaped by a backslash. The escape rule of the
// string value itself then doubles every backslash.
std::string QuoteExecArgument(const std::string& path) {
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    if (path.find_first_of(reserved) == std::string::npos) return path;
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (char c : quoted) {
        if (c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

}  // namespace

XdgAutostart::XdgAutostart(std::string folder)
    : folder_(folder.empty() ? SessionAutostartFolder() : std::move(folder)) {}

std::string XdgAutostart::EntryPath(const std::string& name) const {
    return folder_ + "/" + name + ".desktop";
}

std::string XdgAutostart::DesktopEntry(const std::string& name, const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + name + "\n"
           "Exec=" + QuoteExecArgument(programPath) + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void XdgAutostart::SetAutorunEntry(const std::string& name, const std::string& command) {
    if (folder_.empty()) return;
    std::error_code ec;
    // The session starts programs from elsewhere: a relative path would
    // name nothing there.
    const std::filesystem::path program = std::filesystem::absolute(command, ec);
    if (ec) return;
    if (!CreateDirectories(folder_)) return;
    // Replaced atomically, so a session never reads half an entry.
    const std::string entry = DesktopEntry(name, program.lexically_normal().string());
    ReplaceFileAtomically(EntryPath(name), std::span(reinterpret_cast<const uint8_t*>(entry.data()), entry.size()));
}

}  // namespace vc::host
