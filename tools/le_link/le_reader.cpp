#include "le_reader.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/base/little_endian.h"
#include "le_layout.h"
#include "vxd_ddb.h"

namespace vc::le {

namespace {

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

// A fault, with where it is.
struct Fault {
    std::string what;
};

class Reader {
public:
    explicit Reader(std::span<const uint8_t> file) : file_(file) {}

    void Run(ReadResult& result) {
        ReadHeader(result.module);
        ReadObjects(result.module);
        ReadNames(result.module);
        ReadEntries(result.module);
        ReadFixups(result.module);
        ReadNonResidentNames(result.module);
        if (std::string e = ddb::CheckDescriptor(result.module); !e.empty()) throw Fault{"the descriptor block: " + e};
        result.pageCount = pageCount_;
        result.fixupRecordCount = records_;
    }

private:
    uint32_t H32(size_t field) const { return GetLe32(header_, field); }
    uint16_t H16(size_t field) const { return GetLe<uint16_t>(header_, field); }

    // The bytes [offset, offset + size) of the file, or a fault naming `what`.
    std::span<const uint8_t> FileRange(uint64_t offset, uint64_t size, const std::string& what) const {
        if (offset > file_.size() || size > file_.size() - offset)
            throw Fault{what + " (" + Hex(offset) + ", " + Hex(size) + " bytes) lies outside the file (" +
                        Hex(file_.size()) + " bytes)"};
        return file_.subspan(offset, size);
    }
    std::span<const uint8_t> HeaderRange(uint64_t offset, uint64_t size, const std::string& what) const {
        return FileRange(base_ + offset, size, what);
    }

    void Expect(bool condition, const std::string& what) const {
        if (!condition) throw Fault{what};
    }

    void ReadHeader(Module& module) {
        Expect(file_.size() >= mz::kNewHeaderOffset + 4 && GetLe<uint16_t>(file_, 0) == mz::kMagic,
               "no DOS stub: the file does not start with 'MZ'");
        base_ = GetLe32(file_, mz::kNewHeaderOffset);
        header_ = FileRange(base_, hdr::kSize, "the LE header named at 0x3C");
        Expect(H16(hdr::kSignature) == hdr::kMagic, "no 'LE' signature at " + Hex(base_));
        Expect(header_[hdr::kByteOrder] == 0 && header_[hdr::kWordOrder] == 0, "the byte or word order is not little-endian");
        Expect(H32(hdr::kFormatLevel) == 0, "format level " + Hex(H32(hdr::kFormatLevel)) + " is not 0");
        Expect(H16(hdr::kCpuType) >= hdr::kCpu386 && H16(hdr::kCpuType) <= 4,
               "CPU type " + Hex(H16(hdr::kCpuType)) + " is not a 386, 486 or Pentium");
        Expect(H16(hdr::kOsType) == hdr::kOsWindows386, "OS type " + Hex(H16(hdr::kOsType)) + " is not Windows 386 (4)");
        Expect((H32(hdr::kModuleFlags) & hdr::kModuleTypeMask) == hdr::kModuleTypeVxd,
               "module flags " + Hex(H32(hdr::kModuleFlags)) + " do not mark a virtual device (0x38000)");
        Expect(H32(hdr::kPageSize) == hdr::kPageBytes, "page size " + Hex(H32(hdr::kPageSize)) + " is not 0x1000");
        Expect(H32(hdr::kEipObject) == 0 && H32(hdr::kEspObject) == 0, "a virtual device has no start address or stack");
        Expect(H32(hdr::kImportModuleCount) == 0, "the module imports modules; a virtual device reaches the system by int 20h");
        Expect(H32(hdr::kDirectiveCount) == 0 && H32(hdr::kResourceCount) == 0 && H32(hdr::kIteratedPages) == 0,
               "module directives, resources and iterated pages are not supported");
        pageCount_ = H32(hdr::kPageCount);
        Expect(pageCount_ <= pagemap::kMaxPageNumber, "page count " + Hex(pageCount_) + " is too large");
        Expect(H32(hdr::kPreloadPageCount) <= pageCount_, "more preload pages than pages");
        const uint32_t last = H32(hdr::kLastPageBytes);
        Expect(pageCount_ == 0 ? last == 0 : last >= 1 && last <= hdr::kPageBytes,
               "bytes on the last page (" + Hex(last) + ") is not 1 to 0x1000");
        // The loader section runs from the object table to the fixup page
        // table, the fixup section from there to the end of the import tables.
        const uint32_t objectTable = H32(hdr::kObjectTable);
        const uint32_t fixupPageTable = H32(hdr::kFixupPageTable);
        Expect(objectTable >= hdr::kSize && fixupPageTable >= objectTable &&
                   H32(hdr::kLoaderSectionSize) == fixupPageTable - objectTable,
               "the loader section size " + Hex(H32(hdr::kLoaderSectionSize)) + " does not reach from the object table (" +
                   Hex(objectTable) + ") to the fixup page table (" + Hex(fixupPageTable) + ")");
        loaderEnd_ = fixupPageTable;
        Expect(H32(hdr::kFixupSectionSize) == uint64_t{H32(hdr::kImportProcedures)} - fixupPageTable &&
                   H32(hdr::kImportProcedures) >= H32(hdr::kImportModules) && H32(hdr::kImportProcedures) >= fixupPageTable,
               "the fixup section size " + Hex(H32(hdr::kFixupSectionSize)) +
                   " does not reach from the fixup page table to the end of the import tables");
        HeaderRange(objectTable, uint64_t{H32(hdr::kLoaderSectionSize)} + H32(hdr::kFixupSectionSize),
                    "the loader and fixup sections");
        module.deviceId = H16(hdr::kDeviceId);
        module.ddkVersion = H16(hdr::kDdkVersion);
    }

