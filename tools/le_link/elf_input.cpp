#include "elf_input.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/base/little_endian.h"
#include "le_layout.h"
#include "vxd_ddb.h"

namespace vc::le {

namespace {

// ELF32 (System V ABI, Intel386 supplement): the fields read here.
namespace elf {
inline constexpr size_t kIdentClass = 4;
inline constexpr size_t kIdentData = 5;
inline constexpr uint8_t kClass32 = 1;
inline constexpr uint8_t kDataLittle = 1;
inline constexpr size_t kType = 16;
inline constexpr size_t kMachine = 18;
inline constexpr size_t kSectionTable = 32;
inline constexpr size_t kSectionEntrySize = 46;
inline constexpr size_t kSectionCount = 48;
inline constexpr size_t kSectionNames = 50;
inline constexpr size_t kHeaderSize = 52;
inline constexpr uint16_t kTypeRelocatable = 1;
inline constexpr uint16_t kMachine386 = 3;

inline constexpr size_t kShName = 0, kShType = 4, kShFlags = 8, kShOffset = 16, kShSize = 20, kShLink = 24,
                        kShInfo = 28, kShAlign = 32, kShSize_ = 40;
inline constexpr uint32_t kProgBits = 1, kSymTab = 2, kRela = 4, kNote = 7, kNoBits = 8, kRel = 9;
inline constexpr uint32_t kAlloc = 0x2, kExecInstr = 0x4;

inline constexpr size_t kSymName = 0, kSymValue = 4, kSymShndx = 14, kSymSize = 16;
inline constexpr uint16_t kUndefined = 0, kAbsolute = 0xFFF1, kCommon = 0xFFF2, kReserveStart = 0xFF00;

inline constexpr size_t kRelOffset = 0, kRelInfo = 4, kRelSize = 8;
inline constexpr uint32_t kR386None = 0, kR386Abs32 = 1, kR386Pc32 = 2, kR386Plt32 = 4;
}  // namespace elf

constexpr uint32_t kCodeObject = 1;
constexpr uint32_t kDataObject = 2;

struct Section {
    std::string name;
    uint32_t nameOffset = 0, type = 0, flags = 0, offset = 0, size = 0, link = 0, info = 0, align = 0;
    uint32_t object = 0;  // 0: not placed
    uint32_t placedAt = 0;
};

class Linker {
public:
    Linker(std::span<const uint8_t> elf, const std::string& name) : elf_(elf), name_(name) {}

    std::string Run(Module& module) {
        if (std::string e = ReadSections(); !e.empty()) return e;
        Place(module);
        if (std::string e = Relocate(module); !e.empty()) return e;
        if (std::string e = FindDescriptor(module); !e.empty()) return e;
        if (std::string e = ddb::CheckDescriptor(module); !e.empty()) return "the descriptor block: " + e;
        return {};
    }

private:
    bool Inside(uint64_t offset, uint64_t size) const { return offset <= elf_.size() && size <= elf_.size() - offset; }

    std::string StringAt(const Section& table, uint32_t offset) const {
        if (offset >= table.size) return {};
        const size_t start = size_t{table.offset} + offset;
        size_t end = start;
        while (end < size_t{table.offset} + table.size && elf_[end] != 0) ++end;
        return std::string(elf_.begin() + static_cast<std::ptrdiff_t>(start), elf_.begin() + static_cast<std::ptrdiff_t>(end));
    }

