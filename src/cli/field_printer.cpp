#include "cli/field_printer.h"

#include <cstdio>
#include <cstring>

namespace vc::cli {

void FieldPrinter::Real(const std::string& key, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    out_ << key << ": " << text << '\n';
}

void FieldPrinter::Integer(const std::string& key, int64_t value) {
    out_ << key << ": " << value << '\n';
}

void FieldPrinter::Word(const std::string& key, uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    out_ << key << ": " << text << '\n';
}

void FieldPrinter::Text(const std::string& key, const std::string& value) {
    out_ << key << ": " << value << '\n';
}

void FieldPrinter::FixedText(const std::string& key, const char* field, size_t size) {
    Text(key, std::string(field, strnlen(field, size)));
}

void PrintSpeedSample(FieldPrinter& p, const std::string& prefix, const SpeedSample& s) {
    p.Integer(prefix + "cycles", s.cycles);
    p.Integer(prefix + "elapsedUs", s.elapsedUs);
    p.Integer(prefix + "rawMHz", s.rawMHz);
    p.Integer(prefix + "roundedMHz", s.roundedMHz);
}

void PrintCpuInfo(FieldPrinter& p, const std::string& prefix, const CPUInfo& cpu) {
    p.FixedText(prefix + "vendorId", cpu.vendorId, sizeof cpu.vendorId);
    p.Integer(prefix + "family", cpu.family);
    p.Integer(prefix + "model", cpu.model);
    p.Integer(prefix + "stepping", cpu.stepping);
    p.Word(prefix + "featureFlags", cpu.featureFlags);
    for (size_t i = 0; i < 4; ++i)
        p.Word(prefix + "cacheDescriptors[" + std::to_string(i) + "]", cpu.cacheDescriptors[i]);
    p.Integer(prefix + "vendorCode", cpu.vendorCode);
    // No decoded multiplier, no bus clock: say so rather than print a zero.
    const bool multiplierKnown = cpu.multiplier != 0.0;
    if (multiplierKnown) p.Real(prefix + "multiplier", cpu.multiplier);
    else p.Text(prefix + "multiplier", "unknown");
    p.Real(prefix + "cpuClockMHz", cpu.cpuClockMHz);
    if (multiplierKnown) p.Real(prefix + "busClockMHz", cpu.busClockMHz);
    else p.Text(prefix + "busClockMHz", "unknown");
    p.Integer(prefix + "signature", cpu.signature);
    p.Integer(prefix + "cloneFlag", cpu.cloneFlag);
    PrintSpeedSample(p, prefix + "speed.", cpu.speed);
    p.Word(prefix + "ratioWord", cpu.ratioWord);
}

void PrintBoard(FieldPrinter& p, const std::string& prefix, const BoardRecord& board) {
    p.FixedText(prefix + "biosId", board.biosId, sizeof board.biosId);
    p.FixedText(prefix + "clockGenName", board.clockGenName, sizeof board.clockGenName);
    p.Integer(prefix + "chipsetCode", board.chipsetCode);
    p.Integer(prefix + "smbusBase", board.smbusBase);
    p.Integer(prefix + "smbusKind", board.smbusKind);
    p.Real(prefix + "maxBusRatio", board.maxBusRatio);
    p.Real(prefix + "maxPciRatio", board.maxPciRatio);
    p.Real(prefix + "maxMemRatio", board.maxMemRatio);
}

void PrintClockGen(FieldPrinter& p, const std::string& prefix, const ClockGenRecord* clockGen) {
    if (!clockGen) {
        p.Text(prefix + "name", "");
        p.Integer(prefix + "entryCount", 0);
        return;
    }
    p.FixedText(prefix + "name", clockGen->name, sizeof clockGen->name);
    p.Integer(prefix + "entryCount", clockGen->entryCount);
    p.Integer(prefix + "firstByteMask", clockGen->firstByteMask);
    p.Integer(prefix + "fineTune", clockGen->fineTune);
}

void PrintClockWriter(FieldPrinter& p, const std::string& prefix, const ClockWriter& writer) {
    const SmbusAccess& a = writer.access;
    p.Text(prefix + "board", writer.board ? "board" : "none");
    p.FixedText(prefix + "access.chipName", a.chipName, sizeof a.chipName);
    p.Integer(prefix + "access.controllerKind", a.controllerKind);
    p.Integer(prefix + "access.operation", a.operation);
    p.Integer(prefix + "access.firstByteMask", a.firstByteMask);
    p.Integer(prefix + "access.ioBase", a.ioBase);
    p.Integer(prefix + "access.readAddress", a.readAddress);
    p.Integer(prefix + "access.writeAddress", a.writeAddress);
}

void PrintSelection(FieldPrinter& p, const SystemInfo& info) {
    p.Integer("defaultIndex", info.defaultIndex);
    p.Integer("appliedIndex", info.appliedIndex);
    p.Integer("currentIndex", info.currentIndex);
    p.Real("cpuClockMHz", info.cpuClockMHz);
    p.Real("busClockMHz", info.busClockMHz);
    p.Real("pciClockMHz", info.pciClockMHz);
    p.Real("memClockMHz", info.memClockMHz);
}

void PrintSystemInfo(FieldPrinter& p, const SystemInfo& info, int32_t osKind) {
    p.Integer("osKind", osKind);
    p.Integer("defaultIndex", info.defaultIndex);
    p.Integer("appliedIndex", info.appliedIndex);
    p.Integer("currentIndex", info.currentIndex);
    // Before detection (or on a processor whose multiplier no table holds)
    // there is no bus clock: say so rather than print a zero.
    const bool multiplierKnown = info.multiplier != 0.0;
    if (multiplierKnown) p.Real("multiplier", info.multiplier);
    else p.Text("multiplier", "unknown");
    p.Real("cpuClockMHz", info.cpuClockMHz);
    if (multiplierKnown) p.Real("busClockMHz", info.busClockMHz);
    else p.Text("busClockMHz", "unknown");
    p.Real("pciClockMHz", info.pciClockMHz);
    p.Real("memClockMHz", info.memClockMHz);
    PrintBoard(p, "board.", info.board);
    PrintClockGen(p, "clockGen.", info.clockGen());
    p.Real("memBaseClockMHz", info.memBaseClockMHz);
    p.Word("biosWindow", info.Bus().BiosWindow());
    PrintCpuInfo(p, "cpu.", info.cpu);
    PrintClockWriter(p, "clockWriter.", info.clockWriter);
    p.Word("addressInfo", info.addressInfo);
    p.Integer("driverHandle", info.Bus().DriverHandle());
}

}  // namespace vc::cli
