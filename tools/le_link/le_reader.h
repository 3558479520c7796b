// Reads an LE virtual device file back into a Module, checking it field by
// field as the loader would need it: the stub and header, every table inside
// the file and in its section, the page map in order and covering each
// object, every fixup record an internal 32-bit offset whose source lies in
// its page and object and whose target lies in its object (a field across
// a page boundary has its second record on the next page), no imports,
// well-formed name tables, and ordinal 1 a descriptor block the loader
// accepts (vxd_ddb.h). The first fault found is the error.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "le_module.h"

namespace vc::le {

struct ReadResult {
    Module module;
    uint32_t pageCount = 0;
    uint32_t fixupRecordCount = 0;
    std::string error;  // empty when the file is sound
    bool ok() const { return error.empty(); }
};

ReadResult ReadLe(std::span<const uint8_t> file);

}  // namespace vc::le