    std::string ReadSections() {
        if (elf_.size() < elf::kHeaderSize || elf_[0] != 0x7F || elf_[1] != 'E' || elf_[2] != 'L' || elf_[3] != 'F')
            return "not an ELF file";
        if (elf_[elf::kIdentClass] != elf::kClass32 || elf_[elf::kIdentData] != elf::kDataLittle)
            return "not a 32-bit little-endian ELF file";
        if (GetLe<uint16_t>(elf_, elf::kType) != elf::kTypeRelocatable) return "not a relocatable object (ld -r)";
        if (GetLe<uint16_t>(elf_, elf::kMachine) != elf::kMachine386) return "not an i386 object";
        const uint32_t table = GetLe32(elf_, elf::kSectionTable);
        const uint16_t count = GetLe<uint16_t>(elf_, elf::kSectionCount);
        if (GetLe<uint16_t>(elf_, elf::kSectionEntrySize) != elf::kShSize_ || !Inside(table, uint64_t{count} * elf::kShSize_))
            return "the section table lies outside the file";
        sections_.resize(count);
        for (uint16_t i = 0; i < count; ++i) {
            const auto h = elf_.subspan(table + size_t{i} * elf::kShSize_, elf::kShSize_);
            Section& s = sections_[i];
            s.nameOffset = GetLe32(h, elf::kShName);
            s.type = GetLe32(h, elf::kShType);
            s.flags = GetLe32(h, elf::kShFlags);
            s.offset = GetLe32(h, elf::kShOffset);
            s.size = GetLe32(h, elf::kShSize);
            s.link = GetLe32(h, elf::kShLink);
            s.info = GetLe32(h, elf::kShInfo);
            s.align = std::max<uint32_t>(1, GetLe32(h, elf::kShAlign));
            if (s.type != elf::kNoBits && !Inside(s.offset, s.size)) return "section " + std::to_string(i) + " lies outside the file";
        }
        const uint16_t names = GetLe<uint16_t>(elf_, elf::kSectionNames);
        if (names < count)
            for (Section& s : sections_) s.name = StringAt(sections_[names], s.nameOffset);
        for (const Section& s : sections_) {
            if (s.type == elf::kRela) return "section " + s.name + " has RELA relocations; i386 objects use REL";
            if ((s.flags & elf::kAlloc) && s.type != elf::kProgBits && s.type != elf::kNoBits && s.type != elf::kNote)
                return "allocated section " + s.name + " of type " + std::to_string(s.type) + " is not supported";
        }
        return {};
    }

    // Code first, then initialised data, then uninitialised data.
    void Place(Module& module) {
        module.objects.assign(2, Object{});
        module.objects[0].flags = obj::kCode;
        module.objects[1].flags = obj::kData;
        auto place = [&](uint32_t object, auto&& wanted) {
            Object& o = module.objects[object - 1];
            for (Section& s : sections_) {
                if (!(s.flags & elf::kAlloc) || s.type == elf::kNote || !wanted(s)) continue;
                const uint32_t at = (o.virtualSize + s.align - 1) / s.align * s.align;
                s.object = object;
                s.placedAt = at;
                o.virtualSize = at + s.size;
                if (s.type == elf::kProgBits) {
                    o.bytes.resize(o.virtualSize, 0);
                    std::copy_n(elf_.begin() + s.offset, s.size, o.bytes.begin() + at);
                }
            }
        };
        place(kCodeObject, [](const Section& s) { return (s.flags & elf::kExecInstr) != 0; });
        place(kDataObject, [](const Section& s) { return !(s.flags & elf::kExecInstr) && s.type == elf::kProgBits; });
        place(kDataObject, [](const Section& s) { return !(s.flags & elf::kExecInstr) && s.type == elf::kNoBits; });
        for (Object& o : module.objects) o.bytes.resize(o.virtualSize, 0);  // what the loader's pages hold
    }

    struct Symbol {
        std::string name;
        uint16_t section = 0;
        uint32_t value = 0;
    };

    std::optional<Symbol> SymbolAt(const Section& table, uint32_t index, std::string& error) const {
        if (uint64_t{index + 1} * elf::kSymSize > table.size) {
            error = "a relocation names symbol " + std::to_string(index) + ", past the symbol table";
            return std::nullopt;
        }
        const auto e = elf_.subspan(table.offset + size_t{index} * elf::kSymSize, elf::kSymSize);
        Symbol s;
        s.value = GetLe32(e, elf::kSymValue);
        s.section = GetLe<uint16_t>(e, elf::kSymShndx);
        if (table.link < sections_.size()) s.name = StringAt(sections_[table.link], GetLe32(e, elf::kSymName));
        if (s.name.empty() && s.section < sections_.size()) s.name = sections_[s.section].name;  // a section symbol
        return s;
    }

