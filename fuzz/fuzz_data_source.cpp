// Feeds arbitrary text to the database source compiler; whatever compiles
// cleanly must write back to sources that compile to the same files.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/board/data_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vc::CompiledSources first =
        vc::CompileSources({{"fuzz.vcdata", std::string(reinterpret_cast<const char*>(data), size)}});
    if (!first.errors.empty()) return 0;
    const vc::CompiledSources second = vc::CompileSources({{"again.vcdata", vc::WriteSources(first.db)}});
    if (!second.errors.empty() || vc::EncodeBoardFile(first.db) != vc::EncodeBoardFile(second.db) ||
        vc::EncodeClockGenFile(first.db) != vc::EncodeClockGenFile(second.db)) {
        __builtin_trap();
    }
    return 0;
}
