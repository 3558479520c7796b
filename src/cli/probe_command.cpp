#include "cli/probe_command.h"

#include <map>

#include "cli/field_printer.h"
#include "core/base/file_io.h"
#include "core/board/board_recognition.h"
#include "core/board/data_files.h"
#include "core/cpu/cpu_identify.h"
#include "core/hw/driver_requests_path.h"
#include "core/hw/hw_driver.h"

namespace vc::cli {

namespace {

// "controller kind=1 ..." -> key "probe.controller[0]", value "kind=1 ...".
void PrintReport(FieldPrinter& p, const std::string& report) {
    std::map<std::string, int> seen;
    for (size_t start = 0, end = 0; start < report.size(); start = end + 1) {
        end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        const std::string line = report.substr(start, end - start);
        if (line.empty()) continue;
        const auto space = line.find(' ');
        const std::string kind = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        p.Text("probe." + kind + "[" + std::to_string(seen[kind]++) + "]", rest);
    }
}

// A controller whose ports the BIOS's ACPI tables claim: the kernel's driver
// declined it, and the helper drives its ports itself.
void PrintAcpiClaims(FieldPrinter& p, const std::string& report) {
    int claims = 0;
    for (size_t start = 0, end = 0; start < report.size(); start = end + 1) {
        end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        const std::string line = report.substr(start, end - start);
        const size_t acpi = line.find(" acpi=");
        const size_t base = line.find(" base=");
        if (line.rfind("controller ", 0) != 0 || acpi == std::string::npos || base == std::string::npos) continue;
        const std::string region = line.substr(acpi + 6, line.find(' ', acpi + 6) - acpi - 6);
        const std::string port = line.substr(base + 6, line.find(' ', base + 6) - base - 6);
        p.Text("probe.acpiClaim[" + std::to_string(claims++) + "]",
               "the BIOS's ACPI tables claim the SMBus ports at " + port + " (OpRegion " + region +
                   "), so the kernel's driver declined the controller; velocore-driverd writes through its ports "
                   "itself, while firmware may use the same bus (booting with acpi_enforce_resources=lax lets the "
                   "kernel driver take it)");
    }
}

// Every board record whose identification string the BIOS holds.
void PrintBiosMatches(FieldPrinter& p, Session& s, BusPath& path) {
    const auto file = ReadFileBytes(DataFilePath(s.ctx, kBoardFileName), kLargestDataFile);
    if (!file) {
        s.err << "probe: " << kBoardFileName << " not found in " << s.dataDir << '\n';
        return;
    }
    int matches = 0;
    const BoardScan scan = ScanBoardFile(*file, [&](const BoardRecord& board) {
        if (path.BiosHolds(board.biosId)) p.FixedText("probe.biosMatch[" + std::to_string(matches++) + "]", board.biosId, sizeof board.biosId);
        return false;  // every record is tried
    });
    if (scan.outcome == BoardScanOutcome::Damaged || scan.outcome == BoardScanOutcome::BadVersion) {
        s.err << "probe: " << kBoardFileName << " cannot be read to the end\n";
    }
    if (matches == 0) p.Text("probe.biosMatch", "none");
}

}  // namespace

int ProbeCommand(Session& s, const std::vector<std::string>& command) {
    const bool readChip = command.size() > 1 && command[1] == "--read-chip";
    // The probe asks the NT-family driver, whatever the system says it is.
    DriverRequestsPath path(s.ctx.machine.platform);
    // Where the helper's socket is there but out of reach, the machine has
    // said why already.
    if (path.OpenForBios().Faulted()) {
        s.err << "probe: no driver answers"
              << (s.machine->DriverProblem().empty() ? "; on Linux install velocore-driverd and enable its socket\n"
                                                     : "\n");
        return kExitFailed;
    }
    FieldPrinter p(s.out);
    std::string report;
    if (readChip) s.err << kReadChipNotice;
    if (RequestProbe(s.ctx.machine.platform, path.DriverHandle(), report, readChip)) {
        PrintReport(p, report);
        PrintAcpiClaims(p, report);
    } else if (!s.machine->DriverProblem().empty()) {
        s.err << "probe: the driver gave no answer\n";
        return kExitFailed;
    } else {
        s.err << "probe: the driver gives no report of its controllers\n";
    }
    PrintBiosMatches(p, s, path);

    if (!s.cpuIdentified) {
        IdentifyCPU(s.info.cpu, s.ctx);
        s.cpuIdentified = true;
    }
    uint32_t word = 0;
    if (path.ReadConfigWord(s.info.cpu.vendorCode, word).value == 1) {
        p.Word("probe.configWord", word);
    } else {
        p.Text("probe.configWord", "unavailable");
    }
    return kExitOk;
}

}  // namespace vc::cli
