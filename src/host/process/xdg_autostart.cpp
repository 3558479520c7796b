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

// The escape rule of a string value: a backslash, line feed, tab or
// carriage return would end or change it.
std::string EscapeValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '\n': escaped += "\\n"; break;
            case '\t': escaped += "\\t"; break;
            case '\r': escaped += "\\r"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

// Exec takes a command line: an argument with reserved characters goes in
// double quotes, with ", `, $ and \ escaped by a backslash; a % is doubled
// (it would start a field code). The string value's own escape rule then
// applies on top.
std::string QuoteExecArgument(const std::string& argument) {
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string word;
    for (const char c : argument) {
        if (c == '%') word += '%';
        word += c;
    }
    if (!word.empty() && word.find_first_of(reserved) == std::string::npos) return word;
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (const char c : quoted) {
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

std::string XdgAutostart::DesktopEntry(const std::string& name, const std::string& programPath,
                                       const std::vector<std::string>& arguments) {
    std::string exec = QuoteExecArgument(programPath);
    for (const std::string& argument : arguments) exec += " " + QuoteExecArgument(argument);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + name + "\n"
           "TryExec=" + EscapeValue(programPath) + "\n"
           "Exec=" + exec + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void XdgAutostart::SetAutorunEntry(const std::string& name, const std::string& command) {
    SetAutorunCommand(name, command, {});
}

void XdgAutostart::SetAutorunCommand(const std::string& name, const std::string& command,
                                     const std::vector<std::string>& arguments) {
    if (folder_.empty()) return;
    std::error_code ec;
    // The session starts programs from elsewhere: a relative path would
    // name nothing there.
    const std::filesystem::path program = std::filesystem::absolute(command, ec);
    if (ec) return;
    if (!CreateDirectories(folder_)) return;
    // Replaced atomically, so a session never reads half an entry.
    const std::string entry = DesktopEntry(name, program.lexically_normal().string(), arguments);
    ReplaceFileAtomically(EntryPath(name), std::span(reinterpret_cast<const uint8_t*>(entry.data()), entry.size()));
}

}  // namespace vc::host