    std::string Relocate(Module& module) {
        for (const Section& rel : sections_) {
            if (rel.type != elf::kRel) continue;
            if (rel.info >= sections_.size() || rel.link >= sections_.size() || sections_[rel.link].type != elf::kSymTab)
                return "relocation section " + rel.name + " names no section or symbol table";
            const Section& target = sections_[rel.info];
            if (target.object == 0) continue;  // relocations of sections that are not loaded (debug info)
            Object& object = module.objects[target.object - 1];
            for (uint32_t at = 0; at + elf::kRelSize <= rel.size; at += elf::kRelSize) {
                const auto r = elf_.subspan(rel.offset + at, elf::kRelSize);
                const uint32_t offset = GetLe32(r, elf::kRelOffset), info = GetLe32(r, elf::kRelInfo);
                const uint32_t type = info & 0xFF;
                if (type == elf::kR386None) continue;
                const std::string where = target.name + "+0x" + Hex(offset);
                if (uint64_t{offset} + 4 > target.size || target.type != elf::kProgBits)
                    return "the relocation at " + where + " lies outside its section";
                std::string error;
                const auto symbol = SymbolAt(sections_[rel.link], info >> 8, error);
                if (!symbol) return error;
                if (symbol->section == elf::kUndefined)
                    return "undefined symbol '" + symbol->name + "' at " + where + ": the device imports nothing";
                if (symbol->section == elf::kCommon)
                    return "common symbol '" + symbol->name + "': build with -fno-common";
                const uint32_t place = target.placedAt + offset;
                const uint32_t addend = GetLe32(object.bytes, place);
                const bool absolute = symbol->section == elf::kAbsolute;
                if (!absolute && (symbol->section >= sections_.size() || symbol->section >= elf::kReserveStart ||
                                  sections_[symbol->section].object == 0))
                    return "symbol '" + symbol->name + "' at " + where + " lies in a section that is not loaded";
                const Section* home = absolute ? nullptr : &sections_[symbol->section];
                const uint32_t value = (absolute ? 0 : home->placedAt) + symbol->value + addend;
                if (type == elf::kR386Abs32) {
                    if (absolute) {
                        PutLe32(object.bytes, place, value);
                        continue;
                    }
                    PutLe32(object.bytes, place, 0);
                    object.fixups.push_back(Fixup{place, home->object, value});
                } else if (type == elf::kR386Pc32 || type == elf::kR386Plt32) {
                    if (absolute || home->object != target.object)
                        return "the relative reference at " + where + " to '" + symbol->name + "' leaves its object";
                    PutLe32(object.bytes, place, value - place);
                } else {
                    return "relocation type " + std::to_string(type) + " at " + where + " is not supported";
                }
            }
        }
        for (Object& object : module.objects) {
            std::sort(object.fixups.begin(), object.fixups.end(),
                      [](const Fixup& a, const Fixup& b) { return a.sourceOffset < b.sourceOffset; });
            for (size_t i = 1; i < object.fixups.size(); ++i)
                if (object.fixups[i].sourceOffset - object.fixups[i - 1].sourceOffset < fixup::kSourceBytes)
                    return "two fixups overlap at 0x" + Hex(object.fixups[i].sourceOffset);
        }
        return {};
    }

    std::string FindDescriptor(Module& module) {
        const std::string wanted = DescriptorName(name_);
        for (const Section& table : sections_) {
            if (table.type != elf::kSymTab) continue;
            for (uint32_t i = 1; uint64_t{i + 1} * elf::kSymSize <= table.size; ++i) {
                std::string error;
                const auto symbol = SymbolAt(table, i, error);
                if (!symbol || symbol->name != wanted) continue;
                if (symbol->section == elf::kUndefined || symbol->section >= sections_.size() ||
                    sections_[symbol->section].object != kDataObject)
                    return "'" + wanted + "' is not defined in the data";
                module.descriptor = Export{wanted, kDataObject, sections_[symbol->section].placedAt + symbol->value};
                return {};
            }
        }
        return "no symbol '" + wanted + "' (the descriptor block)";
    }

    static std::string Hex(uint32_t value) {
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        do {
            text.insert(text.begin(), digits[value & 0xF]);
            value >>= 4;
        } while (value != 0);
        return text;
    }

    std::span<const uint8_t> elf_;
    std::string name_;
    std::vector<Section> sections_;
};

}  // namespace

LinkResult LinkElfObject(std::span<const uint8_t> elf, const std::string& name, const std::string& description) {
    LinkResult result;
    result.module.name = name;
    result.module.description = description;
    result.module.ddkVersion = ddb::kSdkVersion40;
    result.error = Linker(elf, name).Run(result.module);
    if (result.ok() && result.module.objects[0].virtualSize == 0) result.error = "the object has no code";
    return result;
}

}  // namespace vc::le
