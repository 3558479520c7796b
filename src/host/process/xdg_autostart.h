// Autorun on a freedesktop session: a desktop entry in the user's autostart
// folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart). Its TryExec
// names the program, so the session ignores an entry a removed program left.
#pragma once

#include <string>
#include <vector>

#include "core/base/process.h"

namespace vc::host {

class XdgAutostart : public AutorunStore {
public:
    // An empty folder means the session's own autostart folder.
    explicit XdgAutostart(std::string folder = {});

    // A relative program path is taken from the current directory.
    void SetAutorunEntry(const std::string& name, const std::string& command) override;
    void SetAutorunCommand(const std::string& name, const std::string& program,
                           const std::vector<std::string>& arguments) override;

    // The desktop entry's text for a program path and its arguments (each
    // quoted for Exec as needed).
    static std::string DesktopEntry(const std::string& name, const std::string& programPath,
                                    const std::vector<std::string>& arguments = {});
    std::string EntryPath(const std::string& name) const;

private:
    std::string folder_;
};

}  // namespace vc::host