    void ReadObjects(Module& module) {
        const uint32_t count = H32(hdr::kObjectCount);
        Expect(count >= 1 && count <= 0xFFFF, "object count " + Hex(count) + " is not 1 to 0xFFFF");
        Expect(H32(hdr::kPageMap) >= H32(hdr::kObjectTable) + uint64_t{count} * obj::kSize,
               "the page map overlaps the object table");
        const auto table = HeaderRange(H32(hdr::kObjectTable), uint64_t{count} * obj::kSize, "the object table");
        const auto map = HeaderRange(H32(hdr::kPageMap), uint64_t{pageCount_} * pagemap::kSize, "the object page map");
        Expect(H32(hdr::kPageMap) + uint64_t{pageCount_} * pagemap::kSize <= loaderEnd_, "the page map runs past the loader section");
        for (uint32_t i = 0; i < pageCount_; ++i) {
            const auto e = map.subspan(size_t{i} * pagemap::kSize, pagemap::kSize);
            const uint32_t number = uint32_t{e[0]} << 16 | uint32_t{e[1]} << 8 | e[2];
            Expect(number == i + 1, "page map entry " + std::to_string(i + 1) + " names page " + std::to_string(number));
            Expect(e[pagemap::kFlags] == pagemap::kLegalPage,
                   "page map entry " + std::to_string(i + 1) + " is not a page held in the file (flags " + Hex(e[pagemap::kFlags]) + ")");
        }
        const uint32_t dataPages = H32(hdr::kDataPages);
        if (pageCount_ > 0)
            FileRange(dataPages, uint64_t{pageCount_ - 1} * hdr::kPageBytes + H32(hdr::kLastPageBytes), "the data pages");
        uint32_t nextPage = 1;
        for (uint32_t i = 0; i < count; ++i) {
            const auto e = table.subspan(size_t{i} * obj::kSize, obj::kSize);
            const std::string name = "object " + std::to_string(i + 1);
            Object o;
            o.virtualSize = GetLe32(e, obj::kVirtualSize);
            o.flags = GetLe32(e, obj::kFlags);
            const uint32_t first = GetLe32(e, obj::kFirstPage), pages = GetLe32(e, obj::kPageCount);
            Expect(o.flags & obj::kReadable, name + " is not readable");
            Expect(first == nextPage, name + " starts at page " + std::to_string(first) + ", not " + std::to_string(nextPage));
            Expect(pages == (uint64_t{o.virtualSize} + hdr::kPageBytes - 1) / hdr::kPageBytes,
                   name + " has " + std::to_string(pages) + " pages for " + Hex(o.virtualSize) + " bytes");
            Expect(uint64_t{first} + pages - 1 <= pageCount_, name + " runs past the last page");
            o.bytes.assign(o.virtualSize, 0);
            for (uint32_t p = 0; p < pages; ++p) {
                const uint32_t global = first + p;
                const size_t size = global == pageCount_ ? H32(hdr::kLastPageBytes) : hdr::kPageBytes;
                const auto page = file_.subspan(dataPages + size_t{global - 1} * hdr::kPageBytes, size);
                const size_t at = size_t{p} * hdr::kPageBytes;
                std::copy_n(page.begin(), std::min(size, o.bytes.size() - at), o.bytes.begin() + static_cast<std::ptrdiff_t>(at));
                pageOwner_.push_back({i, p});
            }
            nextPage += pages;
            module.objects.push_back(std::move(o));
        }
        Expect(nextPage - 1 == pageCount_, "the objects hold " + std::to_string(nextPage - 1) + " pages, the header counts " +
                                                std::to_string(pageCount_));
    }

