#include "core/hw/driver_wire.h"

#include "core/base/little_endian.h"

namespace vc {

namespace {

void Append32(std::vector<uint8_t>& bytes, uint32_t value) {
    std::array<uint8_t, 4> word{};
    PutLe32(word, 0, value);
    bytes.insert(bytes.end(), word.begin(), word.end());
}

}  // namespace

// Four and two 32-bit words.
static_assert(kWireHeaderSize == 4 * kI32Bytes && kWireResponseHeaderSize == 2 * kI32Bytes);

std::optional<std::vector<uint8_t>> EncodeWireRequest(const WireRequest& request) {
    if (request.input.size() > kWireMaxInput || request.outputLength > kWireMaxOutput ||
        request.referenced.size() > kWireMaxReferenced) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(kWireHeaderSize + request.input.size() + request.referenced.size());
    Append32(bytes, request.code);
    Append32(bytes, static_cast<uint32_t>(request.input.size()));
    Append32(bytes, request.outputLength);
    Append32(bytes, static_cast<uint32_t>(request.referenced.size()));
    bytes.insert(bytes.end(), request.input.begin(), request.input.end());
    bytes.insert(bytes.end(), request.referenced.begin(), request.referenced.end());
    return bytes;
}

bool DecodeWireRequestHeader(std::span<const uint8_t> header, WireRequestHeader& out, std::string& why) {
    if (header.size() < kWireHeaderSize) {
        why = "short request header";
        return false;
    }
    out.code = GetLe32(header, 0);
    out.inputLength = GetLe32(header, 4);
    out.outputLength = GetLe32(header, 8);
    out.referencedLength = GetLe32(header, 12);
    if (out.inputLength > kWireMaxInput) why = "input of " + std::to_string(out.inputLength) + " bytes";
    else if (out.outputLength > kWireMaxOutput) why = "output of " + std::to_string(out.outputLength) + " bytes";
    else if (out.referencedLength > kWireMaxReferenced) why = "data of " + std::to_string(out.referencedLength) + " bytes";
    else return true;
    why += " is over the limit";
    return false;
}

std::vector<uint8_t> EncodeWireResponse(const WireResponse& response) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kWireResponseHeaderSize + response.output.size());
    Append32(bytes, response.ok ? 1 : 0);
    Append32(bytes, static_cast<uint32_t>(response.output.size()));
    bytes.insert(bytes.end(), response.output.begin(), response.output.end());
    return bytes;
}

bool DecodeWireResponseHeader(std::span<const uint8_t> header, uint32_t asked, bool& ok,
                              uint32_t& outputLength) {
    if (header.size() < kWireResponseHeaderSize) return false;
    const uint32_t result = GetLe32(header, 0);
    outputLength = GetLe32(header, 4);
    ok = result == 1;
    return result <= 1 && outputLength <= asked;
}

}  // namespace vc
