#include "vxd_ddb.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "core/base/little_endian.h"
#include "le_layout.h"

namespace vc::le::ddb {

namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

const Fixup* FixupAt(const Object& object, uint32_t offset) {
    const auto found = std::find_if(object.fixups.begin(), object.fixups.end(),
                                    [&](const Fixup& f) { return f.sourceOffset == offset; });
    return found == object.fixups.end() ? nullptr : &*found;
}

struct Signature {
    size_t field;
    uint32_t value;
    const char* name;
};

constexpr Signature kSignatures[] = {
    {kPrev, kPrevSignature, "DDB_Prev"},
    {kSizeField, kSize, "DDB_Size"},
    {kReserved1, kReserved1Signature, "DDB_Reserved1"},
    {kReserved2, kReserved2Signature, "DDB_Reserved2"},
    {kReserved3, kReserved3Signature, "DDB_Reserved3"},
};

// Address fields other than the control procedure: zero, or a fixup.
constexpr size_t kOptionalAddresses[] = {kV86ApiProc, kPmApiProc, kServiceTable, kWin32ServiceTable};

}  // namespace

std::string CheckDescriptor(const Module& module) {
    const Export& d = module.descriptor;
    if (d.name != DescriptorName(module.name))
        return "ordinal 1 is '" + d.name + "', not '" + DescriptorName(module.name) + "'";
    if (d.object == 0 || d.object > module.objects.size()) return "ordinal 1 names no object";
    const Object& object = module.objects[d.object - 1];
    if (d.offset > object.bytes.size() || object.bytes.size() - d.offset < kSize)
        return "the descriptor block at " + Hex(d.offset) + " is not " + Hex(kSize) +
               " bytes of initialised data in object " + std::to_string(d.object);
    const auto block = std::span<const uint8_t>(object.bytes).subspan(d.offset, kSize);

    if (GetLe<uint16_t>(block, kSdkVersion) != kSdkVersion40)
        return "DDB_SDK_Version is " + Hex(GetLe<uint16_t>(block, kSdkVersion)) + ", not 0x400";
    std::string name = module.name;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    if (name.size() > kNameLength) return "the module name '" + module.name + "' is longer than 8 characters";
    name.resize(kNameLength, ' ');
    if (!std::equal(name.begin(), name.end(), block.begin() + kName))
        return "DDB_Name is not '" + name + "'";
    for (const Signature& s : kSignatures)
        if (GetLe32(block, s.field) != s.value)
            return std::string(s.name) + " is " + Hex(GetLe32(block, s.field)) + ", not " + Hex(s.value);

    const Fixup* control = FixupAt(object, d.offset + kControlProc);
    if (!control) return "DDB_Control_Proc has no fixup";
    if (GetLe32(block, kControlProc) != 0) return "DDB_Control_Proc holds bytes under its fixup";
    if (control->targetObject == 0 || control->targetObject > module.objects.size() ||
        (module.objects[control->targetObject - 1].flags & obj::kExecutable) == 0)
        return "DDB_Control_Proc does not point into executable code";
    for (size_t field : kOptionalAddresses)
        if (GetLe32(block, field) != 0 && !FixupAt(object, static_cast<uint32_t>(d.offset + field)))
            return "the address at DDB+" + Hex(static_cast<uint32_t>(field)) + " has no fixup";
    for (const Fixup& f : object.fixups) {
        if (f.sourceOffset + fixup::kSourceBytes <= d.offset || f.sourceOffset >= d.offset + kSize) continue;
        if (f.sourceOffset < d.offset) return "a fixup runs into the start of the descriptor block";
        const uint32_t field = f.sourceOffset - d.offset;
        if (field != kControlProc && std::find(std::begin(kOptionalAddresses), std::end(kOptionalAddresses), field) ==
                                         std::end(kOptionalAddresses))
            return "a fixup at DDB+" + Hex(field) + " changes a field that holds no address";
    }
    return {};
}

}  // namespace vc::le::ddb
