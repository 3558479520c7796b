// The machine description text format (documented in machines/README.md):
// one `key = value` per line, `#` starts a comment, blank lines ignored.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <type_traits>

#include "sim/bios_image.h"
#include "sim/clock_chip.h"
#include "sim/clock_table_file.h"
#include "sim/file_bytes.h"
#include "sim/machine_description.h"
#include "sim/pci_host_bridge.h"
#include "sim/processor_model.h"
#include "core/base/text_lines.h"
#include "core/hw/smbus_controller_table.h"
#include "core/hw/smbus_registers.h"

namespace vc::sim {
namespace {

constexpr size_t kMaxTableFileBytes = 1 << 20;

// Splits a value into words; a word in double quotes may hold blanks, `#`
// and the escapes \" \\ \xNN.
bool SplitWords(const std::string& text, std::vector<std::string>& words, std::string& error) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') { ++i; continue; }
        std::string word;
        if (text[i] != '"') {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t') word.push_back(text[i++]);
            words.push_back(word);
            continue;
        }
        ++i;
        bool closed = false;
        while (i < text.size()) {
            const char c = text[i++];
            if (c == '"') { closed = true; break; }
            if (c != '\\') { word.push_back(c); continue; }
            if (i >= text.size()) break;
            const char e = text[i++];
            if (e == '"' || e == '\\') { word.push_back(e); continue; }
            if (e == 'x' && i + 2 <= text.size()) {
                char* end = nullptr;
                const std::string hex = text.substr(i, 2);
                const long v = std::strtol(hex.c_str(), &end, 16);
                if (end == hex.c_str() + 2) { word.push_back(static_cast<char>(v)); i += 2; continue; }
            }
            error = "bad escape in quoted text";
            return false;
        }
        if (!closed) { error = "quoted text is not closed"; return false; }
        words.push_back(word);
    }
    return true;
}

// Drops a `#` comment that is not inside quotes.
std::string StripComment(const std::string& line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && quoted) { ++i; continue; }
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == '#' && !quoted) return line.substr(0, i);
    }
    return line;
}

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

bool ToUnsigned(const std::string& word, uint64_t max, uint64_t& value) {
    if (word.empty() || word[0] == '-' || word[0] == '+') return false;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* begin = word.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(begin, &end, hex ? 16 : 10);
    if (errno != 0 || end == begin || *end != '\0' || v > max) return false;
    value = v;
    return true;
}

