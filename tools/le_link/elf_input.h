// Links one i386 ELF relocatable object (what `ld -m elf_i386 -r` makes of
// the device's C and assembly) into the objects of an LE module: the
// executable sections become the code object, every other allocated section
// the data object (uninitialised ones at its end), R_386_32 relocations
// become internal fixups, and R_386_PC32/PLT32 within one object are
// resolved in place. The device may import nothing: an undefined symbol, a
// common symbol or any other relocation type is refused with its name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "le_module.h"

namespace vc::le {

struct LinkResult {
    Module module;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// `name` is the device name (resident names and the descriptor block);
// the symbol "<name>_DDB" becomes ordinal 1.
LinkResult LinkElfObject(std::span<const uint8_t> elf, const std::string& name, const std::string& description);

}  // namespace vc::le
