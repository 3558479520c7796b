// The LE ("linear executable") file layout as far as a Windows 386 virtual
// device uses it: every field offset, record size and flag value the writer
// and the reader share, named once.
//
// Sources (public format descriptions, no code):
// - IBM, "LX - Linear eXecutable Module Format Description" (June 1992):
//   header fields, object table, resident name table, entry table bundles,
//   fixup page table and fixup records (source type 07h, internal target,
//   target flags 10h = 32-bit target offset, 40h = 16-bit object number).
// - Ralf Brown's Interrupt List, tables 01609-01618 (INT 21/AH=4Bh): where
//   the Windows LE differs from LX: bytes on the last page at 2Ch instead of
//   a page shift, and 4-byte object page map entries (a 24-bit big-endian
//   page number, then a flags byte).
// - The VxD header tail as the documentation of the `object` crate's
//   ImageVxdHeader record lists it (docs.rs): version resource offset and
//   length at B8h/BCh, device ID at C0h, DDK version at C2h.
// Offsets of the tables are from the start of the LE header; the data pages
// and the non-resident name table are at offsets from the start of the file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vc::le {

// The DOS stub in front of the LE header.
namespace mz {
inline constexpr uint16_t kMagic = 0x5A4D;  // "MZ"
inline constexpr size_t kHeaderParagraphs = 4;
inline constexpr size_t kRelocTableOffset = 0x18;
inline constexpr size_t kNewHeaderOffset = 0x3C;  // e_lfanew
inline constexpr size_t kStubSize = 0x80;         // where the writer puts the LE header
}  // namespace mz

// LE header fields.
namespace hdr {
inline constexpr uint16_t kMagic = 0x454C;  // "LE"
inline constexpr size_t kSignature = 0x00;
inline constexpr size_t kByteOrder = 0x02;
inline constexpr size_t kWordOrder = 0x03;
inline constexpr size_t kFormatLevel = 0x04;
inline constexpr size_t kCpuType = 0x08;
inline constexpr size_t kOsType = 0x0A;
inline constexpr size_t kModuleVersion = 0x0C;
inline constexpr size_t kModuleFlags = 0x10;
inline constexpr size_t kPageCount = 0x14;
inline constexpr size_t kEipObject = 0x18;
inline constexpr size_t kEip = 0x1C;
inline constexpr size_t kEspObject = 0x20;
inline constexpr size_t kEsp = 0x24;
inline constexpr size_t kPageSize = 0x28;
inline constexpr size_t kLastPageBytes = 0x2C;
inline constexpr size_t kFixupSectionSize = 0x30;
inline constexpr size_t kFixupSectionChecksum = 0x34;
inline constexpr size_t kLoaderSectionSize = 0x38;
inline constexpr size_t kLoaderSectionChecksum = 0x3C;
inline constexpr size_t kObjectTable = 0x40;
inline constexpr size_t kObjectCount = 0x44;
inline constexpr size_t kPageMap = 0x48;
inline constexpr size_t kIteratedPages = 0x4C;
inline constexpr size_t kResourceTable = 0x50;
inline constexpr size_t kResourceCount = 0x54;
inline constexpr size_t kResidentNames = 0x58;
inline constexpr size_t kEntryTable = 0x5C;
inline constexpr size_t kDirectives = 0x60;
inline constexpr size_t kDirectiveCount = 0x64;
inline constexpr size_t kFixupPageTable = 0x68;
inline constexpr size_t kFixupRecords = 0x6C;
inline constexpr size_t kImportModules = 0x70;
inline constexpr size_t kImportModuleCount = 0x74;
inline constexpr size_t kImportProcedures = 0x78;
inline constexpr size_t kPageChecksums = 0x7C;
inline constexpr size_t kDataPages = 0x80;          // from the start of the file
inline constexpr size_t kPreloadPageCount = 0x84;
inline constexpr size_t kNonResidentNames = 0x88;   // from the start of the file
inline constexpr size_t kNonResidentNamesSize = 0x8C;
inline constexpr size_t kNonResidentChecksum = 0x90;
inline constexpr size_t kAutoDataObject = 0x94;
inline constexpr size_t kDebugInfo = 0x98;
inline constexpr size_t kDebugInfoSize = 0x9C;
inline constexpr size_t kPreloadInstancePages = 0xA0;
inline constexpr size_t kDemandInstancePages = 0xA4;
inline constexpr size_t kHeapSize = 0xA8;
inline constexpr size_t kVersionResource = 0xB8;
inline constexpr size_t kVersionResourceSize = 0xBC;
inline constexpr size_t kDeviceId = 0xC0;
inline constexpr size_t kDdkVersion = 0xC2;
inline constexpr size_t kSize = 0xC4;

inline constexpr uint16_t kCpu386 = 2;
inline constexpr uint16_t kOsWindows386 = 4;
// Module type, bits 15-17. The LX description gives 0x28000 for an OS/2
// virtual device driver; Windows VxDs carry all three bits (the library bit
// with the device-driver bits), as dumps of Windows 9x VxDs show. Not yet
// checked against a 9x loader.
inline constexpr uint32_t kModuleTypeMask = 0x00038000;
inline constexpr uint32_t kModuleTypeVxd = 0x00038000;
inline constexpr uint32_t kPageBytes = 0x1000;
}  // namespace hdr

