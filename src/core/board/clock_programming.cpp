#include "core/board/clock_programming.h"

#include <array>
#include <cstring>
#include <optional>

namespace vc {
namespace {

// One row of the dispatch: a null chip matches any chip name, a row without
// a variant writes nothing. For kind 2 the variant's own answer is replaced
// by 1.
struct DispatchRow {
    int32_t controllerKind;
    int32_t operation;
    const char* chipName;
    std::optional<SmbusVariant> variant;
    bool answerVariantResult;
    int32_t fixedResult;
};

constexpr int32_t kOperationNone = 1;

// In order: the first row that fits decides; RTM560-25 is tried before
// ICS9248-153.
const std::array<DispatchRow, 6> kDispatch{{
    {kSmbusControllerBlockBuffer, kOperationNone, nullptr, std::nullopt, false, 0},
    {kSmbusControllerBlockBuffer, kSmbusOperationBlockWrite, nullptr, SmbusVariant::BlockBuffered, true, 0},
    {kSmbusControllerByteWise, kOperationNone, nullptr, std::nullopt, false, 1},
    {kSmbusControllerByteWise, kSmbusOperationBlockWrite, kChipRtm560, SmbusVariant::Rtm560, false, 1},
    {kSmbusControllerByteWise, kSmbusOperationBlockWrite, kChipIcs9248, SmbusVariant::Ics9248, false, 1},
    {kSmbusControllerByteWise, kSmbusOperationBlockWrite, nullptr, SmbusVariant::BlockByteWise, false, 1},
}};

bool RowFits(const DispatchRow& row, const SmbusAccess& access) {
    if (row.controllerKind != access.controllerKind || row.operation != access.operation) return false;
    return row.chipName == nullptr ||
           std::strncmp(row.chipName, access.chipName, sizeof access.chipName) == 0;
}

const DispatchRow* RowFor(const SmbusAccess& access) {
    for (const DispatchRow& row : kDispatch) {
        if (RowFits(row, access)) return &row;
    }
    return nullptr;
}

}  // namespace

std::optional<SmbusVariant> WriteVariantFor(const SmbusAccess& access) {
    const DispatchRow* row = RowFor(access);
    return row != nullptr ? row->variant : std::nullopt;
}

WriteOutcome SmbusBlockWrite(const SmbusAccess& access, BusPath& bus, int32_t count, const uint8_t* data) {
    if (const DispatchRow* found = RowFor(access)) {
        const DispatchRow& row = *found;
        if (!row.variant) return {row.fixedResult};
        // A block of no bytes, more than one SMBus block or without data
        // makes no bus traffic and answers 0.
        if (data == nullptr || count < 1 || count > kSmbusMaxBlockBytes) {
            return {row.answerVariantResult ? 0 : row.fixedResult};
        }
        const BusResult result =
            bus.WriteSmbus(*row.variant, access, std::span(data, static_cast<size_t>(count)));
        WriteOutcome outcome{row.answerVariantResult ? result.value : row.fixedResult};
        outcome.written = result.value == 1 && bus.ReachesHardware();
        outcome.fault = result.fault;
        return outcome;
    }
    return {0};  // unknown controller kind or operation: no bus traffic
}

WriteOutcome ProgramClock(ClockWriter& writer, BusPath& bus, int32_t count, const uint8_t* data) {
    const BoardRecord* board = writer.board;
    if (board == nullptr || board->clockGen == nullptr || data == nullptr || count <= 0) return {1};

    SmbusAccess& access = writer.access;
    access = SmbusAccess{};
    std::memcpy(access.chipName, board->clockGenName, sizeof access.chipName);
    access.chipName[sizeof access.chipName - 1] = '\0';
    access.firstByteMask = board->clockGen->firstByteMask;
    access.controllerKind = board->smbusKind;
    access.ioBase = board->smbusBase;
    access.operation = kSmbusOperationBlockWrite;
    access.readAddress = kClockGenReadAddress;
    access.writeAddress = kClockGenWriteAddress;
    WriteOutcome outcome = SmbusBlockWrite(access, bus, count, data);
    outcome.answer = 1;
    return outcome;
}

}  // namespace vc
