// Feeds arbitrary bytes to the save.dat decoder: it must never read past the
// input and must round-trip whatever it read.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/state/auto_apply_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vc::AutoApplySettings settings = vc::DecodeAutoApply({data, size});
    const auto bytes = vc::EncodeAutoApply(settings);
    const size_t compared = size < vc::kAutoApplyFileSize ? (size / 4) * 4 : vc::kAutoApplyFileSize;
    if (std::memcmp(bytes.data(), data, compared) != 0) __builtin_trap();
    return 0;
}