bool ToDouble(const std::string& word, double& value) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(word.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ToBool(const std::string& word, bool& value) {
    if (word == "yes" || word == "true" || word == "1") { value = true; return true; }
    if (word == "no" || word == "false" || word == "0") { value = false; return true; }
    return false;
}

// One key's handler: the value's words in, an error text out ("" when fine).
struct Setting {
    bool repeatable;
    std::function<std::string(const std::vector<std::string>&, MachineDescription&)> apply;
};

class Parser {
public:
    explicit Parser(std::string baseDir) : baseDir_(std::move(baseDir)) {}
    DescriptionResult Run(const std::string& text);

private:
    std::map<std::string, Setting> Settings();
    std::string Check(const MachineDescription& d) const;

    std::string baseDir_;
    std::map<std::string, int> keyLines_;
};

// --- value helpers that report in the parser's words -----------------------

std::string One(const std::vector<std::string>& w) {
    return w.size() == 1 ? "" : "expected one value, got " + std::to_string(w.size());
}

std::string Unsigned(const std::vector<std::string>& w, uint64_t max, uint64_t& out) {
    if (auto e = One(w); !e.empty()) return e;
    if (!ToUnsigned(w[0], max, out)) {
        return "expected a number from 0 to " + std::to_string(max) + ", got '" + w[0] + "'";
    }
    return "";
}

template <typename T>
std::function<std::string(const std::vector<std::string>&, MachineDescription&)> UnsignedInto(
    T MachineDescription::*part, auto field, uint64_t max) {
    return [part, field, max](const std::vector<std::string>& w, MachineDescription& d) {
        uint64_t v = 0;
        auto e = Unsigned(w, max, v);
        if (e.empty()) (d.*part).*field = static_cast<std::remove_reference_t<decltype((d.*part).*field)>>(v);
        return e;
    };
}

template <typename T>
std::function<std::string(const std::vector<std::string>&, MachineDescription&)> BoolInto(
    T MachineDescription::*part, bool T::*field) {
    return [part, field](const std::vector<std::string>& w, MachineDescription& d) -> std::string {
        if (auto e = One(w); !e.empty()) return e;
        if (!ToBool(w[0], (d.*part).*field)) return "expected yes or no, got '" + w[0] + "'";
        return "";
    };
}

std::string PositiveDouble(const std::vector<std::string>& w, double max, double& out) {
    if (auto e = One(w); !e.empty()) return e;
    double v = 0;
    if (!ToDouble(w[0], v) || v <= 0.0 || v > max) {
        return "expected a number above 0 and at most " + std::to_string(static_cast<int>(max)) +
               ", got '" + w[0] + "'";
    }
    out = v;
    return "";
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::string content;
    if (!ReadWholeFile(path, kMaxTableFileBytes, content)) return false;
    bytes.assign(content.begin(), content.end());
    return true;
}

std::map<std::string, Setting> Parser::Settings() {
    using D = MachineDescription;
    std::map<std::string, Setting> s;
    s["name"] = {false, [](const auto& w, D& d) -> std::string {
        if (w.empty()) return "expected a name";
        d.name.clear();
        for (const auto& word : w) d.name += (d.name.empty() ? "" : " ") + word;
        return "";
    }};
    // --- operating system
    s["os.kind"] = {false, [](const auto& w, D& d) -> std::string {
        uint64_t v = 0;
        if (auto e = Unsigned(w, 3, v); !e.empty()) return e;
        static const OsDescription kinds[] = {{2, 6, 0}, {1, 4, 10}, {2, 4, 0}, {2, 5, 0}};
        d.os = kinds[v];
        return "";
    }};
    s["os.platform"] = {false, UnsignedInto(&D::os, &OsDescription::platformId, 0xFFFFFFFF)};
    s["os.major"] = {false, UnsignedInto(&D::os, &OsDescription::majorVersion, 0xFFFFFFFF)};
    s["os.minor"] = {false, UnsignedInto(&D::os, &OsDescription::minorVersion, 0xFFFFFFFF)};
    // --- processor
    s["cpu.cpuid"] = {false, BoolInto(&D::cpu, &ProcessorDescription::hasCpuid)};
    s["cpu.vendor"] = {false, [](const auto& w, D& d) -> std::string {
        if (auto e = One(w); !e.empty()) return e;
        if (w[0].size() > 12) return "a vendor string has at most 12 characters";
        d.cpu.vendor = w[0];
        return "";
    }};
    s["cpu.signature"] = {false, UnsignedInto(&D::cpu, &ProcessorDescription::signature, 0xFFFFFFFF)};
    s["cpu.features"] = {false, UnsignedInto(&D::cpu, &ProcessorDescription::features, 0xFFFFFFFF)};
    s["cpu.leaf2"] = {false, [](const auto& w, D& d) -> std::string {
        if (w.size() != 4) return "expected four numbers (EAX EBX ECX EDX)";
        for (size_t i = 0; i < 4; ++i) {
            uint64_t v = 0;
            if (!ToUnsigned(w[i], 0xFFFFFFFF, v)) return "expected a 32-bit number, got '" + w[i] + "'";
            d.cpu.leaf2[i] = static_cast<uint32_t>(v);
        }
        return "";
    }};
    s["cpu.flagsKind"] = {false, [](const auto& w, D& d) -> std::string {
        uint64_t v = 0;
        if (auto e = Unsigned(w, 4, v); !e.empty()) return e;
        if (v == 1) return "the flag tests tell apart kinds 0, 2, 3 and 4 only";
        d.cpu.flagsKind = static_cast<int32_t>(v);
        return "";
    }};
    s["cpu.clone"] = {false, BoolInto(&D::cpu, &ProcessorDescription::clone)};
    s["cpu.multiplier"] = {false, [](const auto& w, D& d) { return PositiveDouble(w, 64.0, d.cpu.multiplier); }};
    s["cpu.ratioCode"] = {false, [](const auto& w, D& d) {
        uint64_t v = 0;
        auto e = Unsigned(w, 15, v);
        if (e.empty()) d.cpu.ratioCode = static_cast<uint32_t>(v);
        return e;
    }};
    s["cpu.ratioExtended"] = {false, BoolInto(&D::cpu, &ProcessorDescription::ratioExtended)};
    s["cpu.configWord"] = {false, [](const auto& w, D& d) {
        uint64_t v = 0;
        auto e = Unsigned(w, 0xFFFFFFFF, v);
        if (e.empty()) d.cpu.configWord = static_cast<uint32_t>(v);
        return e;
    }};
    s["cpu.loopCycles"] = {false, [](const auto& w, D& d) {
        uint64_t v = 0;
        auto e = Unsigned(w, 100000, v);
        if (e.empty()) d.cpu.loopCycles = static_cast<uint32_t>(v);
        return e;
    }};
    // --- time
    s["time.mode"] = {false, [](const auto& w, D& d) -> std::string {
        if (auto e = One(w); !e.empty()) return e;
        if (w[0] == "virtual") d.time.mode = TimeMode::Virtual;
        else if (w[0] == "real") d.time.mode = TimeMode::Real;
        else return "expected virtual or real, got '" + w[0] + "'";
        return "";
    }};
    s["time.perfCounter"] = {false, [](const auto& w, D& d) -> std::string {
        if (w.size() == 1 && w[0] == "absent") { d.time.perfCounterPresent = false; return ""; }
        uint64_t v = 0;
        if (!Unsigned(w, kMaxCounterHz, v).empty() || v == 0) {
            return "expected absent or a frequency from 1 to " + std::to_string(kMaxCounterHz) + " Hz";
        }
        d.time.perfCounterPresent = true;
        d.time.perfFrequency = v;
        return "";
    }};
    s["time.tickStartMs"] = {false, UnsignedInto(&D::time, &TimeDescription::tickStartMs, 0xFFFFFFFF)};
    s["time.priorityQueryFails"] = {false, BoolInto(&D::time, &TimeDescription::priorityQueryFails)};
    // --- BIOS
    s["bios.fill"] = {false, UnsignedInto(&D::bios, &BiosDescription::fill, 0xFF)};
    s["bios.windowAddress"] = {false, [](const auto& w, D& d) -> std::string {
        uint64_t v = 0;
        if (!Unsigned(w, 0xFFFFFFFF, v).empty() || v == 0) return "expected a non-zero 32-bit address";
        d.bios.windowAddress = static_cast<uint32_t>(v);
        return "";
    }};
    s["bios.string"] = {true, [](const auto& w, D& d) -> std::string {
        uint64_t offset = 0;
        if (w.size() != 2 || !ToUnsigned(w[0], kBiosWindowSize - 1, offset)) {
            return "expected an offset 0x0000-0xFFFF and a quoted text";
        }
        if (offset + w[1].size() > kBiosWindowSize) return "the text runs past offset 0xFFFF";
        d.bios.strings.push_back({static_cast<uint32_t>(offset), w[1]});
        return "";
    }};
    // --- PCI
    s["pci.hostBridgeId"] = {false, UnsignedInto(&D::pci, &PciDescription::hostBridgeId, 0xFFFFFFFF)};
    s["pci.register"] = {true, [](const auto& w, D& d) -> std::string {
        uint64_t reg = 0;
        uint64_t value = 0;
        if (w.size() != 2 || !ToUnsigned(w[0], 0xFC, reg) || reg % 4 != 0 || reg == 0 ||
            !ToUnsigned(w[1], 0xFFFFFFFF, value)) {
            return "expected a register 0x04-0xFC (a multiple of 4) and a 32-bit value";
        }
        d.pci.registers[static_cast<uint8_t>(reg)] = static_cast<uint32_t>(value);
        return "";
    }};
    // --- board
    s["board.smbusKind"] = {false, UnsignedInto(&D::board, &BoardDescription::smbusKind, 2)};
    s["board.smbusBase"] = {false, UnsignedInto(&D::board, &BoardDescription::smbusBase, 0xFFF0)};
    s["board.southBridge"] = {false, [](const auto& w, D& d) -> std::string {
        if (auto e = One(w); !e.empty()) return e;
        for (const KnownSmbusFunction& known : KnownSmbusFunctions()) {
            if (w[0] == known.name) {
                d.board.southBridge = w[0];
                return "";
            }
        }
        return "unknown south bridge '" + w[0] + "' (machines/README.md lists them)";
    }};
    s["board.smbusHostEnable"] = {false, BoolInto(&D::board, &BoardDescription::smbusHostEnabled)};
    s["board.smbusCommand"] = {false, [](const auto& w, D& d) -> std::string {
        uint64_t value = 0;
        if (w.size() != 1 || !ToUnsigned(w[0], 0xFFFF, value)) return "expected a 16-bit value";
        d.board.smbusCommand = static_cast<uint16_t>(value);
        return "";
    }};
    s["board.smbusSemaphoreHeld"] = {false, BoolInto(&D::board, &BoardDescription::smbusSemaphoreHeld)};
    s["board.bootBusMHz"] = {false, [](const auto& w, D& d) { return PositiveDouble(w, 1000.0, d.board.bootBusMHz); }};
    // --- clock chip
    s["chip.model"] = {false, [](const auto& w, D& d) -> std::string {
        if (auto e = One(w); !e.empty()) return e;
        if (FindChipModel(w[0]) == nullptr) {
            return "unknown chip model '" + w[0] + "' (machines/README.md lists the models)";
        }
        d.chip.model = w[0];
        return "";
    }};
    s["chip.name"] = {false, [](const auto& w, D& d) -> std::string {
        if (auto e = One(w); !e.empty()) return e;
        d.chip.name = w[0];
        return "";
    }};
    s["chip.firstByteMask"] = {false, UnsignedInto(&D::chip, &ChipDescription::firstByteMask, 0xFF)};
    s["chip.entry"] = {true, [](const auto& w, D& d) -> std::string {
        ClockEntry e;
        uint64_t band = 0;
        uint64_t select = 0;
        if (w.size() != 5 || !ToDouble(w[0], e.busMHz) || !ToDouble(w[1], e.pciMHz) ||
            !ToDouble(w[2], e.memMHz) || !ToUnsigned(w[3], 99, band) ||
            !ToUnsigned(w[4], 0xFFFFFFFF, select)) {
            return "expected BUS PCI MEM BAND SELECT (three clocks in MHz, a band code, a select value)";
        }
        if (e.busMHz <= 0.0 || e.pciMHz < 0.0 || e.memMHz < 0.0) return "clocks must not be negative";
        if (d.chip.entries.size() >= static_cast<size_t>(kMaxClockEntries)) return "a table holds at most 64 entries";
        e.bandCode = static_cast<int32_t>(band);
        e.chipValue = static_cast<int32_t>(select);
        d.chip.entries.push_back(e);
        return "";
    }};
    s["chip.registers"] = {false, [](const auto& w, D& d) -> std::string {
        if (w.empty() || w.size() > kChipRegisterCount) return "expected 1 to 32 bytes";
        std::vector<uint8_t> bytes;
        for (const auto& word : w) {
            uint64_t v = 0;
            if (!ToUnsigned(word, 0xFF, v)) return "expected a byte, got '" + word + "'";
            bytes.push_back(static_cast<uint8_t>(v));
        }
        d.chip.registers = bytes;
        return "";
    }};
    s["chip.tableFile"] = {false, [this](const auto& w, D& d) -> std::string {
        if (w.size() != 2) return "expected a file name and a chip name";
        if (baseDir_.empty()) return "this description cannot name files (it has no directory)";
        std::vector<uint8_t> bytes;
        const std::string path = baseDir_ + "/" + w[0];
        if (!ReadFile(path, bytes)) return "cannot read '" + path + "'";
        ClockTable table;
        std::string error;
        if (!ParseClockTable(bytes, w[1], table, error)) return error;
        d.chip.entries = table.entries;
        d.chip.firstByteMask = table.firstByteMask;
        return "";
    }};
    s["chip.ignoresWrites"] = {false, BoolInto(&D::chip, &ChipDescription::ignoresWrites)};
    // --- faults
    s["fault.driverMissing"] = {false, BoolInto(&D::faults, &FaultDescription::driverMissing)};
    s["fault.biosRequest"] = {false, BoolInto(&D::faults, &FaultDescription::biosRequestFails)};
    s["fault.configWord"] = {false, BoolInto(&D::faults, &FaultDescription::configWordFails)};
    s["fault.pci"] = {false, BoolInto(&D::faults, &FaultDescription::pciFails)};
    s["fault.smbus"] = {false, BoolInto(&D::faults, &FaultDescription::smbusFails)};
    s["fault.hangAboveBusMHz"] = {false, [](const auto& w, D& d) {
        double mhz = 0;
        std::string error = PositiveDouble(w, 1000.0, mhz);
        if (error.empty()) d.faults.hangAboveBusMHz = mhz;
        return error;
    }};
    return s;
}

std::string Parser::Check(const MachineDescription& d) const {
    auto where = [this](const char* key) {
        const auto it = keyLines_.find(key);
        return it == keyLines_.end() ? std::string() : "line " + std::to_string(it->second) + ": ";
    };
    if (d.board.smbusKind != 0) {
        const uint32_t base = d.board.smbusBase;
        if (base == 0) return where("board.smbusKind") + "an SMBus controller needs board.smbusBase";
        if (base < kPciDataPort + 4 && base + smbus::kPortSpan > kPciAddressPort) {
            return where("board.smbusBase") + "the SMBus ports overlap the PCI ports 0xCF8-0xCFF";
        }
        if (const KnownSmbusFunction* bridge = SouthBridgeOf(d.board); bridge->kind != d.board.smbusKind) {
            return where("board.southBridge") + "the " + bridge->name + "'s SMBus controller is of kind " +
                   std::to_string(bridge->kind);
        }
    } else if (!d.board.southBridge.empty()) {
        return where("board.southBridge") + "a south bridge needs board.smbusKind";
    }
    if (d.cpu.hasCpuid && !d.cpu.ratioCode && !d.cpu.configWord &&
        (d.cpu.vendor == "GenuineIntel" || d.cpu.vendor == "AuthenticAMD")) {
        uint32_t code = 0;
        bool extended = false;
        if (!EncodeMultiplier(d.cpu.vendor, d.cpu.multiplier, code, extended)) {
            return where("cpu.multiplier") + "this multiplier has no code; give cpu.ratioCode";
        }
    }
    if (const ChipModel* model = FindChipModel(d.chip.model)) {
        if (model->tableStated && d.chip.entries.empty()) {
            return where("chip.model") + "the chip needs a table (chip.entry lines or chip.tableFile)";
        }
        for (const char* key : {"chip.entry", "chip.tableFile", "chip.firstByteMask"}) {
            if (!model->tableStated && keyLines_.count(key) != 0) {
                return where(key) + key + ": the " + d.chip.model + " has its own table";
            }
        }
    }
    return "";
}

DescriptionResult Parser::Run(const std::string& text) {
    MachineDescription d;
    d.bios.strings.clear();
    const auto settings = Settings();
    int lineNo = 0;
    auto fail = [&](const std::string& message) {
        return DescriptionResult{std::nullopt, "line " + std::to_string(lineNo) + ": " + message};
    };
    for (const std::string& raw : SplitLines(text)) {
        ++lineNo;
        const std::string line = Trim(StripComment(raw));
        if (line.empty()) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) return fail("expected 'key = value'");
        const std::string key = Trim(line.substr(0, eq));
        const auto it = settings.find(key);
        if (it == settings.end()) return fail("unknown key '" + key + "'");
        if (!it->second.repeatable && keyLines_.count(key) != 0) {
            return fail("'" + key + "' was already given on line " + std::to_string(keyLines_[key]));
        }
        keyLines_.emplace(key, lineNo);
        std::vector<std::string> words;
        std::string error;
        if (!SplitWords(Trim(line.substr(eq + 1)), words, error)) return fail(key + ": " + error);
        error = it->second.apply(words, d);
        if (!error.empty()) return fail(key + ": " + error);
    }
    if (auto error = Check(d); !error.empty()) return {std::nullopt, error};
    if (d.chip.name.empty()) d.chip.name = d.chip.model;
    return {d, ""};
}

}  // namespace

DescriptionResult LoadMachineDescription(const std::string& text, const std::string& baseDir) {
    return Parser(baseDir).Run(text);
}

int32_t PersonalityOf(const OsDescription& os) {
    if (os.platformId == 2 && os.majorVersion == 5) return 3;
    if (os.platformId == 2 && os.majorVersion == 4) return 2;
    if (os.platformId == 1) return 1;
    return 0;
}

}  // namespace vc::sim
