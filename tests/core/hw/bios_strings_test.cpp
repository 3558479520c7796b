// The BIOS string candidates, on windows of literal bytes: the SMBIOS board
// name first, then the printable runs of the search area.
#include "core/hw/bios_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vc {
namespace {

class Window {
public:
    Window() : bytes_(0x10000, 0xFF) {}

    Window& Text(size_t offset, const std::string& text, bool terminated = true) {
        for (size_t i = 0; i < text.size(); ++i) bytes_[offset + i] = static_cast<uint8_t>(text[i]);
        if (terminated) bytes_[offset + text.size()] = 0;
        return *this;
    }
    Window& Bytes(size_t offset, const std::vector<uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
        return *this;
    }

    // An SMBIOS 2.x entry point at 0x2000 for a table at `tableAddress` of
    // a system (type 1) and a baseboard (type 2) structure, each naming its
    // product by string 2; the table goes to 0x1000. A bad checksum spoils
    // the DMI section, which a reader also takes on its own.
    Window& Smbios(uint32_t tableAddress, const std::string& product, const std::string& board,
                   bool goodChecksum = true) {
        std::vector<uint8_t> table;
        const auto structure = [&](uint8_t type, const std::string& name) {
            table.insert(table.end(), {type, 8, 0x00, type, 0x01, 0x02, 0x00, 0x00});
            for (const std::string& s : {std::string("Maker"), name}) {
                table.insert(table.end(), s.begin(), s.end());
                table.push_back(0);
            }
            table.push_back(0);
        };
        structure(1, product);
        structure(2, board);
        table.insert(table.end(), {127, 4, 0x00, 0x7F, 0, 0});
        Bytes(0x1000, table);

        std::vector<uint8_t> entry = {'_', 'S', 'M', '_', 0, 0x1F, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0,
                                      '_', 'D', 'M', 'I', '_', 0,
                                      static_cast<uint8_t>(table.size()), static_cast<uint8_t>(table.size() >> 8),
                                      static_cast<uint8_t>(tableAddress), static_cast<uint8_t>(tableAddress >> 8),
                                      static_cast<uint8_t>(tableAddress >> 16),
                                      static_cast<uint8_t>(tableAddress >> 24),
                                      3, 0, 0x23};
        uint8_t dmiSum = 0;
        for (size_t i = 0x10; i < 0x1F; ++i) dmiSum = static_cast<uint8_t>(dmiSum + entry[i]);
        entry[0x15] = static_cast<uint8_t>(-dmiSum + (goodChecksum ? 0 : 1));
        uint8_t sum = 0;
        for (const uint8_t b : entry) sum = static_cast<uint8_t>(sum + b);
        entry[0x04] = static_cast<uint8_t>(-sum);
        return Bytes(0x2000, entry);
    }

    std::vector<FoundBiosString> Find(size_t limit = kBiosStringsReported) const {
        return FindBiosStrings(bytes_, limit);
    }

private:
    std::vector<uint8_t> bytes_;
};

std::vector<std::string> Texts(const std::vector<FoundBiosString>& found) {
    std::vector<std::string> texts;
    for (const auto& f : found) texts.push_back(f.text);
    return texts;
}

TEST(BiosStrings, TheSmbiosBoardNameComesFirstWhereTheSearchAreaHoldsIt) {
    const auto found = Window().Smbios(0xF1000, "SYS-9000", "CUBX").Text(0xE200, "AB12-X").Text(0xF080, "CUBX").Find();
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].text, "CUBX");
    EXPECT_EQ(found[0].offset, 0xF080U);
    EXPECT_EQ(found[0].dmi, DmiSource::Board);
    EXPECT_EQ(found[1].text, "AB12-X");
    EXPECT_EQ(found[1].dmi, DmiSource::None);
}

TEST(BiosStrings, TheProductNameStandsInWhenTheBoardNameIsNotInTheSearchArea) {
    const auto found = Window().Smbios(0xF1000, "SYS-9000  ", "CUBX").Text(0xFF00, "SYS-9000").Find();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].text, "SYS-9000");  // trailing blanks of the DMI text dropped
    EXPECT_EQ(found[0].dmi, DmiSource::Product);
    EXPECT_EQ(found.size(), 1U);  // the same run is not offered twice
}

TEST(BiosStrings, NoDmiNameFromATableOutsideTheWindowOrABadEntryPoint) {
    for (const auto& window : {Window().Smbios(0x000E0000, "SYS-9000", "CUBX"),
                               Window().Smbios(0xF1000, "SYS-9000", "CUBX", false)}) {
        Window w = window;
        const auto found = w.Text(0xF080, "CUBX").Find();
        ASSERT_EQ(found.size(), 1U);
        EXPECT_EQ(found[0].dmi, DmiSource::None);
    }
}

TEST(BiosStrings, RunsMixingLettersAndDigitsComeFirstAndJunkIsLeftOut) {
    const auto found = Window()
                           .Text(0x0100, "Q6B1-R1.0")               // below the search area
                           .Text(0xE000, "Award")                   // letters only: later
                           .Text(0xE100, "  6BXE-R1.2  ")           // blanks trimmed
                           .Text(0xE200, "AAAA")                    // one repeated character
                           .Text(0xE300, "ab1")                     // too short
                           .Text(0xE400, "ABCDEFGHIJ123456")        // too long for a record
                           .Text(0xE500, "AB\"12")                  // a quote no source word holds
                           .Text(0xE600, "----")                    // neither letters nor digits
                           .Text(0xE700, "12345")                   // digits only: later
                           .Text(0xE800, "6BXE-R1.2")               // once only
                           .Text(0xFFFA, "T9P8-G", false)           // ends with the window
                           .Find();
    EXPECT_EQ(Texts(found), (std::vector<std::string>{"6BXE-R1.2", "T9P8-G", "Award", "12345"}));
    EXPECT_EQ(found[0].offset, 0xE102U);
}

}  // namespace
}  // namespace vc
