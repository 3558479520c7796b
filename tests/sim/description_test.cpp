// Machine descriptions: the loader's errors, the catalogue, and the clock
// table file reader.
#include <gtest/gtest.h>

#include <ostream>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "sim/clock_table_file.h"
#include "sim_fixtures.h"

namespace vc::sim {
namespace {

const std::string kMachinesDir = std::string(VC_SOURCE_DIR) + "/machines";

struct ErrorCase {
    const char* text;
    const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::string(c.text)) << " -> " << c.error; }

class LoaderErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(LoaderErrors, NameTheLineAndTheProblem) {
    const auto result = LoadMachineDescription(GetParam().text, "");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(GetParam().error, result.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoaderErrors,
    ::testing::Values(
        ErrorCase{"# fine\n\nbogus.key = 1\n", "line 3: unknown key 'bogus.key'"},
        ErrorCase{"os.kind 3\n", "line 1: expected 'key = value'"},
        ErrorCase{"os.kind = 4\n", "line 1: os.kind: expected a number from 0 to 3, got '4'"},
        ErrorCase{"os.kind = 3\nos.kind = 1\n", "line 2: 'os.kind' was already given on line 1"},
        ErrorCase{"cpu.multiplier = x\n",
                  "line 1: cpu.multiplier: expected a number above 0 and at most 64, got 'x'"},
        ErrorCase{"cpu.multiplier = 5.25\n", "line 1: this multiplier has no code; give cpu.ratioCode"},
        ErrorCase{"cpu.vendor = ThirteenChars!\n", "line 1: cpu.vendor: a vendor string has at most 12 characters"},
        ErrorCase{"cpu.flagsKind = 1\n", "line 1: cpu.flagsKind: the flag tests tell apart kinds 0, 2, 3 and 4 only"},
        ErrorCase{"cpu.cpuid = maybe\n", "line 1: cpu.cpuid: expected yes or no, got 'maybe'"},
        ErrorCase{"bios.string = 0xFFFE \"ABC\"\n", "line 1: bios.string: the text runs past offset 0xFFFF"},
        ErrorCase{"bios.string = 0xF000 \"open\n", "line 1: bios.string: quoted text is not closed"},
        ErrorCase{"bios.string = 0x10000 \"A\"\n",
                  "line 1: bios.string: expected an offset 0x0000-0xFFFF and a quoted text"},
        ErrorCase{"pci.register = 0x51 1\n",
                  "line 1: pci.register: expected a register 0x04-0xFC (a multiple of 4) and a 32-bit value"},
        ErrorCase{"board.smbusKind = 1\n", "line 1: an SMBus controller needs board.smbusBase"},
        ErrorCase{"board.smbusKind = 1\nboard.smbusBase = 0xCF0\n",
                  "line 2: the SMBus ports overlap the PCI ports 0xCF8-0xCFF"},
        ErrorCase{"chip.model = ICS9248-154\n",
                  "line 1: chip.model: unknown chip model 'ICS9248-154' (machines/README.md lists the models)"},
        ErrorCase{"chip.model = generic\n", "line 1: the chip needs a table (chip.entry lines or chip.tableFile)"},
        ErrorCase{"chip.model = ICS9250-08\nchip.entry = 100 33 100 20 0x78\nchip.entry = 112 37 112 20 0x58\n",
                  "line 2: chip.entry: the ICS9250-08 has its own table"},
        ErrorCase{"chip.firstByteMask = 0x01\nchip.model = CKG-100A\n",
                  "line 1: chip.firstByteMask: the CKG-100A has its own table"},
        ErrorCase{"chip.entry = 100 33 100 20\n",
                  "line 1: chip.entry: expected BUS PCI MEM BAND SELECT (three clocks in MHz, a band code, a "
                  "select value)"},
        ErrorCase{"chip.tableFile = CGInfo.dat X\n",
                  "line 1: chip.tableFile: this description cannot name files (it has no directory)"},
        ErrorCase{"time.perfCounter = 20000000\n",
                  "line 1: time.perfCounter: expected absent or a frequency from 1 to 10000000 Hz"},
        ErrorCase{"time.mode = fast\n", "line 1: time.mode: expected virtual or real, got 'fast'"}));

TEST(Loader, SurvivesGarbage) {
    const std::string samples[] = {std::string("\0\0=\0", 4), "====", "\"\"\"=\"", "a=\\", "=", "x\xff=\xfe",
                                   "\n\n\nname = \"\\x4", "chip.entry = 1e400 1 1 20 1", "os.kind = -1",
                                   "time.tickStartMs = 99999999999999999999999"};
    for (const auto& s : samples) {
        const auto result = LoadMachineDescription(s, "");
        EXPECT_FALSE(result.ok()) << s;
        EXPECT_EQ(0U, result.error.rfind("line ", 0)) << result.error;
    }
    EXPECT_TRUE(LoadMachineDescription(std::string(5000, '#'), "").ok());
}

TEST(Loader, QuotedTextKeepsBlanksHashesAndEscapes) {
    const auto r = LoadMachineDescription("bios.string = 0xF000 \"A #1 \\\"x\\\" \\x41\"  # comment\n", "");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(1U, r.description->bios.strings.size());
    EXPECT_EQ("A #1 \"x\" A", r.description->bios.strings[0].text);
}

TEST(Loader, AnEmptyDescriptionIsAPlainMachine) {
    const auto r = LoadMachineDescription("", "");
    ASSERT_TRUE(r.ok());
    SimMachine m(*r.description);
    EXPECT_EQ(3, m.personality());
    EXPECT_EQ(nullptr, m.chip());
    EXPECT_EQ(nullptr, m.smbusController());
}

// --- the catalogue ----------------------------------------------------------------

std::vector<std::string> CatalogueFiles() {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(kMachinesDir)) {
        if (e.path().extension() == ".machine") files.push_back(e.path().string());
    }
    return files;
}

TEST(Catalogue, EveryMachineLoadsAndNamesItself) {
    const auto files = CatalogueFiles();
    EXPECT_GE(files.size(), 9U);
    for (const auto& f : files) {
        const auto r = LoadMachineFile(f);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(std::filesystem::path(f).stem().string(), r.description->name) << f;
    }
}

TEST(Catalogue, CoversEveryPersonalityControllerAndChip) {
    std::set<int32_t> personalities;
    std::set<int32_t> controllers;
    std::set<std::string> chips;
    std::set<std::string> vendors;
    bool missingDriver = false;
    for (const auto& f : CatalogueFiles()) {
        const auto d = *LoadMachineFile(f).description;
        personalities.insert(PersonalityOf(d.os));
        controllers.insert(d.board.smbusKind);
        chips.insert(d.chip.model);
        vendors.insert(d.cpu.vendor);
        missingDriver = missingDriver || d.faults.driverMissing;
    }
    EXPECT_EQ((std::set<int32_t>{0, 1, 2, 3}), personalities);
    EXPECT_TRUE(controllers.count(1) && controllers.count(2));
    EXPECT_TRUE(chips.count("generic") && chips.count("ICS9248-153") && chips.count("RTM560-25"));
    EXPECT_TRUE(vendors.count("AuthenticAMD") && vendors.count("GenuineIntel"));
    EXPECT_TRUE(missingDriver);
}

TEST(Catalogue, FindsByNameByPathAndFallsBackToTheEmbeddedDefault) {
    EXPECT_TRUE(LoadMachineByName("win98-6bxd", kMachinesDir).ok());
    EXPECT_TRUE(LoadMachineByName(kMachinesDir + "/nt4-q6b1.machine", "").ok());
    const auto fallback = LoadMachineByName("default", "/nonexistent");
    ASSERT_TRUE(fallback.ok()) << fallback.error;
    EXPECT_EQ("default", fallback.description->name);
    const auto missing = LoadMachineByName("no-such-board", kMachinesDir);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ("no machine named 'no-such-board' in " + kMachinesDir, missing.error);
}

TEST(Catalogue, FileErrorsStartWithThePath) {
    const auto dir = std::filesystem::temp_directory_path() / "vc_sim_description_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "bad.machine").string();
    std::ofstream(path) << "name = bad\nos.kind = 9\n";
    const auto r = LoadMachineFile(path);
    EXPECT_EQ(path + ": line 2: os.kind: expected a number from 0 to 3, got '9'", r.error);
    std::filesystem::remove_all(dir);
}

TEST(Catalogue, EmbeddedDefaultIsTheCatalogueFile) {
    const auto embedded = DefaultMachineDescription();
    const auto file = LoadMachineFile(kMachinesDir + "/default.machine");
    ASSERT_TRUE(embedded.ok() && file.ok());
    EXPECT_EQ(file.description->chip.entries.size(), embedded.description->chip.entries.size());
    SimMachine m(*embedded.description);
    EXPECT_EQ(3, m.personality());
    EXPECT_DOUBLE_EQ(500.0, m.CpuClockMHz());
    EXPECT_EQ(0x683U, m.Cpuid(1).eax);
}

// --- clock table file -------------------------------------------------------------

class TableFile {
public:
    TableFile& Header(const char* name, int32_t count, int32_t mask) {
        size_t at = headers_.size();
        headers_.resize(at + 40, 0);
        std::memcpy(&headers_[at], name, std::strlen(name));
        Put(headers_, at + 16, count);
        Put(headers_, at + 20, mask);
        return *this;
    }
    TableFile& Entry(double bus, int32_t select) {
        size_t at = tables_.size();
        tables_.resize(at + 32, 0);
        PutLe(tables_, at, std::bit_cast<uint64_t>(bus));
        Put(tables_, at + 24, 20);
        Put(tables_, at + 28, select);
        return *this;
    }
    std::vector<uint8_t> Bytes(int32_t version = 1) const {
        std::vector<uint8_t> b(8, 0);
        Put(b, 0, version);
        Put(b, 4, static_cast<int32_t>(headers_.size() / 40));
        b.insert(b.end(), headers_.begin(), headers_.end());
        b.insert(b.end(), tables_.begin(), tables_.end());
        return b;
    }

private:
    static void Put(std::vector<uint8_t>& b, size_t at, int32_t v) { PutLe32(b, at, static_cast<uint32_t>(v)); }
    std::vector<uint8_t> headers_;
    std::vector<uint8_t> tables_;
};

TEST(ClockTableFile, TakesTheLastHeaderOfTheNameAndSkipsEarlierTables) {
    const auto bytes = TableFile()
                           .Header("A", 2, 0)
                           .Header("B", 1, 0)
                           .Header("A", 1, 0x08)
                           .Entry(66.0, 1)
                           .Entry(75.0, 2)
                           .Entry(100.0, 3)
                           .Entry(112.0, 4)
                           .Bytes();
    ClockTable t;
    std::string error;
    ASSERT_TRUE(ParseClockTable(bytes, "A", t, error)) << error;
    ASSERT_EQ(1U, t.entries.size());
    EXPECT_DOUBLE_EQ(112.0, t.entries[0].busMHz);
    EXPECT_EQ(4, t.entries[0].chipValue);
    EXPECT_EQ(0x08, t.firstByteMask);
}

TEST(ClockTableFile, RefusesDefectiveFiles) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* name;
        const char* error;
    };
    auto truncated = TableFile().Header("A", 2, 0).Entry(100.0, 1).Bytes();
    const Case cases[] = {
        {{1, 0, 0}, "A", "clock table file: shorter than its 8-byte header"},
        {TableFile().Header("A", 0, 0).Bytes(2), "A", "clock table file: version is not 1"},
        {TableFile().Header("A", 65, 0).Bytes(), "A", "clock table file: header 0 has an entry count outside 0..64"},
        {TableFile().Header("A", -1, 0).Bytes(), "A", "clock table file: header 0 has an entry count outside 0..64"},
        {TableFile().Header("A", 1, 0).Entry(100.0, 1).Bytes(), "B", "clock table file: no chip named 'B'"},
        {truncated, "A", "clock table file: the table of 'A' runs past the end"},
        {{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}, "A", "clock table file: header count does not fit the file"},
    };
    for (const auto& c : cases) {
        ClockTable t;
        std::string error;
        EXPECT_FALSE(ParseClockTable(c.bytes, c.name, t, error));
        EXPECT_EQ(c.error, error);
    }
}

}  // namespace
}  // namespace vc::sim

