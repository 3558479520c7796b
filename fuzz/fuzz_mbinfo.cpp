// Feeds arbitrary bytes to the board-file readers: the recognition scan
// (a record "matches" when its BIOS string starts with the first input byte)
// and the tool's whole-file decoder and checker.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/board/data_files.h"
#include "core/board/database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char wanted = size > 0 ? static_cast<char>(data[0]) : 'A';
    const vc::BoardScan scan =
        vc::ScanBoardFile({data, size}, [wanted](const vc::BoardRecord& board) { return board.biosId[0] == wanted; });
    if (scan.outcome == vc::BoardScanOutcome::Matched && scan.board.clockGen != nullptr) __builtin_trap();

    vc::Database db;
    std::vector<std::string> problems;
    std::vector<std::string> skipped;
    vc::DecodeBoardFile({data, size}, db, problems, skipped);
    for (const auto& problem : vc::CheckDatabase(db)) (void)vc::DescribeProblem(db, problem);
    return 0;
}