    // Length-prefixed names with an ordinal word, ended by a zero length.
    // Resident names are identifiers; the description may hold spaces.
    std::map<uint16_t, std::string> ReadNameTable(std::span<const uint8_t> table, const std::string& what,
                                                  bool spaces) const {
        std::map<uint16_t, std::string> names;
        ByteReader in(table);
        for (;;) {
            uint8_t length = 0;
            Expect(in.ReadBytes(&length, 1), what + " has no end");
            if (length == 0) break;
            std::string name(length, '\0');
            uint16_t ordinal = 0;
            Expect(in.ReadBytes(name.data(), length) && in.ReadU16(ordinal), what + " has an entry that runs past its end");
            for (char c : name)
                Expect((c > ' ' && c < 0x7F) || (spaces && c == ' '), what + " holds an unprintable name");
            Expect(names.emplace(ordinal, name).second, what + " names ordinal " + std::to_string(ordinal) + " twice");
        }
        return names;
    }

    void ReadNames(Module& module) {
        const uint32_t at = H32(hdr::kResidentNames);
        Expect(at >= H32(hdr::kPageMap) && at < loaderEnd_, "the resident name table lies outside the loader section");
        residentNames_ = ReadNameTable(HeaderRange(at, loaderEnd_ - at, "the resident name table"), "the resident name table", false);
        Expect(residentNames_.count(0) == 1, "the resident name table has no module name (ordinal 0)");
        module.name = residentNames_[0];
    }

