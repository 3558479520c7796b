// Telling the chip by its read-back and proposing a record, on literal
// bytes and a database of the test's own.
#include "core/board/board_proposal.h"

#include <gtest/gtest.h>

#include <set>

#include "core/board/chip_signature.h"
#include "core/base/text_field.h"
#include "core/hw/smbus_access.h"

namespace vc {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ChipSignature, MatchesOnTheMaskedBitsOfExactlyAsManyBytes) {
    const ClockGenNotes notes{"", {0x00, 0xFF, 0x7F, 0x18}, {0xFF, 0xFF, 0xF0, 0x00}};
    EXPECT_TRUE(ReadBackMatches(notes, Bytes{0x00, 0xFF, 0x7F, 0x18}));
    EXPECT_TRUE(ReadBackMatches(notes, Bytes{0x00, 0xFF, 0x73, 0x99}));   // masked bits only
    EXPECT_FALSE(ReadBackMatches(notes, Bytes{0x00, 0xFF, 0x6F, 0x18}));  // a compared bit differs
    EXPECT_FALSE(ReadBackMatches(notes, Bytes{0x00, 0xFF, 0x7F}));        // one byte short
    EXPECT_FALSE(ReadBackMatches(notes, Bytes{0x00, 0xFF, 0x7F, 0x18, 0x00}));
    EXPECT_FALSE(ReadBackMatches(ClockGenNotes{}, Bytes{}));  // no signature: never
    // Bytes the mask does not cover are compared whole.
    const ClockGenNotes shortMask{"", {0x00, 0x0F}, {0x00}};
    EXPECT_TRUE(ReadBackMatches(shortMask, Bytes{0x55, 0x0F}));
    EXPECT_FALSE(ReadBackMatches(shortMask, Bytes{0x55, 0x1F}));
}

// What a BIOS does to a chip at start-up: clears output-enable bits in
// bytes 1-5, one byte at most. Set bits, byte 0, later bytes or a second
// byte make the read-back another chip's.
TEST(ChipSignature, DifferencesTheBiosMayHaveMadeAreClearedOutputBitsInOneByte) {
    const ClockGenNotes notes{"", {0x00, 0xFF, 0xFF, 0xFF, 0x6D, 0xBF, 0x42}, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xBF, 0xFF}};
    const auto one = DifferencesTheBiosMayHaveMade(notes, Bytes{0x13, 0xFF, 0xFF, 0xF4, 0x6D, 0xBF, 0x42});
    ASSERT_TRUE(one.has_value());
    ASSERT_EQ(one->size(), 1U);
    EXPECT_EQ((*one)[0].index, 3U);
    EXPECT_EQ((*one)[0].read, 0xF4);
    EXPECT_EQ((*one)[0].expected, 0xFF);
    EXPECT_TRUE(DifferencesTheBiosMayHaveMade(notes, Bytes{0x00, 0xFF, 0xFF, 0xFF, 0x6D, 0xBF, 0x42})->empty());
    EXPECT_FALSE(DifferencesTheBiosMayHaveMade(notes, Bytes{0x00, 0xFF, 0xFF, 0xFF, 0x6F, 0xBF, 0x42}));  // a set bit
    EXPECT_FALSE(DifferencesTheBiosMayHaveMade(notes, Bytes{0x00, 0xFF, 0xFF, 0xFF, 0x6D, 0xBF, 0x40}));  // byte 6
    EXPECT_FALSE(DifferencesTheBiosMayHaveMade(notes, Bytes{0x00, 0xFE, 0xFF, 0xF4, 0x6D, 0xBF, 0x42}));  // two
    EXPECT_FALSE(DifferencesTheBiosMayHaveMade(notes, Bytes{0x00, 0xFF, 0xFF, 0xF4, 0x6D, 0xBF}));        // short
}

