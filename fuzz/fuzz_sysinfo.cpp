// Feeds arbitrary bytes to the sysinfo.dat decoder and the match against a
// recognised board, including indexes far outside its table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/state/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vc::SystemInfo info = [] {
        vc::SystemInfo made;
        std::strcpy(made.board.biosId, "6BXE-R1.2");
        made.board.clockGen = std::make_shared<vc::ClockGenRecord>();
        made.board.clockGen->entryCount = 3;
        made.board.clockGen->entries.resize(3);
        made.cpu.signature = 0x683;
        made.multiplier = 5.0;
        return made;
    }();
    const auto setting = vc::DecodeSetting({data, size});
    if (setting.has_value() != (size >= vc::kSettingsFileSize)) __builtin_trap();
    if (setting && vc::SettingMatches(*setting, info) && (setting->index < 1 || setting->index > 3)) {
        __builtin_trap();
    }
    return 0;
}
