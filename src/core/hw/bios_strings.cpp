#include "core/hw/bios_strings.h"

namespace vc {

std::vector<FoundBiosString> FindBiosStrings(std::span<const uint8_t> window, size_t limit) {
    std::vector<BiosCandidate> candidates(limit);
    candidates.resize(FindBiosCandidates(window, candidates));
    std::vector<FoundBiosString> found;
    for (const BiosCandidate& c : candidates) {
        found.push_back({c.offset, std::string(reinterpret_cast<const char*>(window.data() + c.offset), c.length), c.dmi});
    }
    return found;
}

}  // namespace vc
