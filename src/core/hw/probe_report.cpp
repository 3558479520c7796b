#include "core/hw/probe_report.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

#include "core/base/text_lines.h"
#include "core/hw/smbus_registers.h"

namespace vc {

namespace {

constexpr std::string_view kTextKey = "text=\"";

template <typename T>
std::optional<T> Number(std::string_view text, int base) {
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "key=value" words after the line's kind; a quoted text runs to the line's
// last quote and comes back under "text".
std::map<std::string, std::string, std::less<>> Fields(std::string_view rest) {
    std::map<std::string, std::string, std::less<>> fields;
    if (const size_t quoted = rest.find(kTextKey); quoted != std::string_view::npos) {
        const size_t open = quoted + kTextKey.size();
        const size_t close = rest.rfind('"');
        if (close >= open) fields["text"] = std::string(rest.substr(open, close - open));
        rest = rest.substr(0, quoted);
    }
    for (const std::string& word : SplitWords(rest)) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos) fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return fields;
}

std::optional<std::vector<uint8_t>> Bytes(std::string_view text) {
    std::vector<uint8_t> bytes;
    while (!text.empty() && bytes.size() < smbus::kBlockBufferSize) {
        const size_t comma = text.find(',');
        const auto value = Number<uint8_t>(text.substr(0, comma), 16);
        if (!value) return std::nullopt;
        bytes.push_back(*value);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return bytes;
}

}  // namespace

namespace {

template <typename Put>
std::string Line(Put put) {
    char buffer[kProbeLineMax];
    ReportText out(buffer);
    put(out);
    return std::string(out.text());
}

}  // namespace

std::string ProbeBiosLine(const FoundBiosString& found) {
    return Line([&](ReportText& out) { PutProbeBiosLine(out, found.offset, found.text, found.dmi); });
}

std::string ProbeClockGenLine(uint16_t controller, uint8_t address7, int32_t count, std::span<const uint8_t> block) {
    return Line([&](ReportText& out) { PutProbeClockGenLine(out, controller, address7, count, block); });
}

std::string ProbeHostBridgeLine(uint32_t id) {
    return Line([&](ReportText& out) { PutProbeHostBridgeLine(out, id); });
}

ProbeReport ParseProbeReport(std::string_view report) {
    ProbeReport parsed;
    for (const std::string& line : SplitLines(report)) {
        const size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        const std::string kind = line.substr(0, space);
        const auto fields = Fields(std::string_view(line).substr(space + 1));
        const auto field = [&](std::string_view key) -> std::string_view {
            const auto found = fields.find(key);
            return found == fields.end() ? std::string_view() : std::string_view(found->second);
        };
        if (kind == "bios") {
            const auto offset = Number<uint32_t>(field("offset"), 16);
            const std::string_view dmi = field("dmi");
            if (!offset || !fields.count("text")) continue;
            const DmiSource source = dmi == "board" ? DmiSource::Board
                                     : dmi == "product" ? DmiSource::Product
                                                        : DmiSource::None;
            parsed.biosStrings.push_back({*offset, std::string(field("text")), source});
        } else if (kind == "clockgen") {
            const auto controller = Number<uint16_t>(field("controller"), 16);
            if (!controller) continue;
            ProbeClockGen clockGen;
            clockGen.controller = *controller;
            clockGen.answersReported = fields.count("answers") != 0;
            clockGen.answers = field("answers") == "yes";
            clockGen.asked = field("answers") != "unknown";
            if (fields.count("readback")) {
                clockGen.readBackReported = true;
                clockGen.readBackSkipped = field("readback") == "skipped";
                if (field("readback") != "none" && !clockGen.readBackSkipped) {
                    clockGen.readBack = Bytes(field("readback"));
                }
            }
            parsed.clockGens.push_back(std::move(clockGen));
        } else if (kind == "hostbridge") {
            if (const auto id = Number<uint32_t>(field("id"), 16)) parsed.hostBridgeId = *id;
        }
    }
    return parsed;
}

}  // namespace vc
