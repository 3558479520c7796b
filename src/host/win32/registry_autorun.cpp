#include "host/win32/registry_autorun.h"

#include <vector>

namespace vc::win32 {

namespace {

// The longest value read back: a path of the ANSI calls, quoted, and more.
constexpr DWORD kLongestValue = 1024;

class Key {
public:
    Key(HKEY root, const std::string& path, bool create, REGSAM access) {
        const LONG result = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                                     nullptr, &key_, nullptr)
                                   : RegOpenKeyExA(root, path.c_str(), 0, access, &key_);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

bool RegistryAutorun::SetUnder(HKEY root, const std::string& name, const std::string& command) {
    const Key key(root, keyPath_, true, KEY_SET_VALUE);
    if (key.Get() == nullptr) return false;
    return RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

void RegistryAutorun::SetAutorunEntry(const std::string& name, const std::string& command) {
    if (!SetUnder(machineRoot_, name, command)) {
        SetUnder(userRoot_, name, command);
        return;
    }
    // Only our own value for this very program: another path stays.
    if (AutorunEntryUnder(userRoot_, name) == command) RemoveUnder(userRoot_, name);
}

bool RegistryAutorun::RemoveUnder(HKEY root, const std::string& name) {
    const Key key(root, keyPath_, false, KEY_SET_VALUE);
    if (key.Get() == nullptr) return !AutorunEntryUnder(root, name).has_value();
    const LONG result = RegDeleteValueA(key.Get(), name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool RegistryAutorun::RemoveAutorunEntry(const std::string& name) {
    const bool machine = RemoveUnder(machineRoot_, name);
    const bool user = RemoveUnder(userRoot_, name);
    return machine && user;
}

std::optional<std::string> RegistryAutorun::AutorunEntry(const std::string& name) const {
    if (auto machine = AutorunEntryUnder(machineRoot_, name)) return machine;
    return AutorunEntryUnder(userRoot_, name);
}

std::optional<std::string> RegistryAutorun::AutorunEntryUnder(HKEY root, const std::string& name) const {
    const Key key(root, keyPath_, false, KEY_QUERY_VALUE);
    if (key.Get() == nullptr) return std::nullopt;
    std::vector<char> text(kLongestValue + 1, '\0');
    DWORD type = 0;
    DWORD size = kLongestValue;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // The stored terminator, when there is one, is not part of the text.
    text.resize(size);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return std::string(text.begin(), text.end());
}

}  // namespace vc::win32
