#include "core/state/pending_startup_file.h"

#include <cstring>

#include "core/base/file_io.h"
#include "core/base/little_endian.h"
#include "core/board/clock_table.h"
#include "core/state/auto_apply_file.h"

namespace vc {

std::string PendingStartupPath(const std::string& programDir) {
    return programDir + "/" + kPendingStartupFileName;
}

static_assert(kPendingStartupFileSize == 2 * kI32Bytes + kF64Bytes + kTextFieldSize);

std::vector<uint8_t> EncodePendingStartup(const PendingStartup& pending) {
    std::vector<uint8_t> bytes;
    ByteWriter writer(bytes);
    writer.PutI32(pending.index);
    writer.PutI32(pending.source);
    writer.PutF64(pending.busMHz);
    writer.PutBytes(pending.biosId, kTextFieldSize);
    return bytes;
}

std::optional<PendingStartup> DecodePendingStartup(std::span<const uint8_t> bytes) {
    if (bytes.size() != kPendingStartupFileSize) return std::nullopt;
    ByteReader reader(bytes);
    PendingStartup pending;
    if (!reader.ReadI32(pending.index) || !reader.ReadI32(pending.source) || !reader.ReadF64(pending.busMHz) ||
        !reader.ReadBytes(pending.biosId, kTextFieldSize)) {
        return std::nullopt;
    }
    const bool knownSource = pending.source == kAutoApplySourceSaved || pending.source == kAutoApplySourceOptimal;
    if (!knownSource || pending.index < 1) return std::nullopt;
    return pending;
}

std::optional<PendingStartup> PendingStartupFor(const SystemInfo& info, int32_t index, int32_t source) {
    const ClockEntry* entry = EntryAt(info, index);
    if (entry == nullptr) return std::nullopt;
    PendingStartup pending;
    pending.index = index;
    pending.source = source;
    pending.busMHz = entry->busMHz;
    std::memcpy(pending.biosId, info.board.biosId, FieldLength(info.board.biosId));
    return pending;
}

bool WritePendingStartup(const std::string& programDir, const PendingStartup& pending) {
    return ReplaceFileAtomically(PendingStartupPath(programDir), EncodePendingStartup(pending));
}

PendingStartupFound ReadPendingStartup(const std::string& programDir) {
    // One byte more than the layout, so an overlong file shows as one.
    const auto bytes = ReadFileBytes(PendingStartupPath(programDir), kPendingStartupFileSize + 1);
    if (!bytes) return {};
    return {true, DecodePendingStartup(*bytes)};
}

bool ClearPendingStartup(const std::string& programDir) {
    return RemoveFile(PendingStartupPath(programDir));
}

}  // namespace vc
