// Feeds arbitrary bytes to the clock-generator file readers: the lookup the
// recognition runs (for a shipped chip name and for the first header's name)
// and the tool's whole-file decoder, checker and source writer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "core/board/data_files.h"
#include "core/board/data_source.h"
#include "core/board/database.h"

namespace {

void Lookup(std::span<const uint8_t> bytes, const std::string& name) {
    const vc::ClockGenLookup lookup = vc::LookupClockGen(bytes, name);
    if (lookup.outcome == vc::ClockGenLookupOutcome::Loaded &&
        lookup.chip.entries.size() != static_cast<size_t>(lookup.chip.entryCount)) {
        __builtin_trap();  // a loaded table always holds exactly entryCount entries
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Lookup({data, size}, "ICS9248-153");
    if (size >= 24) Lookup({data, size}, std::string(bytes.c_str() + 8, strnlen(bytes.c_str() + 8, 16)));

    vc::Database db;
    std::vector<std::string> problems;
    std::vector<std::string> skipped;
    vc::DecodeClockGenFile({data, size}, db, problems, skipped);
    for (const auto& problem : vc::CheckDatabase(db)) (void)vc::DescribeProblem(db, problem);
    (void)vc::WriteSources(db);
    return 0;
}
