#include "core/board/board_proposal.h"

#include <algorithm>

#include "core/board/chip_signature.h"
#include "core/board/data_source.h"
#include "core/base/text_field.h"

namespace vc {

namespace {

constexpr int32_t kProposedChipset = 0;

StringCandidate Judge(const FoundBiosString& found, const Database& db) {
    StringCandidate candidate{found, StringConflict::None, {}};
    for (const BoardRecord& board : db.boards) {
        const std::string other = FieldText(board.biosId);
        if (other.empty()) continue;
        if (other == found.text) {
            candidate.conflict = StringConflict::SameAs;
        } else if (found.text.find(other) != std::string::npos) {
            candidate.conflict = StringConflict::Contains;
        } else if (other.find(found.text) != std::string::npos) {
            candidate.conflict = StringConflict::ContainedIn;
        } else {
            continue;
        }
        candidate.board = other;
        break;
    }
    return candidate;
}

std::string ClockGenName(const Database& db, size_t index) { return FieldText(db.clockGens[index].name); }

// Among chip.matches, the one a board names whose string the BIOS holds.
bool ChooseByBoard(ChipIdentity& chip, const Database& db, const BiosHoldsText& biosHolds) {
    for (const BoardRecord& board : db.boards) {
        const std::string named = FieldText(board.clockGenName);
        if (std::find(chip.matches.begin(), chip.matches.end(), named) == chip.matches.end()) continue;
        if (!biosHolds(FieldText(board.biosId))) continue;
        chip.name = named;
        chip.board = FieldText(board.biosId);
        return true;
    }
    return false;
}

// No signature matches: the chips that differ in the fewest bytes the BIOS
// may have written (a BIOS turns unused clock outputs off at start-up).
ChipIdentity ClosestChip(const HardwareFindings& findings, const Database& db, const BiosHoldsText& biosHolds) {
    ChipIdentity chip;
    chip.verdict = ChipVerdict::NotInDatabase;
    size_t fewest = kMostBiosSetBytes + 1;
    std::vector<std::vector<SignatureDifference>> differences;
    for (size_t i = 0; i < db.clockGens.size() && i < db.clockGenNotes.size(); ++i) {
        auto found = DifferencesTheBiosMayHaveMade(db.clockGenNotes[i], findings.readBackBytes);
        if (!found || found->empty() || found->size() > fewest) continue;
        if (found->size() < fewest) {
            fewest = found->size();
            chip.matches.clear();
            differences.clear();
        }
        chip.matches.push_back(ClockGenName(db, i));
        differences.push_back(std::move(*found));
    }
    if (chip.matches.empty()) return chip;
    chip.verdict = ChipVerdict::ClosestAmbiguous;
    if (chip.matches.size() == 1) {
        chip.name = chip.matches.front();
    } else if (!ChooseByBoard(chip, db, biosHolds)) {
        return chip;
    }
    const auto at = std::find(chip.matches.begin(), chip.matches.end(), chip.name) - chip.matches.begin();
    chip.differences = differences[static_cast<size_t>(at)];
    chip.verdict = ChipVerdict::Closest;
    return chip;
}

ChipIdentity IdentifyChip(const HardwareFindings& findings, const Database& db, const BiosHoldsText& biosHolds) {
    ChipIdentity chip;
    switch (findings.readBack) {
        case ReadBackOutcome::NoController: chip.verdict = ChipVerdict::NoController; return chip;
        case ReadBackOutcome::NoAnswer: chip.verdict = ChipVerdict::NoAnswer; return chip;
        case ReadBackOutcome::NoReadBack: chip.verdict = ChipVerdict::NoReadBack; return chip;
        case ReadBackOutcome::NotAsked: chip.verdict = ChipVerdict::NotAsked; return chip;
        case ReadBackOutcome::NotReported:
        case ReadBackOutcome::Skipped: chip.verdict = ChipVerdict::NotReported; return chip;
        case ReadBackOutcome::Read: break;
    }
    const std::vector<size_t> matching = ClockGensMatching(db, findings.readBackBytes);
    for (const size_t index : matching) chip.matches.push_back(ClockGenName(db, index));
    if (chip.matches.empty()) return ClosestChip(findings, db, biosHolds);
    if (chip.matches.size() == 1) {
        chip.verdict = ChipVerdict::One;
        chip.name = chip.matches.front();
    } else {
        chip.verdict = ChipVerdict::Ambiguous;
        if (ChooseByBoard(chip, db, biosHolds)) chip.verdict = ChipVerdict::ChosenByBoard;
    }
    return chip;
}

bool Usable(const std::string& text) {
    return !text.empty() && text.size() < static_cast<size_t>(kTextFieldSize) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '"'; });
}

}  // namespace

BoardProposal ProposeBoard(const HardwareFindings& findings, const Database& db, const BiosHoldsText& biosHolds,
                           const std::string& wantedString) {
    BoardProposal proposal;
    for (const FoundBiosString& found : findings.biosStrings) proposal.strings.push_back(Judge(found, db));
    proposal.chip = IdentifyChip(findings, db, biosHolds);
    for (const BoardRecord& board : db.boards) {
        if (board.biosId[0] != '\0' && biosHolds(FieldText(board.biosId))) {
            proposal.knownBoard = FieldText(board.biosId);
            break;
        }
    }

    std::string chosen;
    if (!proposal.knownBoard.empty()) {
        proposal.refusal = Refusal::KnownBoard;
    } else if (findings.controllers.empty()) {
        proposal.refusal = Refusal::NoController;
    } else if (proposal.chip.verdict != ChipVerdict::One && proposal.chip.verdict != ChipVerdict::ChosenByBoard) {
        proposal.refusal = Refusal::ChipNotIdentified;
    } else if (!wantedString.empty()) {
        proposal.wanted = Judge({0, wantedString, DmiSource::None}, db);
        if (!Usable(wantedString)) {
            proposal.refusal = Refusal::StringNotUsable;
        } else if (!biosHolds(wantedString)) {
            proposal.refusal = Refusal::StringNotInBios;
        } else if (proposal.wanted.conflict != StringConflict::None) {
            proposal.refusal = Refusal::StringConflicts;
        } else {
            chosen = wantedString;
        }
    } else {
        const auto free = std::find_if(proposal.strings.begin(), proposal.strings.end(),
                                       [](const StringCandidate& c) { return c.conflict == StringConflict::None; });
        if (free == proposal.strings.end()) {
            proposal.refusal = Refusal::NoString;
        } else {
            chosen = free->found.text;
        }
    }
    if (proposal.refusal != Refusal::None) return proposal;

    const FoundSmbusController& controller = findings.controllers.front();
    BoardRecord record;
    SetField(record.biosId, chosen);
    SetField(record.clockGenName, proposal.chip.name);
    record.chipsetCode = kProposedChipset;
    record.smbusKind = controller.function->kind;
    record.smbusBase = controller.base;
    record.maxBusRatio = kProposedRatioLimit;
    record.maxPciRatio = kProposedRatioLimit;
    record.maxMemRatio = kProposedRatioLimit;
    proposal.record = record;
    return proposal;
}

std::string ProposedSource(const BoardRecord& record) {
    Database one;
    one.boards.push_back(record);
    return "# Proposed by vcctl board-id from this computer's hardware. max-bus, max-pci\n"
           "# and max-mem are conservative defaults, not measured limits: raise them\n"
           "# only after trying higher clocks on this board. chipset 259 is for boards\n"
           "# whose host bridge reports the memory clock class in register 0x50 bit 2.\n" +
           WriteSources(one);
}

}  // namespace vc
