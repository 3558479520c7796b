#include "cli/board_id_command.h"

#include "cli/probe_command.h"

#include <cstdio>
#include <optional>

#include "cli/data_command.h"
#include "cli/field_printer.h"
#include "core/app/bus_fault_report.h"
#include "core/board/board_proposal.h"
#include "core/hw/hw_driver.h"
#include "core/hw/smbus_access.h"
#include "core/base/file_io.h"
#include "core/base/hex_text.h"

namespace vc::cli {

namespace {

constexpr const char* kSourcesFolder = "sources";
constexpr const char* kLocalSource = "local.vcdata";
constexpr const char* kLocalSourceHeader =
    "# This computer's own boards, added by vcctl data add-board. The data build\n"
    "# reads this file after the shipped sources (files in name order), so a\n"
    "# board here may not carry a string that contains an earlier board's.\n";
constexpr size_t kLargestSource = 16u << 20;

std::string ByteList(const std::vector<uint8_t>& bytes) {
    std::string list;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", bytes[i]);
        list += (i == 0 ? "" : ",") + std::string(byte);
    }
    return list.empty() ? "(no bytes)" : list;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

std::string ConflictText(const StringCandidate& c) {
    switch (c.conflict) {
        case StringConflict::SameAs: return "is the string of board " + c.board;
        case StringConflict::Contains: return "contains the string of board " + c.board;
        case StringConflict::ContainedIn: return "is contained in the string of board " + c.board;
        case StringConflict::None: break;
    }
    return {};
}

std::string ControllerText(const FoundSmbusController& c) {
    char text[96];
    std::snprintf(text, sizeof text, "kind=%d base=0x%04X pci=00:%02X.%u id=%04X:%04X (%s)", c.function->kind,
                  c.base, c.pciDevice, c.pciFunction, c.function->vendor, c.function->device,
                  c.function->name);
    return text;
}

std::string ChipNote(const ChipIdentity& chip, const HardwareFindings& findings) {
    switch (chip.verdict) {
        case ChipVerdict::NoController: return "no SMBus controller to ask";
        case ChipVerdict::NoAnswer: return "nothing answers at SMBus address 0x69";
        case ChipVerdict::NoReadBack:
            return "a device answers at SMBus address 0x69, but its block read failed: no read-back to compare";
        case ChipVerdict::NotAsked: return "the SMBus controller is not enabled, so the driver did not ask at 0x69";
        case ChipVerdict::NotReported: return "the driver reports no read-back (an older velocore-driverd?)";
        case ChipVerdict::NotInDatabase:
            return "not in the database: no clock generator's read-back signature matches " +
                   ByteList(findings.readBackBytes);
        case ChipVerdict::One: return "the only clock generator whose read-back signature matches";
        case ChipVerdict::ChosenByBoard:
            return "the read-back matches " + Joined(chip.matches) + "; the BIOS holds the string of board " +
                   chip.board + ", which names " + chip.name;
        case ChipVerdict::Ambiguous:
            return "the read-back matches " + Joined(chip.matches) + " and nothing here tells them apart";
        case ChipVerdict::Closest: {
            std::string note = "no signature matches " + ByteList(findings.readBackBytes) + "; closest: " + chip.name;
            if (!chip.board.empty()) note += " (of " + Joined(chip.matches) + ", the one board " + chip.board + " names)";
            for (const SignatureDifference& d : chip.differences) {
                note += "; byte " + std::to_string(d.index) + " reads " + HexText(d.read, 2) + ", its signature " +
                        HexText(d.expected, 2) + (d.mask != 0xFF ? " in bits " + HexText(d.mask, 2) : "");
            }
            return note + " (a byte the BIOS may have set at start-up)";
        }
        case ChipVerdict::ClosestAmbiguous:
            return "no signature matches " + ByteList(findings.readBackBytes) + "; " + Joined(chip.matches) +
                   " differ from it only in bytes the BIOS may have set, and nothing here tells them apart";
    }
    return {};
}

std::string ChipValue(const ChipIdentity& chip) {
    switch (chip.verdict) {
        case ChipVerdict::One:
        case ChipVerdict::ChosenByBoard: return chip.name;
        case ChipVerdict::Closest: return chip.name + " (closest)";
        case ChipVerdict::Ambiguous:
        case ChipVerdict::ClosestAmbiguous: return "ambiguous";
        case ChipVerdict::NotInDatabase:
        case ChipVerdict::NoReadBack:
        case ChipVerdict::NotAsked:
        case ChipVerdict::NotReported: return "unknown";
        case ChipVerdict::NoController:
        case ChipVerdict::NoAnswer: break;
    }
    return "none";
}

std::string RefusalText(const BoardProposal& p, const HardwareFindings& findings) {
    switch (p.refusal) {
        case Refusal::KnownBoard:
            return "the BIOS holds the string of board " + p.knownBoard +
                   ", which the database has already (vcctl detect recognises this computer as that board)";
        case Refusal::NoController: return "PCI shows no SMBus controller of a kind the program drives";
        case Refusal::ChipNotIdentified: return "clock generator: " + ChipNote(p.chip, findings);
        case Refusal::NoString:
            if (!findings.biosWindowRead) return "the BIOS search area was not read: the 9x virtual device does not open";
            return "no string of the BIOS search area (0xE000-0xFFFF) is one the database can take";
        case Refusal::StringNotUsable:
            return "a board string is 1 to 15 printable characters without a double quote";
        case Refusal::StringNotInBios:
            return "the BIOS search area (0xE000-0xFFFF) does not hold \"" + p.wanted.found.text + "\"";
        case Refusal::StringConflicts: return "\"" + p.wanted.found.text + "\" " + ConflictText(p.wanted);
        case Refusal::None: break;
    }
    return {};
}

void PrintFindings(FieldPrinter& p, const HardwareFindings& findings, const BoardProposal& proposal) {
    if (!findings.biosWindowRead) p.Text("board-id.biosString", "unread (the BIOS window's virtual device does not open)");
    else if (proposal.strings.empty()) p.Text("board-id.biosString", "none");
    for (size_t i = 0; i < proposal.strings.size(); ++i) {
        const StringCandidate& c = proposal.strings[i];
        std::string value = "\"" + c.found.text + "\" offset=" + HexText(static_cast<uint32_t>(c.found.offset), 4) +
                            " dmi=" + DmiSourceName(c.found.dmi);
        if (c.conflict != StringConflict::None) value += " flagged: " + ConflictText(c);
        p.Text("board-id.biosString[" + std::to_string(i) + "]", value);
    }
    if (findings.controllers.empty()) p.Text("board-id.controller", "none");
    for (size_t i = 0; i < findings.controllers.size(); ++i) {
        const std::string key =
            i == 0 ? "board-id.controller" : "board-id.otherController[" + std::to_string(i - 1) + "]";
        p.Text(key, ControllerText(findings.controllers[i]));
    }
    if (findings.hostBridgeId) {
        p.Word("board-id.hostBridge", *findings.hostBridgeId);
    } else {
        p.Text("board-id.hostBridge", "unknown");
    }
    p.Text("board-id.chipset",
           "0 (259 is for boards whose host bridge reports the memory clock class in register 0x50 bit 2)");
    if (findings.readBack == ReadBackOutcome::Read) {
        p.Text("board-id.readBack", HexText(findings.readBackController, 4) + ": " + ByteList(findings.readBackBytes));
    }
    p.Text("board-id.chip", ChipValue(proposal.chip));
    p.Text("board-id.chipNote", ChipNote(proposal.chip, findings));
    if (!proposal.knownBoard.empty()) p.Text("board-id.knownBoard", proposal.knownBoard);
}

// The findings and the proposal; none (after the message) when the hardware
// cannot be asked or the database not read.
struct Run {
    HardwareFindings findings;
    BoardProposal proposal;
};

std::optional<Run> ProposeForThisMachine(Session& s, const char* command, const std::string& wanted) {
    Database db;
    std::vector<std::string> problems;
    LoadDatabase(s.dataDir, db, problems);
    if (!problems.empty()) {
        for (const std::string& problem : problems) s.err << command << ": " << problem << '\n';
        s.err << command << ": the database in " << s.dataDir << " cannot be read\n";
        return std::nullopt;
    }

    const int32_t osKind = OsKindFromVersion(s.ctx.machine.platform.GetOsVersion());
    const auto path = ChooseBusPath(osKind, s.ctx.machine);
    // Naming the chip takes its block read; say so first.
    if (osKind == kOsWin9x || osKind == kOsNt4 || osKind == kOsWin2000) s.err << kReadChipNotice;
    FindingsResult gathered = GatherHardwareFindings(osKind, *path, s.ctx.machine);
    switch (gathered.outcome) {
        case FindingsOutcome::Gathered: break;
        case FindingsOutcome::NoDriverForSystem:
            s.err << command << ": this system has no driver to read the hardware through"
                  << " (on Linux install velocore-driverd and enable its socket)\n";
            return std::nullopt;
        case FindingsOutcome::DriverNotOpened:
            s.err << command << ": the hardware access driver does not open"
                  << (s.machine->DriverProblem().empty() ? " (on Linux: is velocore-driverd's socket enabled?)\n"
                                                         : "\n");
            return std::nullopt;
        case FindingsOutcome::NoProbeReport:
            s.err << command << ": the driver gives no probe report\n";
            return std::nullopt;
        case FindingsOutcome::Fault:
            s.ctx.osKind = osKind;
            EndOnBusFault(s.ctx, gathered.fault);
            return std::nullopt;
    }
    Run run{std::move(gathered.findings), {}};
    const auto biosHolds = [&](const std::string& text) {
        TextField field{};
        return SetField(field, text) && path->BiosHolds(field);
    };
    run.proposal = ProposeBoard(run.findings, db, biosHolds, wanted);
    FieldPrinter p(s.out);
    p.Text("board-id.via", osKind == kOsWin9x ? "ports" : "driver");
    PrintFindings(p, run.findings, run.proposal);
    p.Text("board-id.record", run.proposal.record ? "proposed" : "none");
    if (run.proposal.record) s.out << ProposedSource(*run.proposal.record);
    return run;
}

bool ReadText(const std::string& path, std::string& text) {
    const auto bytes = ReadFileBytes(path, kLargestSource);
    if (!bytes) return false;
    text.assign(bytes->begin(), bytes->end());
    return true;
}

bool WriteText(const std::string& path, const std::string& text) {
    return ReplaceFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// Why add-board will not add the proposal, in its words.
std::string AddRefusal(const BoardProposal& p, const HardwareFindings& findings) {
    if (p.refusal == Refusal::ChipNotIdentified && p.chip.verdict == ChipVerdict::NotInDatabase) {
        return "the clock generator is not in the database (read-back " + ByteList(findings.readBackBytes) +
               "); add its table first: a clockgen block with its read-back in the sources";
    }
    if (p.refusal == Refusal::KnownBoard) return "the string is already a board's: " + RefusalText(p, findings);
    return RefusalText(p, findings);
}

}  // namespace

int BoardIdCommand(Session& s, const std::vector<std::string>&) {
    const auto run = ProposeForThisMachine(s, "board-id", {});
    if (!run) return kExitFailed;
    if (!run->proposal.record) {
        s.err << "board-id: no record proposed: " << RefusalText(run->proposal, run->findings) << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

int AddBoardCommand(Session& s, const std::vector<std::string>& command) {
    // data add-board [--bios STRING]
    const std::string wanted = command.size() == 4 ? command[3] : std::string();
    const std::string sources = s.programDir + "/" + kSourcesFolder;
    if (!IsDirectory(sources)) {
        s.err << "data add-board: " << s.programDir << " has no " << kSourcesFolder
              << "/ folder; the data files are rebuilt from the sources there (copy "
              << s.shippedSources << " to " << sources << ")\n";
        return kExitFailed;
    }
    const auto run = ProposeForThisMachine(s, "data add-board", wanted);
    if (!run) return kExitFailed;
    if (!run->proposal.record) {
        s.err << "data add-board: nothing added: " << AddRefusal(run->proposal, run->findings) << '\n';
        return kExitFailed;
    }

    const std::string local = sources + "/" + kLocalSource;
    const bool existed = IsRegularFile(local);
    std::string before;
    if (existed && !ReadText(local, before)) {
        s.err << "data add-board: cannot read " << local << '\n';
        return kExitFailed;
    }
    std::string after = existed ? before : std::string(kLocalSourceHeader);
    if (!after.empty() && after.back() != '\n') after += '\n';
    after += "\n" + ProposedSource(*run->proposal.record);
    if (!WriteText(local, after)) {
        s.err << "data add-board: cannot write " << local << '\n';
        return kExitFailed;
    }
    const std::string biosId = FieldText(run->proposal.record->biosId);
    s.out << "data add-board: added board " << biosId << " to " << local << '\n';

    if (RunDataCommand({"build", sources}, s.programDir, s.out, s.err) != 0) {
        const bool restored = existed ? WriteText(local, before) : RemoveFile(local);
        s.err << "data add-board: the build failed; "
              << (restored ? local + " is as it was\n" : "cannot restore " + local + "\n");
        return kExitFailed;
    }
    s.dataDir = s.ctx.dataDirectory = s.programDir;
    return RunDataCommand({"check"}, s.programDir, s.out, s.err) == 0 ? kExitOk : kExitFailed;
}

}  // namespace vc::cli