    void ReadEntries(Module& module) {
        const uint32_t at = H32(hdr::kEntryTable);
        Expect(at >= H32(hdr::kResidentNames) && at < loaderEnd_, "the entry table lies outside the loader section");
        ByteReader in(HeaderRange(at, loaderEnd_ - at, "the entry table"));
        uint32_t ordinal = 1;
        bool found = false;
        for (;;) {
            uint8_t count = 0, type = 0;
            Expect(in.ReadBytes(&count, 1), "the entry table has no end");
            if (count == 0) break;
            Expect(in.ReadBytes(&type, 1), "the entry table ends inside a bundle");
            if (type == 0) {  // unused ordinals
                ordinal += count;
                continue;
            }
            Expect(type == entry::kBundle32, "entry bundle type " + Hex(type) + " is not 32-bit entries");
            uint16_t object = 0;
            Expect(in.ReadU16(object), "the entry table ends inside a bundle");
            Expect(object >= 1 && object <= module.objects.size(), "an entry bundle names object " + std::to_string(object));
            for (uint8_t i = 0; i < count; ++i, ++ordinal) {
                uint8_t flags = 0;
                uint32_t offset = 0;
                Expect(in.ReadBytes(&flags, 1) && in.ReadU32(offset), "the entry table ends inside a bundle");
                Expect(offset < module.objects[object - 1].virtualSize,
                       "entry " + std::to_string(ordinal) + " lies outside object " + std::to_string(object));
                if (ordinal != 1) continue;
                Expect(flags == entry::kFlags, "ordinal 1's entry flags are " + Hex(flags) + ", not " +
                                                   Hex(entry::kFlags) + " (exported)");
                found = true;
                module.descriptor.object = object;
                module.descriptor.offset = offset;
            }
        }
        Expect(found, "the entry table has no ordinal 1 (the descriptor block)");
        Expect(residentNames_.count(1) == 1, "ordinal 1 has no resident name");
        module.descriptor.name = residentNames_[1];
    }

