// The start-at-logon list on Windows: a value under a
// Software\Microsoft\Windows\CurrentVersion\Run key. The machine's key comes
// first, so the program starts at every user's logon; where that key cannot
// be written (an ordinary user on NT 4 and 2000), the user's own key, so it
// still starts at this user's logon.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/base/process.h"

namespace vc::win32 {

inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryAutorun final : public AutorunStore {
public:
    // `keyPath` under `machineRoot`, else under `userRoot`; tests use keys of
    // their own.
    explicit RegistryAutorun(std::string keyPath = kRunKeyPath, HKEY machineRoot = HKEY_LOCAL_MACHINE,
                             HKEY userRoot = HKEY_CURRENT_USER)
        : keyPath_(std::move(keyPath)), machineRoot_(machineRoot), userRoot_(userRoot) {}

    // Creates the key when it is missing; failures go unreported (start-up
    // goes on whatever happens here). Once the machine's key holds the
    // value, the same value left in the user's key by an earlier start goes,
    // so one logon starts the program once.
    void SetAutorunEntry(const std::string& name, const std::string& command) override;
    // True when no value `name` is left under either root.
    bool RemoveAutorunEntry(const std::string& name);
    // The value's text under the machine's key, else under the user's; nothing
    // when neither holds such a string value.
    std::optional<std::string> AutorunEntry(const std::string& name) const;
    // Where the value is: under `root` only.
    std::optional<std::string> AutorunEntryUnder(HKEY root, const std::string& name) const;

private:
    bool SetUnder(HKEY root, const std::string& name, const std::string& command);
    bool RemoveUnder(HKEY root, const std::string& name);

    std::string keyPath_;
    HKEY machineRoot_;
    HKEY userRoot_;
};

}  // namespace vc::win32
