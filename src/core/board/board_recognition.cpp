#include "core/board/board_recognition.h"

#include <memory>
#include <optional>
#include <vector>

#include "core/base/file_io.h"
#include "core/board/bios_id.h"
#include "core/board/board_messages.h"
#include "core/board/data_files.h"
#include "core/base/text_field.h"

namespace vc {
namespace {

void ShowError(Context& ctx, const std::string& text) { ctx.shell.ShowMessage(kCaptionError, text); }

void ShowDamaged(Context& ctx, const char* fileName, const std::string& problem) {
    ShowError(ctx, std::string(fileName) + kMsgDamagedSuffix + problem);
}

// Loads the chip `board` names; on success `board.clockGen` holds it.
int32_t LoadClockGenFor(BoardRecord& board, Context& ctx) {
    const auto file = ReadFileBytes(DataFilePath(ctx, kClockGenFileName), kLargestDataFile);
    if (!file) {
        ShowError(ctx, kMsgClockGenFileMissing);
        return 0;
    }
    // Damaged headers it stepped over cannot be this board's: no message.
    ClockGenLookup lookup = LookupClockGen(*file, FieldText(board.clockGenName));
    switch (lookup.outcome) {
        case ClockGenLookupOutcome::Loaded:
            board.clockGen = std::make_shared<ClockGenRecord>(std::move(lookup.chip));
            return 1;
        case ClockGenLookupOutcome::BadVersion:
            ShowError(ctx, kMsgClockGenFileVersion);
            return 0;
        case ClockGenLookupOutcome::NotFound:
            ShowError(ctx, kMsgClockGenNotFound);
            return 0;
        case ClockGenLookupOutcome::Damaged:
            ShowDamaged(ctx, kClockGenFileName, lookup.problem);
            return 0;
    }
    return 0;
}

}  // namespace

std::string DataFilePath(const Context& ctx, const char* fileName) {
    if (ctx.dataDirectory.empty()) return fileName;
    if (ctx.dataDirectory.back() == '/') return ctx.dataDirectory + fileName;
    return ctx.dataDirectory + "/" + fileName;
}

int32_t FindBoard(SystemInfo& info, Context& ctx) {
    const auto file = ReadFileBytes(DataFilePath(ctx, kBoardFileName), kLargestDataFile);
    if (!file) {
        ShowError(ctx, kMsgBoardFileMissing);
        return 0;
    }
    // Damaged records it stepped over are not this machine's: no message.
    BoardScan scan = ScanBoardFile(*file, [&](const BoardRecord& candidate) {
        return BiosIdFound(info, candidate.biosId);
    });
    switch (scan.outcome) {
        case BoardScanOutcome::Matched:
            break;
        case BoardScanOutcome::NoMatch:
            return 0;  // the caller says the board is not supported
        case BoardScanOutcome::BadVersion:
            ShowError(ctx, kMsgBoardFileVersion);
            return 0;
        case BoardScanOutcome::Damaged:
            ShowDamaged(ctx, kBoardFileName, scan.problem);
            return 0;
    }
    if (LoadClockGenFor(scan.board, ctx) == 0) return 0;
    info.board = std::move(scan.board);
    return 1;
}

int32_t LoadClockGen(SystemInfo& info, Context& ctx) {
    BoardRecord board = info.board;
    if (LoadClockGenFor(board, ctx) == 0) return 0;
    info.board.clockGen = std::move(board.clockGen);
    return 1;
}

}  // namespace vc
