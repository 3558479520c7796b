// Lays out an LE virtual device file: the DOS stub, the LE header, the
// loader section (object table, page map, resident names, entry table), the
// fixup section (fixup page table, fixup records, empty import tables), the
// data pages (every object page in full) and the non-resident names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "le_module.h"

namespace vc::le {

// The file's bytes, or empty with `error` saying why the module cannot be
// written (a name too long for its length byte, too many objects or pages,
// a fixup outside its object).
std::vector<uint8_t> WriteLe(const Module& module, std::string& error);

}  // namespace vc::le