// Object table entry.
namespace obj {
inline constexpr size_t kVirtualSize = 0x00;
inline constexpr size_t kBaseAddress = 0x04;
inline constexpr size_t kFlags = 0x08;
inline constexpr size_t kFirstPage = 0x0C;  // 1-based index into the page map
inline constexpr size_t kPageCount = 0x10;
inline constexpr size_t kReserved = 0x14;
inline constexpr size_t kSize = 0x18;

inline constexpr uint32_t kReadable = 0x0001;
inline constexpr uint32_t kWritable = 0x0002;
inline constexpr uint32_t kExecutable = 0x0004;
inline constexpr uint32_t kPreload = 0x0040;
inline constexpr uint32_t kBig = 0x2000;  // 32-bit code and data
inline constexpr uint32_t kCode = kReadable | kExecutable | kPreload | kBig;
inline constexpr uint32_t kData = kReadable | kWritable | kPreload | kBig;
}  // namespace obj

// Object page map entry (LE form).
namespace pagemap {
inline constexpr size_t kSize = 4;
inline constexpr size_t kFlags = 3;
inline constexpr uint8_t kLegalPage = 0x00;
inline constexpr uint32_t kMaxPageNumber = 0xFFFFFF;
}  // namespace pagemap

// Entry table: bundles of (count, type, object) and per entry (flags, offset).
namespace entry {
inline constexpr uint8_t kBundle32 = 0x03;  // 32-bit entries
inline constexpr uint8_t kExported = 0x01;
// What the open linkers write for a 32-bit entry (Open Watcom's wlink: the
// exported bit alone; bit 1, shared data, is a 16-bit entry's flag).
inline constexpr uint8_t kFlags = kExported;
inline constexpr size_t kBundleHeader = 4;  // count, type, object word
inline constexpr size_t kEntry32 = 5;       // flags, offset dword
}  // namespace entry

// Fixup records: only internal references with a 32-bit offset source.
namespace fixup {
inline constexpr uint8_t kSource32BitOffset = 0x07;
inline constexpr uint8_t kTargetInternal = 0x00;
inline constexpr uint8_t kTargetTypeMask = 0x03;
inline constexpr uint8_t kTarget32BitOffset = 0x10;
inline constexpr uint8_t kTarget16BitObject = 0x40;
inline constexpr uint8_t kKnownTargetFlags = kTargetTypeMask | kTarget32BitOffset | kTarget16BitObject;
inline constexpr size_t kSourceBytes = 4;
// Source type, target flags, source offset word, object byte, offset dword.
inline constexpr size_t kRecordSize = 9;
}  // namespace fixup

}  // namespace vc::le
