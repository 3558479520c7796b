#include "sim/trace.h"
#include "core/base/hex_text.h"

#include <cstdio>

namespace vc::sim {
namespace {

const char* ProtocolName(SmbusProtocol protocol) {
    switch (protocol) {
    case SmbusProtocol::BlockWrite: return "block-write";
    case SmbusProtocol::BlockRead: return "block-read";
    case SmbusProtocol::WordWrite: return "word-write";
    case SmbusProtocol::ReceiveByte: return "receive-byte";
    case SmbusProtocol::Unsupported: return "unsupported";
    }
    return "?";
}

std::string Format(const PortAccess& a) {
    std::string line = a.origin == PortOrigin::Driver ? "driver port " : "port ";
    line += a.output ? "out" : "in";
    if (a.width == 32) line += "32";
    line += " " + HexText(a.port, 4) + (a.output ? " <- " : " -> ") + HexText(a.value, a.width / 4);
    if (a.denied) line += " denied";
    return line;
}

std::string Format(const SmbusTransaction& t) {
    std::string line = std::string("smbus ") + ProtocolName(t.protocol) +
                       " addr=" + HexText(t.address, 2) + " cmd=" + HexText(t.command, 2);
    if (t.protocol != SmbusProtocol::WordWrite) line += " count=" + std::to_string(t.count);
    line += " bytes=[";
    for (size_t i = 0; i < t.bytes.size(); ++i) {
        if (i != 0) line += ' ';
        line += HexText(t.bytes[i], 2);
    }
    line += "]";
    if (!t.acknowledged) line += " no-ack";
    if (!t.complete) line += " closed-early";
    return line;
}

std::string Format(const ChipSelect& s) {
    std::string line = "chip " + s.chip + " select " + HexText(s.value, 2);
    if (s.accepted) {
        char mhz[32];
        std::snprintf(mhz, sizeof mhz, "%.2f", s.busMHz);
        return line + " accepted bus=" + mhz + "MHz";
    }
    return line + " rejected (" + s.reason + ")";
}

std::string Format(const DriverCall& c) {
    std::string line = "driver " + c.device + " request " + HexText(c.code, c.code > 0xFF ? 8 : 1) +
                       (c.succeeded ? " ok" : " failed");
    if (!c.note.empty()) line += " (" + c.note + ")";
    return line;
}

}  // namespace

std::string FormatEntry(const TraceEntry& entry) {
    switch (entry.kind) {
    case TraceKind::Port: return Format(entry.port);
    case TraceKind::Smbus: return Format(entry.smbus);
    case TraceKind::Select: return Format(entry.select);
    case TraceKind::Driver: return Format(entry.driver);
    }
    return {};
}

std::vector<std::string> Trace::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (const auto& e : entries_) lines.push_back(FormatEntry(e));
    return lines;
}

}  // namespace vc::sim
