// core/state/atomic_file.cpp holds the standard library's ReplaceFileAtomically
// until the file seam takes it over; on Windows the seam's replaces it, and
// only the name of the fixed temporary is needed from there.
#include "core/state/atomic_file.h"

namespace vc {

std::string TemporaryPathFor(const std::string& path) { return path + ".tmp"; }

}  // namespace vc
