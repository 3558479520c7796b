#include "core/board/chip_block_read.h"

namespace vc {

namespace {

constexpr ChipBlockReadFact kFacts[] = {
    // The two chips whose write sequence reads the register block back
    // before it writes (the simulated catalogue's own parts): a read is part
    // of every write to them.
    {"ICS9248-153", BlockRead::Answers, "its write sequence reads the block back first"},
    {"RTM560-25", BlockRead::Answers, "its write sequence reads the block back first"},
    // ICS9148-26 datasheet, "General I2C serial interface information", B:
    // "Read-Back will support Intel PIIX4 Block-Read protocol".
    {"ICS9148-26", BlockRead::Answers, "ICS9148-26 datasheet: read-back supports the PIIX4 block read"},
    // ICS9250-29 datasheet, same section, note 1: "no readback on this part.
    // Read-Back will lock up the PIIX-4 due to the Byte count of 00H."
    {"ICS9250-29", BlockRead::MustNotRead, "ICS9250-29 datasheet: no read-back; a block read locks up the PIIX4"},
};

}  // namespace

ChipBlockReadFact BlockReadOf(std::string_view chipName) {
    for (const ChipBlockReadFact& fact : kFacts) {
        if (chipName == fact.chip) return fact;
    }
    return {"", BlockRead::Unknown, ""};
}

const char* BlockReadText(BlockRead blockRead) {
    switch (blockRead) {
        case BlockRead::Answers: return "answers";
        case BlockRead::Unknown: return "unknown";
        case BlockRead::MustNotRead: return "must not be read";
    }
    return "";
}

}  // namespace vc