namespace vc::sim {
namespace {

TEST(ClockTableFile, ADescriptionTakesItsTableFromAFileBesideIt) {
    const auto dir = std::filesystem::temp_directory_path() / "vc_sim_table_file_test";
    std::filesystem::create_directories(dir / "tables");
    const auto bytes = TableFile().Header("X-1", 1, 0).Header("CKG", 2, 0x80).Entry(90.0, 1).Entry(100.0, 2).Entry(
        112.0, 3).Bytes();
    std::ofstream(dir / "tables" / "CGInfo.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(dir / "m.machine") << "name = m\nchip.model = generic\nchip.tableFile = tables/CGInfo.dat CKG\n";
    std::ofstream(dir / "bad.machine") << "chip.model = generic\nchip.tableFile = tables/CGInfo.dat NOPE\n";

    const auto r = LoadMachineFile((dir / "m.machine").string());
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(2U, r.description->chip.entries.size());
    EXPECT_DOUBLE_EQ(112.0, r.description->chip.entries[1].busMHz);
    EXPECT_EQ(0x80, r.description->chip.firstByteMask);
    const auto bad = LoadMachineFile((dir / "bad.machine").string());
    EXPECT_EQ((dir / "bad.machine").string() + ": line 2: chip.tableFile: clock table file: no chip named 'NOPE'",
              bad.error);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vc::sim
