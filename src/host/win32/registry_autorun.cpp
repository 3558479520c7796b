#include "host/win32/registry_autorun.h"

#include <windows.h>

#include <vector>

namespace vc::win32 {

namespace {

// The longest value read back: a path of the ANSI calls, quoted, and more.
constexpr DWORD kLongestValue = 1024;

class Key {
public:
    Key(const std::string& path, bool create, REGSAM access) {
        const LONG result =
            create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_);
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

void RegistryAutorun::SetAutorunEntry(const std::string& name, const std::string& command) {
    const Key key(keyPath_, true, KEY_SET_VALUE);
    if (key.Get() == nullptr) return;
    RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
}

bool RegistryAutorun::RemoveAutorunEntry(const std::string& name) {
    const Key key(keyPath_, false, KEY_SET_VALUE);
    if (key.Get() == nullptr) return true;
    const LONG result = RegDeleteValueA(key.Get(), name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::optional<std::string> RegistryAutorun::AutorunEntry(const std::string& name) const {
    const Key key(keyPath_, false, KEY_QUERY_VALUE);
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