    void ReadFixups(Module& module) {
        const uint32_t pageTableAt = H32(hdr::kFixupPageTable), recordsAt = H32(hdr::kFixupRecords);
        Expect(recordsAt == pageTableAt + uint64_t{pageCount_ + 1} * 4,
               "the fixup records do not follow the fixup page table's " + std::to_string(pageCount_ + 1) + " entries");
        const uint32_t recordsEnd = H32(hdr::kImportModules);
        Expect(recordsEnd >= recordsAt, "the import module table starts inside the fixup records");
        Expect(H32(hdr::kImportProcedures) == recordsEnd, "the import tables are not empty");
        const auto pageTable = HeaderRange(pageTableAt, uint64_t{pageCount_ + 1} * 4, "the fixup page table");
        const auto records = HeaderRange(recordsAt, recordsEnd - recordsAt, "the fixup records");
        Expect(GetLe32(pageTable, 0) == 0, "the fixup page table does not start at record offset 0");
        Expect(GetLe32(pageTable, size_t{pageCount_} * 4) == records.size(),
               "the fixup page table ends at " + Hex(GetLe32(pageTable, size_t{pageCount_} * 4)) + ", the records at " +
                   Hex(records.size()));
        std::vector<Fixup> crossing;  // fields that run into the next page
        for (uint32_t page = 0; page < pageCount_; ++page) {
            const uint32_t from = GetLe32(pageTable, size_t{page} * 4), to = GetLe32(pageTable, size_t{page + 1} * 4);
            Expect(from <= to && to <= records.size(), "the fixup page table entry of page " + std::to_string(page + 1) + " is out of order");
            const auto [objectIndex, pageInObject] = pageOwner_[page];
            Object& object = module.objects[objectIndex];
            std::vector<Fixup> continued;
            ByteReader in(records.subspan(from, to - from));
            for (uint32_t n = 1; in.Remaining() > 0; ++n, ++records_) {
                const std::string where = "fixup record " + std::to_string(n) + " of page " + std::to_string(page + 1) +
                                          " (file offset " + Hex(base_ + recordsAt + from + in.Position()) + ")";
                uint8_t source = 0, flags = 0;
                uint16_t rawOffset = 0;
                Expect(in.ReadBytes(&source, 1) && in.ReadBytes(&flags, 1) && in.ReadU16(rawOffset), where + " runs past its page's records");
                Expect(source == fixup::kSource32BitOffset, where + ": source type " + Hex(source) + " is not a single 32-bit offset (0x07)");
                Expect((flags & ~fixup::kKnownTargetFlags) == 0 && (flags & fixup::kTargetTypeMask) == fixup::kTargetInternal,
                       where + ": target flags " + Hex(flags) + " are not an internal reference");
                Fixup f;
                uint16_t narrow = 0;
                uint8_t objectByte = 0;
                const bool read = (flags & fixup::kTarget16BitObject) ? in.ReadU16(narrow) : in.ReadBytes(&objectByte, 1);
                f.targetObject = (flags & fixup::kTarget16BitObject) ? narrow : objectByte;
                const bool readTarget = (flags & fixup::kTarget32BitOffset) ? in.ReadU32(f.targetOffset)
                                                                             : (in.ReadU16(narrow) && ((f.targetOffset = narrow), true));
                Expect(read && readTarget, where + " runs past its page's records");
                Expect(f.targetObject >= 1 && f.targetObject <= module.objects.size(),
                       where + ": target object " + std::to_string(f.targetObject) + " does not exist");
                Expect(f.targetOffset <= module.objects[f.targetObject - 1].virtualSize,
                       where + ": target offset " + Hex(f.targetOffset) + " lies outside object " + std::to_string(f.targetObject));
                const int32_t offset = static_cast<int16_t>(rawOffset);
                Expect(offset > -int32_t{fixup::kSourceBytes} && offset < int32_t{hdr::kPageBytes},
                       where + ": source offset " + std::to_string(offset) + " does not touch its page");
                const int64_t start = int64_t{pageInObject} * hdr::kPageBytes + offset;
                Expect(start >= 0 && start + fixup::kSourceBytes <= object.virtualSize,
                       where + ": the field at " + Hex(static_cast<uint64_t>(start < 0 ? 0 : start)) +
                           " lies outside object " + std::to_string(objectIndex + 1));
                f.sourceOffset = static_cast<uint32_t>(start);
                if (offset < 0) {
                    const auto match = std::find(crossing.begin(), crossing.end(), f);
                    Expect(match != crossing.end(), where + ": it continues a field that no record of the page before starts");
                    crossing.erase(match);
                    continue;
                }
                if (offset + fixup::kSourceBytes > hdr::kPageBytes) continued.push_back(f);
                object.fixups.push_back(f);
            }
            Expect(crossing.empty(), "the field at " + (crossing.empty() ? std::string() : Hex(crossing.front().sourceOffset)) +
                                         " runs into page " + std::to_string(page + 1) + ", which has no record for it");
            crossing = continued;
        }
        Expect(crossing.empty(), "a fixup field runs past the last page");
        for (size_t i = 0; i < module.objects.size(); ++i) {
            auto& fixups = module.objects[i].fixups;
            std::sort(fixups.begin(), fixups.end(), [](const Fixup& a, const Fixup& b) { return a.sourceOffset < b.sourceOffset; });
            for (size_t k = 1; k < fixups.size(); ++k)
                Expect(fixups[k].sourceOffset - fixups[k - 1].sourceOffset >= fixup::kSourceBytes,
                       "two fixups of object " + std::to_string(i + 1) + " overlap at " + Hex(fixups[k].sourceOffset));
        }
    }

    void ReadNonResidentNames(Module& module) {
        const auto table = FileRange(H32(hdr::kNonResidentNames), H32(hdr::kNonResidentNamesSize), "the non-resident name table");
        auto names = ReadNameTable(table, "the non-resident name table", true);
        Expect(names.count(0) == 1, "the non-resident name table has no description (ordinal 0)");
        module.description = names[0];
    }

    std::span<const uint8_t> file_;
    std::span<const uint8_t> header_;
    size_t base_ = 0;
    uint32_t loaderEnd_ = 0;
    uint32_t pageCount_ = 0;
    uint32_t records_ = 0;
    std::vector<std::pair<uint32_t, uint32_t>> pageOwner_;  // per page: object index, page in object
    std::map<uint16_t, std::string> residentNames_;
};

}  // namespace

ReadResult ReadLe(std::span<const uint8_t> file) {
    ReadResult result;
    try {
        Reader(file).Run(result);
    } catch (const Fault& fault) {
        result.error = fault.what;
        result.module = Module{};
    }
    return result;
}

}  // namespace vc::le
