// Board recognition against a board file of 10,000 records whose match is
// the last one, on the simulated default board under both driver families:
// the 9x personality searches the BIOS window itself, the NT personality
// asks the driver once per record.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/base/context.h"
#include "core/base/text_field.h"
#include "core/board/board_recognition.h"
#include "core/board/data_files.h"
#include "core/board/database.h"
#include "core/hw/bus_path.h"
#include "core/hw/hw_driver.h"
#include "sim/machine_catalogue.h"

namespace {

constexpr int kBoards = 10000;

class QuietShell : public vc::Shell {
public:
    void ShowMessage(const std::string&, const std::string&) override { ++messages; }
    [[noreturn]] void EndProcess(int) override { std::abort(); }
    int messages = 0;
};

std::string BoardName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "BN-%05d-R1", index);
    return name;
}

// The database, written once into a directory of its own.
const std::string& DatabaseDir() {
    static const std::string dir = [] {
        const auto path = std::filesystem::temp_directory_path() / "vc-bench-recognition";
        std::filesystem::create_directories(path);
        vc::Database db;
        vc::ClockGenRecord chip;
        vc::SetField(chip.name, "ICS9248-153");
        chip.entries = {{100.2, 33.4, 100.2, 20, 0x18}, {112.0, 37.3, 112.0, 20, 0x38}};
        chip.entryCount = 2;
        db.clockGens.push_back(chip);
        for (int i = 0; i < kBoards; ++i) {
            vc::BoardRecord board;
            vc::SetField(board.biosId, BoardName(i));
            vc::SetField(board.clockGenName, "ICS9248-153");
            board.smbusKind = 1;
            board.smbusBase = 0x5000;
            db.boards.push_back(board);
        }
        const auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
            std::ofstream out(path / name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        };
        write(vc::kBoardFileName, vc::EncodeBoardFile(db));
        write(vc::kClockGenFileName, vc::EncodeClockGenFile(db));
        return path.string();
    }();
    return dir;
}

void Recognise(benchmark::State& state, uint32_t platformId, uint32_t major) {
    auto description = vc::sim::DefaultMachineDescription();
    if (!description.ok()) {
        state.SkipWithError(description.error.c_str());
        return;
    }
    description.description->os = {platformId, major, 0};
    // The match near the end of the searched area: the slowest place for it.
    description.description->bios.strings = {{0xFF00, BoardName(kBoards - 1)}};
    vc::sim::SimMachine machine(std::move(*description.description));
    QuietShell shell;
    vc::Context ctx{machine, shell, vc::OsKindFromVersion(machine.GetOsVersion()), DatabaseDir()};
    vc::SystemInfo info;
    info.busPath = vc::ChooseBusPath(ctx.osKind, ctx.machine);
    if (info.Bus().OpenForBios().value != 1) {
        state.SkipWithError("driver");
        return;
    }
    for (auto _ : state) {
        info.board = vc::BoardRecord{};
        if (vc::FindBoard(info, ctx) != 1) {
            state.SkipWithError("board not recognised");
            break;
        }
        benchmark::DoNotOptimize(info.board.clockGen.get());
    }
    state.counters["boards"] = kBoards;
}

void BM_RecogniseWin9xWindowSearch(benchmark::State& state) { Recognise(state, vc::kPlatformWin9x, 4); }
void BM_RecogniseNtDriverSearch(benchmark::State& state) { Recognise(state, vc::kPlatformNt, 5); }

BENCHMARK(BM_RecogniseWin9xWindowSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecogniseNtDriverSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
