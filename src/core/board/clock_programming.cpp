#include "core/board/clock_programming.h"

#include <array>
#include <cstring>

#include "core/hw/smbus_write.h"

namespace vc {
namespace {

using WriteVariant = int32_t (*)(const SmbusAccess&, int32_t, const uint8_t*, Context&, DeviceHandle);

// One row of the dispatch: a null chip matches any chip name, a null variant
// writes nothing. For kind 2 the variant's own answer is replaced by 1.
struct DispatchRow {
    int32_t controllerKind;
    int32_t operation;
    const char* chipName;
    WriteVariant variant;
    bool answerVariantResult;
    int32_t fixedResult;
};

constexpr int32_t kOperationNone = 1;

// In order: the first row that fits decides; RTM560-25 is tried before
// ICS9248-153.
constexpr std::array<DispatchRow, 6> kDispatch{{
    {kSmbusControllerBlockBuffer, kOperationNone, nullptr, nullptr, false, 0},
    {kSmbusControllerBlockBuffer, kSmbusOperationBlockWrite, nullptr, &BlockWriteBuffered, true, 0},
    {kSmbusControllerByteWise, kOperationNone, nullptr, nullptr, false, 1},
    {kSmbusControllerByteWise, kSmbusOperationBlockWrite, kChipRtm560, &WriteRtm560, false, 1},
    {kSmbusControllerByteWise, kSmbusOperationBlockWrite, kChipIcs9248, &WriteIcs9248, false, 1},
    {kSmbusControllerByteWise, kSmbusOperationBlockWrite, nullptr, &BlockWriteByteWise, false, 1},
}};

bool RowFits(const DispatchRow& row, const SmbusAccess& access) {
    if (row.controllerKind != access.controllerKind || row.operation != access.operation) return false;
    return row.chipName == nullptr ||
           std::strncmp(row.chipName, access.chipName, sizeof access.chipName) == 0;
}

}  // namespace

int32_t SmbusBlockWrite(const SmbusAccess& access, int32_t count, const uint8_t* data,
                        Context& ctx, DeviceHandle driver) {
    for (const DispatchRow& row : kDispatch) {
        if (!RowFits(row, access)) continue;
        if (row.variant == nullptr) return row.fixedResult;
        const int32_t result = row.variant(access, count, data, ctx, driver);
        return row.answerVariantResult ? result : row.fixedResult;
    }
    return 0;  // unknown controller kind or operation: no bus traffic
}

int32_t ProgramClock(ClockWriter& writer, int32_t count, const uint8_t* data, Context& ctx,
                     DeviceHandle driver) {
    const BoardRecord* board = writer.board;
    if (board == nullptr || board->clockGen == nullptr || data == nullptr || count <= 0) return 1;

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
    SmbusBlockWrite(access, count, data, ctx, driver);
    return 1;
}

}  // namespace vc