// Chips A and B answer alike, C differently; boards: AAA-1 (A), BBB-2 (B).
class ProposalTest : public ::testing::Test {
protected:
    ProposalTest() {
        for (const char* name : {"CHIP-A", "CHIP-B", "CHIP-C"}) {
            ClockGenRecord chip;
            SetField(chip.name, name);
            db.clockGens.push_back(chip);
        }
        db.clockGenNotes = {{"", {0x00, 0xFF, 0x7F}, {0xFF, 0xFF, 0xFF}},
                            {"", {0x00, 0xFF, 0x7F}, {0xFF, 0xFF, 0xFF}},
                            {"", {0x42, 0x0F}, {0xFF, 0xFF}}};
        for (const auto& [biosId, chip] : {std::pair{"AAA-1", "CHIP-A"}, std::pair{"BBB-2", "CHIP-B"}}) {
            BoardRecord board;
            SetField(board.biosId, biosId);
            SetField(board.clockGenName, chip);
            db.boards.push_back(board);
        }
        static const KnownSmbusFunction ich{0x8086, 0x2443, "ICH2", 0x20, 0xFFE0, kSmbusControllerByteWise, 3, 0x40,
                                            "i801_smbus", SmbusEnableRule::IoSpaceAndHost};
        findings.controllers.push_back({&ich, 0x1F, 3, 0x0540});
        findings.readBack = ReadBackOutcome::Read;
        findings.biosStrings = {{0xF000, "BBB-2x", DmiSource::Board}, {0xF100, "NEW-77", DmiSource::None}};
    }

    BoardProposal Propose(const Bytes& read, const std::string& wanted = {}) {
        findings.readBackBytes = read;
        return ProposeBoard(findings, db, [&](const std::string& text) { return bios.count(text) != 0; }, wanted);
    }

    Database db;
    HardwareFindings findings;
    std::set<std::string> bios{"BBB-2x", "NEW-77"};
};

TEST_F(ProposalTest, AChipAloneInMatchingIsNamedAndTheFirstFreeStringTaken) {
    const BoardProposal p = Propose({0x42, 0x0F});
    EXPECT_EQ(p.chip.verdict, ChipVerdict::One);
    ASSERT_EQ(p.strings.size(), 2U);
    EXPECT_EQ(p.strings[0].conflict, StringConflict::Contains);
    EXPECT_EQ(p.strings[0].board, "BBB-2");
    ASSERT_TRUE(p.record) << static_cast<int>(p.refusal);
    EXPECT_EQ(FieldText(p.record->biosId), "NEW-77");
    EXPECT_EQ(FieldText(p.record->clockGenName), "CHIP-C");
    EXPECT_EQ(p.record->smbusKind, 2);
    EXPECT_EQ(p.record->smbusBase, 0x0540);
    EXPECT_EQ(p.record->chipsetCode, 0);
    EXPECT_DOUBLE_EQ(p.record->maxBusRatio, 1.10);
}

TEST_F(ProposalTest, SeveralMatchingChipsAreToldApartOnlyByABoardTheBiosHolds) {
    const BoardProposal unresolved = Propose({0x00, 0xFF, 0x7F});
    EXPECT_EQ(unresolved.chip.verdict, ChipVerdict::Ambiguous);
    EXPECT_EQ(unresolved.chip.matches, (std::vector<std::string>{"CHIP-A", "CHIP-B"}));
    EXPECT_EQ(unresolved.refusal, Refusal::ChipNotIdentified);
    EXPECT_FALSE(unresolved.record);

    bios.insert("BBB-2");
    const BoardProposal resolved = Propose({0x00, 0xFF, 0x7F});
    EXPECT_EQ(resolved.chip.verdict, ChipVerdict::ChosenByBoard);
    EXPECT_EQ(resolved.chip.name, "CHIP-B");
    EXPECT_EQ(resolved.chip.board, "BBB-2");
    // That board is this computer's already.
    EXPECT_EQ(resolved.knownBoard, "BBB-2");
    EXPECT_EQ(resolved.refusal, Refusal::KnownBoard);
}

TEST_F(ProposalTest, AStringAskedForMustBeInTheBiosAndFreeOfConflicts) {
    const BoardProposal free = Propose({0x42, 0x0F}, "NEW-77");
    ASSERT_TRUE(free.record);
    EXPECT_EQ(FieldText(free.record->biosId), "NEW-77");
    EXPECT_EQ(Propose({0x42, 0x0F}, "NEW-78").refusal, Refusal::StringNotInBios);
    EXPECT_EQ(Propose({0x42, 0x0F}, "NEW-77-VERY-LONG").refusal, Refusal::StringNotUsable);
    bios.insert("AAA");
    const BoardProposal inside = Propose({0x42, 0x0F}, "AAA");
    EXPECT_EQ(inside.refusal, Refusal::StringConflicts);
    EXPECT_EQ(inside.wanted.conflict, StringConflict::ContainedIn);
}

}  // namespace
}  // namespace vc
