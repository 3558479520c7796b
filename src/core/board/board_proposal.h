// A board record proposed for this computer from what its hardware shows
// (vcctl board-id, vcctl data add-board): a BIOS string the database can
// take, the SMBus controller PCI shows, the clock generator its read-back
// names, chipset code 0 and conservative limits. Nothing is guessed: when
// the chip cannot be told, no record is proposed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/board/chip_signature.h"
#include "core/board/database.h"
#include "core/hw/hardware_findings.h"

namespace vc {

// How a candidate string stands to a board string of the database, which
// refuses a string that contains an earlier one; a string contained in
// another board's is flagged too, since a BIOS holding the longer one would
// be taken for that board.
enum class StringConflict { None, SameAs, Contains, ContainedIn };

struct StringCandidate {
    FoundBiosString found;
    StringConflict conflict = StringConflict::None;
    std::string board;  // the database board's string it conflicts with
};

enum class ChipVerdict {
    NoController,   // no controller to ask
    NoAnswer,       // nobody answers at the clock generator's address
    NoReadBack,     // something answers, but its block read failed
    NotAsked,       // the driver did not ask (the controller is not enabled)
    NotReported,    // the driver does not report a read-back
    NotInDatabase,  // no chip's signature matches the read-back
    One,            // exactly one chip matches
    ChosenByBoard,  // several match; a board whose string the BIOS holds names one
    Ambiguous,      // several match and nothing tells them apart
    // None matches, but one (or a board's choice among several) is closest:
    // it differs only in bytes the BIOS may have set at start-up.
    Closest,
    ClosestAmbiguous,  // several are as close and nothing tells them apart
};

struct ChipIdentity {
    ChipVerdict verdict = ChipVerdict::NoController;
    std::vector<std::string> matches;  // the names of every matching chip
    std::string name;                  // the chip named (One, ChosenByBoard)
    std::string board;                 // the board that chose it (ChosenByBoard, Closest)
    std::vector<SignatureDifference> differences;  // Closest: where the read-back differs from its signature
};

enum class Refusal {
    None,
    KnownBoard,         // the BIOS holds a database board's string already
    NoController,
    ChipNotIdentified,  // see chip.verdict
    NoString,           // no candidate the database could take
    StringNotUsable,    // the string asked for is empty, too long or holds a quote
    StringNotInBios,    // the string asked for is not in the search area
    StringConflicts,    // the string asked for conflicts with a board's
};

struct BoardProposal {
    std::vector<StringCandidate> strings;
    ChipIdentity chip;
    std::string knownBoard;  // the first database board whose string the BIOS holds
    Refusal refusal = Refusal::None;
    StringCandidate wanted;  // the string asked for, as judged (StringConflicts)
    std::optional<BoardRecord> record;
};

inline constexpr double kProposedRatioLimit = 1.10;

using BiosHoldsText = std::function<bool(const std::string&)>;

// `biosHolds` asks the BIOS as recognition does. `wantedString` empty: the
// first candidate without conflict.
BoardProposal ProposeBoard(const HardwareFindings& findings, const Database& db, const BiosHoldsText& biosHolds,
                           const std::string& wantedString = {});

// The record as a data-source block (data/README.md), with a comment that
// the limits are conservative defaults.
std::string ProposedSource(const BoardRecord& record);

}  // namespace vc
