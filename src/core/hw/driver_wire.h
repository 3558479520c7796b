// How one driver request travels between the program and the privileged
// helper that serves it on Linux, over a local stream socket. Every field is
// a little-endian 32-bit word, every length is checked on both sides.
//
// Request:  code, inputLength, outputLength, referencedLength, then the
//           input bytes and the referenced bytes (the data an SMBus write
//           request's data address refers to).
// Response: result (1 done, 0 failed), outputLength (at most what was
//           asked), then the output bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vc {

inline constexpr size_t kWireHeaderSize = 16;
inline constexpr size_t kWireResponseHeaderSize = 8;
// No request of the set needs more: the SMBus request is 28 bytes, the BIOS
// search 16, an SMBus block 32; the probe answer is the longest output.
inline constexpr uint32_t kWireMaxInput = 64;
inline constexpr uint32_t kWireMaxOutput = 1024;
inline constexpr uint32_t kWireMaxReferenced = 32;

struct WireRequest {
    uint32_t code = 0;
    std::vector<uint8_t> input;
    uint32_t outputLength = 0;
    std::vector<uint8_t> referenced;
};

struct WireResponse {
    bool ok = false;
    std::vector<uint8_t> output;
};

// The whole request as sent; nothing when a length is over its limit.
std::optional<std::vector<uint8_t>> EncodeWireRequest(const WireRequest& request);

// The lengths a request header announces. Fails (with the reason) on a
// length over its limit, so a reader never allocates what a client claims.
struct WireRequestHeader {
    uint32_t code = 0;
    uint32_t inputLength = 0;
    uint32_t outputLength = 0;
    uint32_t referencedLength = 0;
};
bool DecodeWireRequestHeader(std::span<const uint8_t> header, WireRequestHeader& out, std::string& why);

std::vector<uint8_t> EncodeWireResponse(const WireResponse& response);
// `header` is the 8-byte response header; `asked` what the request offered.
bool DecodeWireResponseHeader(std::span<const uint8_t> header, uint32_t asked, bool& ok,
                              uint32_t& outputLength);

}  // namespace vc
