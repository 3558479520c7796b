// Autorun on a freedesktop session: a desktop entry in the user's autostart
// folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart).
#pragma once

#include <string>

#include "core/base/process.h"

namespace vc::host {

class XdgAutostart : public AutorunStore {
public:
    // An empty folder means the session's own autostart folder.
    explicit XdgAutostart(std::string folder = {});

    // A relative program path is taken from the current directory.
    void SetAutorunEntry(const std::string& name, const std::string& command) override;

    // The desktop entry's text for a program path (the path quoted for Exec).
    static std::string DesktopEntry(const std::string& name, const std::string& programPath);
    std::string EntryPath(const std::string& name) const;

private:
    std::string folder_;
};

}  // namespace vc::host
