#include "core/state/auto_apply_file.h"

#include "core/base/file_io.h"
#include "core/base/little_endian.h"

namespace vc {

std::string AutoApplyPath(const std::string& programDir) {
    return programDir + "/" + kAutoApplyFileName;
}

static_assert(kAutoApplyFileSize == 2 * kI32Bytes);

std::vector<uint8_t> EncodeAutoApply(const AutoApplySettings& settings) {
    std::vector<uint8_t> bytes;
    ByteWriter writer(bytes);
    writer.PutI32(settings.autoApply);
    writer.PutI32(settings.autoApplySource);
    return bytes;
}

AutoApplySettings DecodeAutoApply(std::span<const uint8_t> bytes) {
    ByteReader reader(bytes);
    AutoApplySettings settings;
    if (reader.ReadI32(settings.autoApply)) reader.ReadI32(settings.autoApplySource);
    return settings;
}

int32_t ReadAutoApplySettings(const std::string& programDir, AutoApplySettings& settings) {
    const auto bytes = ReadFileBytes(AutoApplyPath(programDir), kAutoApplyFileSize);
    if (!bytes) {
        settings = AutoApplySettings{};
        return 0;
    }
    settings = DecodeAutoApply(*bytes);
    return 1;
}

int32_t WriteAutoApplySettings(const std::string& programDir, const AutoApplySettings& settings) {
    return ReplaceFileAtomically(AutoApplyPath(programDir), EncodeAutoApply(settings)) ? 1 : 0;
}

}  // namespace vc
