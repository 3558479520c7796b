// What an LE virtual device holds, independent of the file layout: its
// objects with their bytes and internal fixups, its name, its description
// and the descriptor block exported by ordinal 1. The ELF input, the writer
// and the reader all meet here, so a file read back can be compared with
// the object it was linked from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vc::le {

// A 32-bit field at `sourceOffset` of its object that the loader replaces
// with the load address of object `targetObject` (1-based) plus
// `targetOffset`.
struct Fixup {
    uint32_t sourceOffset = 0;
    uint32_t targetObject = 0;
    uint32_t targetOffset = 0;
    bool operator==(const Fixup&) const = default;
};

struct Object {
    uint32_t flags = 0;
    uint32_t virtualSize = 0;    // bytes at load; what `bytes` does not hold is zero
    std::vector<uint8_t> bytes;  // the object's initialised bytes, fixup fields zero
    std::vector<Fixup> fixups;   // ordered by source offset
    bool operator==(const Object&) const = default;
};

// The export the loader looks for: ordinal 1, the device descriptor block.
struct Export {
    std::string name;
    uint32_t object = 0;  // 1-based
    uint32_t offset = 0;
    bool operator==(const Export&) const = default;
};

struct Module {
    std::string name;         // resident name table, ordinal 0
    std::string description;  // non-resident name table, ordinal 0
    std::vector<Object> objects;
    Export descriptor;
    uint16_t deviceId = 0;
    uint16_t ddkVersion = 0;
    bool operator==(const Module&) const = default;
};

// The descriptor block's export name for a device name: "<NAME>_DDB".
inline std::string DescriptorName(const std::string& moduleName) { return moduleName + "_DDB"; }

}  // namespace vc::le
