// The device descriptor block (DDB) a Windows 386 virtual device exports by
// ordinal 1: the Windows 4.0 layout (Windows 95 DDK, VxD_Desc_Block), 0x50
// bytes. The loader reads the name, the SDK version and the control
// procedure from it; the reserved words carry fixed signatures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "le_module.h"

namespace vc::le::ddb {

inline constexpr size_t kNext = 0x00;
inline constexpr size_t kSdkVersion = 0x04;
inline constexpr size_t kDeviceNumber = 0x06;
inline constexpr size_t kMajorVersion = 0x08;
inline constexpr size_t kMinorVersion = 0x09;
inline constexpr size_t kFlags = 0x0A;
inline constexpr size_t kName = 0x0C;
inline constexpr size_t kNameLength = 8;
inline constexpr size_t kInitOrder = 0x14;
inline constexpr size_t kControlProc = 0x18;
inline constexpr size_t kV86ApiProc = 0x1C;
inline constexpr size_t kPmApiProc = 0x20;
inline constexpr size_t kV86ApiCsIp = 0x24;
inline constexpr size_t kPmApiCsIp = 0x28;
inline constexpr size_t kReferenceData = 0x2C;
inline constexpr size_t kServiceTable = 0x30;
inline constexpr size_t kServiceCount = 0x34;
inline constexpr size_t kWin32ServiceTable = 0x38;
inline constexpr size_t kPrev = 0x3C;
inline constexpr size_t kSizeField = 0x40;
inline constexpr size_t kReserved1 = 0x44;
inline constexpr size_t kReserved2 = 0x48;
inline constexpr size_t kReserved3 = 0x4C;
inline constexpr size_t kSize = 0x50;

inline constexpr uint16_t kSdkVersion40 = 0x0400;
// The DDK declares these as the assembler's multi-character constants
// (VMM.INC: DDB_Prev dd 'Prev', DDB_Reserved1 dd 'Rsv1', ...), whose first
// character is the most significant byte: in the file "verP", "1vsR".
inline constexpr uint32_t kPrevSignature = 0x50726576;       // 'Prev'
inline constexpr uint32_t kReserved1Signature = 0x52737631;  // 'Rsv1'
inline constexpr uint32_t kReserved2Signature = 0x52737632;  // 'Rsv2'
inline constexpr uint32_t kReserved3Signature = 0x52737633;  // 'Rsv3'

// Empty when the module's ordinal-1 export is a descriptor block the loader
// accepts for this module: inside initialised data, the module's name in
// its name field, version 4.0, the signatures in place, the control
// procedure a fixup into executable code, and every other address field
// either zero or a fixup. Otherwise what is wrong, in words.
std::string CheckDescriptor(const Module& module);

}  // namespace vc::le::ddb
