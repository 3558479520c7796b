#include "le_writer.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/base/little_endian.h"
#include "le_layout.h"

namespace vc::le {

namespace {

constexpr size_t kDataAlignment = 0x10;
constexpr size_t kMaxName = 255;  // a name's length byte
constexpr uint8_t kDosExit[] = {0xB4, 0x4C, 0xCD, 0x21};  // mov ah,4Ch / int 21h

uint32_t PagesOf(const Object& object) { return (object.virtualSize + hdr::kPageBytes - 1) / hdr::kPageBytes; }

void PutName(ByteWriter& out, const std::string& name, uint16_t ordinal) {
    const uint8_t length = static_cast<uint8_t>(name.size());
    out.PutBytes(&length, 1);
    out.PutBytes(name.data(), name.size());
    out.PutU16(ordinal);
}

void PutByte(ByteWriter& out, uint8_t value) { out.PutBytes(&value, 1); }

// One record of page-relative source `offset` (negative for the second half
// of a field that starts on the page before).
void PutFixupRecord(ByteWriter& out, int32_t offset, const Fixup& f) {
    const bool wideTarget = f.targetOffset > 0xFFFF;
    const bool wideObject = f.targetObject > 0xFF;
    PutByte(out, fixup::kSource32BitOffset);
    PutByte(out, static_cast<uint8_t>(fixup::kTargetInternal | (wideTarget ? fixup::kTarget32BitOffset : 0) |
                                      (wideObject ? fixup::kTarget16BitObject : 0)));
    out.PutU16(static_cast<uint16_t>(offset));
    if (wideObject)
        out.PutU16(static_cast<uint16_t>(f.targetObject));
    else
        PutByte(out, static_cast<uint8_t>(f.targetObject));
    if (wideTarget)
        out.PutU32(f.targetOffset);
    else
        out.PutU16(static_cast<uint16_t>(f.targetOffset));
}

std::string Check(const Module& module) {
    // An empty name would read as the end of its table.
    if (module.name.empty() || module.name.size() > kMaxName || DescriptorName(module.name).size() > kMaxName ||
        module.description.empty() || module.description.size() > kMaxName)
        return "the name and the description must be 1 to 255 bytes";
    if (module.objects.empty() || module.objects.size() > 0xFFFF) return "the module needs 1 to 65535 objects";
    uint64_t pages = 0;
    for (size_t i = 0; i < module.objects.size(); ++i) {
        const Object& o = module.objects[i];
        if (o.bytes.size() > o.virtualSize) return "object " + std::to_string(i + 1) + " holds more bytes than its size";
        pages += PagesOf(o);
        for (const Fixup& f : o.fixups) {
            if (uint64_t{f.sourceOffset} + fixup::kSourceBytes > o.virtualSize ||
                f.targetObject == 0 || f.targetObject > module.objects.size() ||
                f.targetOffset > module.objects[f.targetObject - 1].virtualSize)
                return "a fixup of object " + std::to_string(i + 1) + " lies outside its objects";
        }
    }
    if (pages > pagemap::kMaxPageNumber) return "too many pages";
    const Export& d = module.descriptor;
    if (d.object == 0 || d.object > module.objects.size()) return "the descriptor block names no object";
    return {};
}

}  // namespace

std::vector<uint8_t> WriteLe(const Module& module, std::string& error) {
    error = Check(module);
    if (!error.empty()) return {};

    // Loader section.
    std::vector<uint8_t> loader;
    ByteWriter ld(loader);
    const size_t objectTable = hdr::kSize;
    uint32_t nextPage = 1;
    for (const Object& o : module.objects) {
        ld.PutU32(o.virtualSize);
        ld.PutU32(0);  // relocation base: the loader places every object
        ld.PutU32(o.flags);
        ld.PutU32(nextPage);
        ld.PutU32(PagesOf(o));
        ld.PutU32(0);
        nextPage += PagesOf(o);
    }
    const uint32_t pageCount = nextPage - 1;
    const size_t pageMap = objectTable + loader.size();
    for (uint32_t page = 1; page <= pageCount; ++page) {
        PutByte(ld, static_cast<uint8_t>(page >> 16));
        PutByte(ld, static_cast<uint8_t>(page >> 8));
        PutByte(ld, static_cast<uint8_t>(page));
        PutByte(ld, pagemap::kLegalPage);
    }
    const size_t residentNames = objectTable + loader.size();
    PutName(ld, module.name, 0);
    PutName(ld, module.descriptor.name, 1);
    PutByte(ld, 0);
    const size_t entryTable = objectTable + loader.size();
    PutByte(ld, 1);
    PutByte(ld, entry::kBundle32);
    ld.PutU16(static_cast<uint16_t>(module.descriptor.object));
    PutByte(ld, entry::kFlags);
    ld.PutU32(module.descriptor.offset);
    PutByte(ld, 0);

    // Fixup section: per page, the records of the fields that start on it
    // and the second halves of the fields that started on the page before.
    std::vector<uint8_t> pageTable, records;
    ByteWriter pt(pageTable), rec(records);
    for (const Object& o : module.objects) {
        for (uint32_t page = 0; page < PagesOf(o); ++page) {
            pt.PutU32(static_cast<uint32_t>(records.size()));
            const int64_t pageStart = int64_t{page} * hdr::kPageBytes;
            for (const Fixup& f : o.fixups) {
                const int64_t offset = int64_t{f.sourceOffset} - pageStart;
                if (offset > -int64_t{fixup::kSourceBytes} && offset < int64_t{hdr::kPageBytes})
                    PutFixupRecord(rec, static_cast<int32_t>(offset), f);
            }
        }
    }
    pt.PutU32(static_cast<uint32_t>(records.size()));
    const size_t fixupPageTable = objectTable + loader.size();
    const size_t fixupRecords = fixupPageTable + pageTable.size();
    const size_t importTables = fixupRecords + records.size();

    const size_t headerEnd = mz::kStubSize + importTables;
    const size_t dataPages = (headerEnd + kDataAlignment - 1) / kDataAlignment * kDataAlignment;
    const size_t nonResident = dataPages + size_t{pageCount} * hdr::kPageBytes;

    std::vector<uint8_t> names;
    ByteWriter nr(names);
    PutName(nr, module.description, 0);
    PutByte(nr, 0);

    std::array<uint8_t, mz::kStubSize> stub{};
    PutLe<uint16_t>(stub, 0, mz::kMagic);
    PutLe<uint16_t>(stub, 0x02, mz::kStubSize);  // bytes on the last 512-byte page
    PutLe<uint16_t>(stub, 0x04, 1);             // 512-byte pages
    PutLe<uint16_t>(stub, 0x08, mz::kHeaderParagraphs);
    PutLe<uint16_t>(stub, 0x0C, 0xFFFF);  // most paragraphs
    PutLe<uint16_t>(stub, mz::kRelocTableOffset, mz::kHeaderParagraphs * 16);
    PutLe32(stub, mz::kNewHeaderOffset, mz::kStubSize);
    std::copy(std::begin(kDosExit), std::end(kDosExit), stub.begin() + mz::kHeaderParagraphs * 16);

    std::array<uint8_t, hdr::kSize> h{};
    PutLe<uint16_t>(h, hdr::kSignature, hdr::kMagic);
    PutLe<uint16_t>(h, hdr::kCpuType, hdr::kCpu386);
    PutLe<uint16_t>(h, hdr::kOsType, hdr::kOsWindows386);
    PutLe32(h, hdr::kModuleFlags, hdr::kModuleTypeVxd);
    PutLe32(h, hdr::kPageCount, pageCount);
    PutLe32(h, hdr::kPageSize, hdr::kPageBytes);
    PutLe32(h, hdr::kLastPageBytes, pageCount == 0 ? 0 : hdr::kPageBytes);
    PutLe32(h, hdr::kFixupSectionSize, static_cast<uint32_t>(importTables - fixupPageTable));
    PutLe32(h, hdr::kLoaderSectionSize, static_cast<uint32_t>(fixupPageTable - objectTable));
    PutLe32(h, hdr::kObjectTable, static_cast<uint32_t>(objectTable));
    PutLe32(h, hdr::kObjectCount, static_cast<uint32_t>(module.objects.size()));
    PutLe32(h, hdr::kPageMap, static_cast<uint32_t>(pageMap));
    PutLe32(h, hdr::kResourceTable, static_cast<uint32_t>(residentNames));
    PutLe32(h, hdr::kResidentNames, static_cast<uint32_t>(residentNames));
    PutLe32(h, hdr::kEntryTable, static_cast<uint32_t>(entryTable));
    PutLe32(h, hdr::kFixupPageTable, static_cast<uint32_t>(fixupPageTable));
    PutLe32(h, hdr::kFixupRecords, static_cast<uint32_t>(fixupRecords));
    PutLe32(h, hdr::kImportModules, static_cast<uint32_t>(importTables));
    PutLe32(h, hdr::kImportProcedures, static_cast<uint32_t>(importTables));
    PutLe32(h, hdr::kDataPages, static_cast<uint32_t>(dataPages));
    PutLe32(h, hdr::kPreloadPageCount, pageCount);
    PutLe32(h, hdr::kNonResidentNames, static_cast<uint32_t>(nonResident));
    PutLe32(h, hdr::kNonResidentNamesSize, static_cast<uint32_t>(names.size()));
    PutLe<uint16_t>(h, hdr::kDeviceId, module.deviceId);
    PutLe<uint16_t>(h, hdr::kDdkVersion, module.ddkVersion);

    std::vector<uint8_t> file;
    file.reserve(nonResident + names.size());
    file.insert(file.end(), stub.begin(), stub.end());
    file.insert(file.end(), h.begin(), h.end());
    file.insert(file.end(), loader.begin(), loader.end());
    file.insert(file.end(), pageTable.begin(), pageTable.end());
    file.insert(file.end(), records.begin(), records.end());
    file.resize(nonResident, 0);  // alignment and the data pages, filled below

    size_t page = dataPages;
    for (const Object& o : module.objects) {
        std::copy(o.bytes.begin(), o.bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(page));
        page += size_t{PagesOf(o)} * hdr::kPageBytes;
    }
    file.insert(file.end(), names.begin(), names.end());
    return file;
}

}  // namespace vc::le
