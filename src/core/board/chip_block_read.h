// Whether a clock generator answers an SMBus block read, per chip name. Kept
// here, compiled in, rather than in CGInfo.dat: the file's 40-byte record
// has no field for it that older copies and the Windows programs would not
// misread, and the facts are the program's to stand by, not a board
// owner's. A chip not listed is Unknown: nothing reads it unless the user
// asks (vcctl probe --read-chip, board-id).
#pragma once

#include <string_view>

namespace vc {

enum class BlockRead {
    Answers,     // a public source says it does, or its own write sequence reads it
    Unknown,     // no source at hand: read only when the user asks
    MustNotRead, // its datasheet says a block read hangs the controller
};

struct ChipBlockReadFact {
    const char* chip;
    BlockRead blockRead;
    const char* source;
};

// The fact for a chip name ("ICS9250-08"); Unknown with an empty source when
// none is kept.
ChipBlockReadFact BlockReadOf(std::string_view chipName);

// "answers", "unknown", "must not be read".
const char* BlockReadText(BlockRead blockRead);

}  // namespace vc
