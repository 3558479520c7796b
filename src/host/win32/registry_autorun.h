// The start-at-logon list on Windows: a value under the user's
// Software\Microsoft\Windows\CurrentVersion\Run key.
#pragma once

#include <optional>
#include <string>

#include "core/base/process.h"

namespace vc::win32 {

inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryAutorun final : public AutorunStore {
public:
    // `keyPath` under HKEY_CURRENT_USER; tests use a key of their own.
    explicit RegistryAutorun(std::string keyPath = kRunKeyPath) : keyPath_(std::move(keyPath)) {}

    // Creates the key when it is missing; failures go unreported (start-up
    // goes on whatever happens here).
    void SetAutorunEntry(const std::string& name, const std::string& command) override;
    // True when no value `name` is left.
    bool RemoveAutorunEntry(const std::string& name);
    // The value's text, or nothing when there is no such string value.
    std::optional<std::string> AutorunEntry(const std::string& name) const;

private:
    std::string keyPath_;
};

}  // namespace vc::win32
