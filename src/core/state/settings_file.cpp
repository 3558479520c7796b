#include "core/state/settings_file.h"

#include <cstring>

#include "core/base/file_io.h"
#include "core/base/little_endian.h"
#include "core/base/text_field.h"
#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"

namespace vc {

std::string SettingsPath(const std::string& programDir) {
    return programDir + "/" + kSettingsFileName;
}

SavedSetting SettingFrom(const SystemInfo& info) {
    SavedSetting setting;
    setting.index = info.currentIndex;
    setting.signature = info.cpu.signature;
    setting.multiplier = info.multiplier;
    // Up to and including the terminator; the rest of the field stays zero.
    const size_t length = FieldLength(info.board.biosId);
    std::memcpy(setting.biosId, info.board.biosId,
                length < kTextFieldSize ? length + 1 : kTextFieldSize);
    return setting;
}

static_assert(kSettingsFileSize == 2 * kI32Bytes + kF64Bytes + kTextFieldSize);

std::vector<uint8_t> EncodeSetting(const SavedSetting& setting) {
    std::vector<uint8_t> bytes;
    ByteWriter writer(bytes);
    writer.PutI32(setting.index);
    writer.PutI32(setting.signature);
    writer.PutF64(setting.multiplier);
    writer.PutBytes(setting.biosId, kTextFieldSize);
    return bytes;
}

std::optional<SavedSetting> DecodeSetting(std::span<const uint8_t> bytes) {
    ByteReader reader(bytes);
    SavedSetting setting;
    if (reader.ReadI32(setting.index) && reader.ReadI32(setting.signature) &&
        reader.ReadF64(setting.multiplier) && reader.ReadBytes(setting.biosId, kTextFieldSize)) {
        return setting;
    }
    return std::nullopt;
}

bool SettingMatches(const SavedSetting& setting, const SystemInfo& info) {
    return FieldsEqual(setting.biosId, info.board.biosId) &&
           setting.signature == info.cpu.signature &&
           setting.multiplier == info.multiplier &&
           EntryAt(info, setting.index) != nullptr;
}

int32_t SaveSettings(const SystemInfo& info, const std::string& programDir) {
    const std::vector<uint8_t> bytes = EncodeSetting(SettingFrom(info));
    return ReplaceFileAtomically(SettingsPath(programDir), bytes) ? 1 : 0;
}

int32_t LoadSettings(SystemInfo& info, const std::string& programDir) {
    const auto bytes = ReadFileBytes(SettingsPath(programDir), kSettingsFileSize);
    if (!bytes) return 0;
    const std::optional<SavedSetting> setting = DecodeSetting(*bytes);
    if (!setting || !SettingMatches(*setting, info)) return 0;
    info.currentIndex = setting->index;
    return RefreshEntry(info);
}

}  // namespace vc
