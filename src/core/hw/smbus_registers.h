// The SMBus host controller's registers, as offsets from its base port, and
// every bit the program, the driver and the controller model use. Both
// controller kinds (the block-buffer one and the byte-by-byte one) share
// this map.
#pragma once

#include <cstdint>

namespace vc::smbus {

inline constexpr uint16_t kStatus = 0;     // host status
inline constexpr uint16_t kControl = 2;    // read: rewinds the block-buffer pointer
inline constexpr uint16_t kCommand = 3;
inline constexpr uint16_t kAddress = 4;    // bit 0 set: read
inline constexpr uint16_t kData0 = 5;      // byte count of a block; low byte of a word
inline constexpr uint16_t kData1 = 6;      // high byte of a word
inline constexpr uint16_t kBlockData = 7;
inline constexpr uint16_t kPortSpan = 16;  // ports the controller decodes

// Host status bits. Writing a one clears a bit; BUSY cannot be cleared.
inline constexpr uint8_t kStatusBusy = 0x01;
inline constexpr uint8_t kStatusDone = 0x02;
inline constexpr uint8_t kStatusDeviceError = 0x04;  // no acknowledge
inline constexpr uint8_t kStatusBusError = 0x08;
inline constexpr uint8_t kStatusFailed = 0x10;       // bad request
inline constexpr uint8_t kStatusByteDone = 0x80;     // byte-by-byte controller: next byte wanted
inline constexpr uint8_t kStatusErrors = kStatusDeviceError | kStatusBusError | kStatusFailed;
// Written to clear every status bit; on the byte-by-byte controller it also
// releases the next block byte.
inline constexpr uint8_t kStatusClearAll = 0xFF;
// The byte-by-byte (ICH-family) controller's host semaphore, INUSE_STS: a
// status read answers it and then sets it, so whoever read it clear holds
// the controller; writing it 1 releases it. Firmware (SMM, ACPI methods)
// takes it too (Intel 82801BA datasheet, SMBus HST_STS bit 6; the kernel's
// i2c-i801 treats it as the BIOS/ACPI lock and releases it after each
// transfer). The block-buffer controller (PIIX4, VIA) has bits 5-7
// reserved: written 0 (82371AB datasheet, SMBHSTSTS).
inline constexpr uint8_t kStatusInUse = 0x40;
// What a transfer by the privileged components clears, per controller kind:
// the completion and error bits (and BYTE_DONE), never the semaphore, the
// alert bit or a reserved bit.
inline constexpr uint8_t kStatusFlagsBlockBuffer = kStatusDone | kStatusErrors;            // 0x1E
inline constexpr uint8_t kStatusFlagsByteWise = kStatusDone | kStatusErrors | kStatusByteDone;  // 0x9E

// Host control: bit 6 starts, bits 2-4 choose the protocol, bit 5 on the
// byte-by-byte controller marks the last byte and closes a stage.
inline constexpr uint8_t kControlStart = 0x40;
inline constexpr uint8_t kControlLastByte = 0x20;
inline constexpr uint8_t kControlProtocolMask = 0x1C;
inline constexpr uint8_t kProtocolByte = 0x04;  // send or, with the read address, receive one byte
inline constexpr uint8_t kProtocolWordData = 0x0C;
inline constexpr uint8_t kProtocolBlock = 0x14;
inline constexpr uint8_t kStartBlock = kControlStart | kProtocolBlock;        // 0x54
inline constexpr uint8_t kStartWordData = kControlStart | kProtocolWordData;  // 0x4C

// The command byte of the clock generators' block transfers.
inline constexpr uint8_t kCommandBlock = 0x00;

// The most data bytes one block transfer carries (the block-buffer
// controller's buffer holds exactly that many).
inline constexpr unsigned kBlockBufferSize = 32;

// Clock-generator addresses in 8-bit form.
inline constexpr uint8_t kClockGenWrite = 0xD2;
inline constexpr uint8_t kClockGenRead = 0xD3;

// The pause the sequences put between their steps.
inline constexpr uint32_t kStepWaitMs = 4;

}  // namespace vc::smbus
