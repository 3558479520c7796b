// vcctl board-id and data add-board end to end on simulated boards: the
// catalogue machines, machines of the tests' own with a chip no database
// knows, and a copy of the shipped data with one board taken out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "cli/data_command.h"
#include "core/base/text_field.h"
#include "sim/machine_catalogue.h"
#include "printed_fields.h"
#include "subprocess.h"

namespace vc::test {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(VC_SOURCE_DIR) / "data";
const fs::path kMachines = fs::path(VC_SOURCE_DIR) / "machines";

bool Has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

std::string Hex4(uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

Finished Vcctl(const std::string& machine, const fs::path& dir, std::vector<std::string> commands) {
    std::vector<std::string> args = {VC_VCCTL_PATH, "--machine", machine, "--dir", dir.string()};
    args.insert(args.end(), commands.begin(), commands.end());
    return RunToEnd(args);
}

sim::MachineDescription Describe(const std::string& name) {
    const auto loaded = sim::LoadMachineFile((kMachines / (name + ".machine")).string());
    EXPECT_TRUE(loaded.ok()) << loaded.error;
    return loaded.ok() ? *loaded.description : sim::MachineDescription{};
}

const Database& ShippedDatabase() {
    static const Database db = [] {
        Database loaded;
        std::vector<std::string> problems;
        cli::LoadDatabase(kData.string(), loaded, problems);
        return loaded;
    }();
    return db;
}

// The shipped chip of that name and whether it carries a read-back signature.
struct ShippedChip {
    bool known = false;
    bool signed_ = false;
};
ShippedChip ShippedChipNamed(const std::string& name) {
    const Database& db = ShippedDatabase();
    for (size_t i = 0; i < db.clockGens.size(); ++i) {
        if (FieldText(db.clockGens[i].name) != name) continue;
        return {true, i < db.clockGenNotes.size() && !db.clockGenNotes[i].readBack.empty()};
    }
    return {};
}

// The shipped board whose string the machine's identification text holds
// (the text itself, or a banner around it as a real BIOS has); "" for none.
std::string ShippedBoardIn(const std::string& text) {
    for (const BoardRecord& b : ShippedDatabase().boards) {
        if (text.find(FieldText(b.biosId)) != std::string::npos) return FieldText(b.biosId);
    }
    return "";
}

std::vector<std::string> CatalogueNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kMachines)) {
        if (entry.path().extension() == ".machine") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// --- every catalogue machine --------------------------------------------------

class BoardIdCatalogueTest : public ::testing::TestWithParam<std::string> {};

TEST_P(BoardIdCatalogueTest, NamesTheControllerAndChipTheMachineIsMadeOf) {
    const sim::MachineDescription d = Describe(GetParam());
    const Finished run = Vcctl(GetParam(), kData, {"board-id"});
    // A board the database has, or a chip it lacks, leaves nothing to propose.
    EXPECT_EQ(run.exitCode, 3);
    if (d.faults.driverMissing || sim::PersonalityOf(d.os) == 0) {
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Has(run.err, "driver")) << run.err;
        return;
    }
    auto fields = Fields(run.out);
    EXPECT_EQ(fields["board-id.via"], sim::PersonalityOf(d.os) == 1 ? "ports" : "driver");
    const std::string biosId = d.bios.strings.at(0).text;
    if (const std::string known = ShippedBoardIn(biosId); !known.empty()) {
        EXPECT_EQ(fields["board-id.knownBoard"], known);
        EXPECT_TRUE(Has(run.err, "which the database has already")) << run.err;
    } else {
        EXPECT_EQ(fields["board-id.knownBoard"], "");
        EXPECT_EQ(fields["board-id.biosString[0]"].rfind("\"" + biosId + "\"", 0), 0U) << fields["board-id.biosString[0]"];
    }
    if (d.board.smbusKind == 0) {
        EXPECT_EQ(fields["board-id.controller"], "none");
        EXPECT_EQ(fields["board-id.chip"], "none");
        return;
    }
    const std::string controller =
        "kind=" + std::to_string(d.board.smbusKind) + " base=" + Hex4(d.board.smbusBase) + " ";
    EXPECT_EQ(fields["board-id.controller"].rfind(controller, 0), 0U) << fields["board-id.controller"];

    const ShippedChip chip = ShippedChipNamed(d.chip.model);
    if (!chip.known) {
        EXPECT_EQ(fields["board-id.chip"], "unknown") << d.chip.model << " is no chip of the database";
        EXPECT_TRUE(Has(fields["board-id.chipNote"], "not in the database")) << fields["board-id.chipNote"];
        return;
    }
    if (!chip.signed_) GTEST_SKIP() << d.chip.model << " has no read-back signature in the database yet";
    EXPECT_EQ(fields["board-id.chip"], d.chip.model) << fields["board-id.chipNote"];
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BoardIdCatalogueTest, ::testing::ValuesIn(CatalogueNames()),
                         [](const auto& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// --- machines of the tests' own -------------------------------------------------

class OwnMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vc-board-id-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "data");
        fs::copy(kData, dir_ / "data", fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A board the database does not know: string "ZQ7-LOCAL1", the chip's
    // register file as given (none: no chip).
    std::string Machine(int osKind, int smbusKind, const std::string& registers,
                        const std::string& extra = "") const {
        const fs::path path = dir_ / "own.machine";
        std::ofstream out(path);
        out << "os.kind = " << osKind << "\nbios.string = 0xF100 \"ZQ7-LOCAL1\"\n"
            << "board.smbusKind = " << smbusKind << "\nboard.smbusBase = " << (smbusKind == 1 ? "0x5000" : "0x0540")
            << "\n";
        if (!registers.empty()) {
            out << "chip.model = generic\nchip.entry = 100.0 33.3 100.0 20 0x10\nchip.registers = " << registers
                << "\n";
        }
        out << extra;
        return path.string();
    }
    fs::path Data() const { return dir_ / "data"; }
    bool LocalSourceExists() const { return fs::exists(Data() / "sources" / "local.vcdata"); }

    fs::path dir_;
};

struct PathCase {
    int osKind;
    int smbusKind;
    bool chip;
};

class BoardIdPathTest : public OwnMachineTest, public ::testing::WithParamInterface<PathCase> {};

// Both ways to the hardware, both controller kinds: the chip's bytes come
// back as they are, and a chip no signature matches is not guessed.
TEST_P(BoardIdPathTest, ReadsTheChipBackAndNamesNothingTheDatabaseDoesNotKnow) {
    const PathCase c = GetParam();
    const Finished run =
        Vcctl(Machine(c.osKind, c.smbusKind, c.chip ? "0x5A 0xA5 0x3C 0xC3 0x11 0x22 0x33 0x44" : ""), Data(),
              {"board-id"});
    EXPECT_EQ(run.exitCode, 3);
    auto fields = Fields(run.out);
    EXPECT_EQ(fields["board-id.via"], c.osKind == 1 ? "ports" : "driver");
    EXPECT_EQ(fields["board-id.biosString[0]"], "\"ZQ7-LOCAL1\" offset=0xF100 dmi=no");
    EXPECT_EQ(fields["board-id.controller"].rfind(c.smbusKind == 1 ? "kind=1 base=0x5000 pci=00:07.3"
                                                                   : "kind=2 base=0x0540 pci=00:1F.3", 0),
              0U)
        << fields["board-id.controller"];
    EXPECT_EQ(fields["board-id.hostBridge"], "0x71908086");
    EXPECT_EQ(fields["board-id.record"], "none");
    EXPECT_EQ(fields.count("board-id.knownBoard"), 0U);
    if (c.chip) {
        const std::string base = c.smbusKind == 1 ? "0x5000" : "0x0540";
        EXPECT_EQ(fields["board-id.readBack"], base + ": 5a,a5,3c,c3,11,22,33,44");
        EXPECT_EQ(fields["board-id.chip"], "unknown");
        EXPECT_TRUE(Has(run.err, "not in the database")) << run.err;
    } else {
        EXPECT_EQ(fields["board-id.chip"], "none");
        EXPECT_TRUE(Has(run.err, "nothing answers at SMBus address 0x69")) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, BoardIdPathTest,
                         ::testing::Values(PathCase{1, 1, true}, PathCase{1, 2, true}, PathCase{3, 1, true},
                                           PathCase{2, 2, true}, PathCase{1, 2, false}, PathCase{3, 1, false}),
                         [](const auto& param) {
                             return "os" + std::to_string(param.param.osKind) + "_kind" +
                                    std::to_string(param.param.smbusKind) + (param.param.chip ? "" : "_noChip");
                         });

// The CUV4X-LS's BIOS turns clock outputs off at start-up (register 3 reads
// 0xF4, the ICS9250-18's power-on value is 0xFF): no signature matches, and
// board-id names the closest chip (several are as close; the board record
// whose string the BIOS holds chooses) with the byte that differs. A chip
// differing where no BIOS writes (an identification byte) is named by none.
TEST_F(OwnMachineTest, AChipWhoseOutputsTheBiosTurnedOffIsNamedAsTheClosest) {
    std::ifstream in(kMachines / "win98-cuv4xls.machine");
    std::stringstream cuv4xls;
    cuv4xls << in.rdbuf();
    for (const int osKind : {1, 3}) {
        SCOPED_TRACE(osKind);
        const fs::path path = dir_ / "cuv4xls.machine";
        std::string text = cuv4xls.str();
        text.replace(text.find("os.kind = 1"), 11, "os.kind = " + std::to_string(osKind));
        std::ofstream(path) << text << "chip.registers = 0x02 0xFF 0xFF 0xF4 0x6D 0xBF\n";
        const Finished run = Vcctl(path.string(), Data(), {"board-id"});
        auto fields = Fields(run.out);
        EXPECT_EQ(fields["board-id.chip"], "ICS9250-18 (closest)") << run.out;
        EXPECT_TRUE(Has(fields["board-id.chipNote"], "the one board CUV4X-LS names")) << fields["board-id.chipNote"];
        EXPECT_TRUE(Has(fields["board-id.chipNote"], "byte 3 reads 0xF4, its signature 0xFF"))
            << fields["board-id.chipNote"];
        EXPECT_TRUE(run.err.starts_with("note: block-reading the clock generator's registers")) << run.err;
    }
    // A CKG-FT64 whose identification byte (7) reads otherwise: not its.
    const Finished other = Vcctl(Machine(3, 1, "0x00 0xFF 0xFF 0xFF 0xFF 0xFF 0xFF 0x65"), Data(), {"board-id"});
    EXPECT_EQ(Fields(other.out)["board-id.chip"], "unknown") << other.out;
}

TEST_F(OwnMachineTest, AddBoardRefusesWhatItCannotAddAndWritesNothing) {
    const auto before = fs::last_write_time(Data() / "MBInfo.dat");
    const Finished unknownChip = Vcctl(Machine(3, 1, "0x5A 0xA5 0x3C"), Data(), {"data", "add-board"});
    EXPECT_EQ(unknownChip.exitCode, 3);
    EXPECT_TRUE(Has(unknownChip.err, "add its table first")) << unknownChip.err;

    const Finished known = Vcctl("default", Data(), {"data", "add-board"});
    EXPECT_EQ(known.exitCode, 3);
    EXPECT_TRUE(Has(known.err, "already a board's")) << known.err;
    EXPECT_FALSE(LocalSourceExists());
    EXPECT_EQ(fs::last_write_time(Data() / "MBInfo.dat"), before);

    fs::remove_all(Data() / "sources");
    const Finished noSources = Vcctl("default", Data(), {"data", "add-board"});
    EXPECT_EQ(noSources.exitCode, 3);
    EXPECT_TRUE(Has(noSources.err, "has no sources/ folder")) << noSources.err;
}

// On 9x only the BIOS window needs the virtual device: without it the ports
// still show the controller and the chip.
TEST_F(OwnMachineTest, Win9xWithoutTheVirtualDeviceStillScansThePorts) {
    const Finished run = Vcctl(Machine(1, 2, "0x5A 0xA5 0x3C", "fault.driverMissing = yes\n"), Data(), {"board-id"});
    EXPECT_EQ(run.exitCode, 3);
    auto fields = Fields(run.out);
    EXPECT_EQ(fields["board-id.via"], "ports");
    EXPECT_EQ(fields["board-id.biosString"].rfind("unread", 0), 0U) << run.out;
    EXPECT_EQ(fields["board-id.controller"].rfind("kind=2 base=0x0540 ", 0), 0U) << run.out;
    EXPECT_EQ(fields["board-id.readBack"].rfind("0x0540: 5a,a5,3c", 0), 0U) << run.out;
}

// --- a shipped board taken out and added again -----------------------------------

// Drops the block of board `biosId` from every source.
void TakeOut(const fs::path& sources, const std::string& biosId) {
    for (const auto& entry : fs::directory_iterator(sources)) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        std::string all = text.str();
        const size_t start = all.find("board " + biosId + "\n");
        if (start == std::string::npos) continue;
        const size_t end = all.find("\nend\n", start);
        all.erase(start, end + 5 - start);
        std::ofstream(entry.path(), std::ios::trunc) << all;
    }
}

TEST_F(OwnMachineTest, AddBoardAddsABoardTakenOutOfTheDatabaseAndDetectionThenRecognisesIt) {
    std::optional<std::string> chosen;
    for (const std::string& name : CatalogueNames()) {
        const sim::MachineDescription d = Describe(name);
        if (d.faults.driverMissing || sim::PersonalityOf(d.os) == 0 || d.board.smbusKind == 0) continue;
        if (ShippedChipNamed(d.chip.model).signed_) {
            chosen = name;
            break;
        }
    }
    if (!chosen) GTEST_SKIP() << "no catalogue machine's chip has a read-back signature in the database yet";
    const sim::MachineDescription d = Describe(*chosen);
    const std::string biosId = d.bios.strings.at(0).text;
    TakeOut(Data() / "sources", biosId);
    ASSERT_EQ(Vcctl(*chosen, Data(), {"data", "build", (Data() / "sources").string()}).exitCode, 0);

    // A build that fails takes the added block out again.
    std::ofstream(Data() / "sources" / "zz-broken.vcdata") << "board\n";
    const auto before = fs::last_write_time(Data() / "MBInfo.dat");
    const Finished broken = Vcctl(*chosen, Data(), {"data", "add-board"});
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_TRUE(Has(broken.err, "the build failed")) << broken.err;
    EXPECT_FALSE(LocalSourceExists());
    EXPECT_EQ(fs::last_write_time(Data() / "MBInfo.dat"), before);
    fs::remove(Data() / "sources" / "zz-broken.vcdata");

    const Finished added = Vcctl(*chosen, Data(), {"data", "add-board", "detect"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_TRUE(Has(added.out, "added board " + biosId)) << added.out;
    EXPECT_TRUE(Has(added.out, "no problems")) << added.out;
    auto fields = Fields(added.out);
    EXPECT_EQ(fields["board.biosId"], biosId);
    EXPECT_EQ(fields["clockGen.name"], d.chip.model);
    EXPECT_EQ(fields["board.smbusKind"], std::to_string(d.board.smbusKind));
    EXPECT_EQ(fields["board.smbusBase"], std::to_string(d.board.smbusBase));
    EXPECT_EQ(fields["board.maxBusRatio"], "1.10");

    // The same board a second time is refused.
    const Finished again = Vcctl(*chosen, Data(), {"data", "add-board"});
    EXPECT_EQ(again.exitCode, 3);
    EXPECT_TRUE(Has(again.err, "already a board's")) << again.err;
}

// --- a record that leaves its base to PCI -----------------------------------------

TEST_F(OwnMachineTest, SmbusBaseFromPciIsTheControllerOfTheBoardsKind) {
    const fs::path boards = Data() / "sources" / "90-simulated-boards.vcdata";
    std::ifstream in(boards);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    const size_t block = all.find("board 6BXE-R1.2\n");
    ASSERT_NE(block, std::string::npos);
    const size_t base = all.find("smbus-base  0x5000", block);
    ASSERT_NE(base, std::string::npos);
    all.replace(base, 18, "smbus-base  pci");
    std::ofstream(boards, std::ios::trunc) << all;
    ASSERT_EQ(Vcctl("default", Data(), {"data", "build", (Data() / "sources").string()}).exitCode, 0);

    const Finished dump = Vcctl("default", Data(), {"data", "dump"});
    const size_t dumped = dump.out.find("board 6BXE-R1.2\n");
    ASSERT_NE(dumped, std::string::npos) << dump.out;
    EXPECT_EQ(dump.out.find("    smbus-kind  1\n    smbus-base  pci\n", dumped),
              dump.out.find("    smbus-kind", dumped))
        << dump.out;

    // The default machine's PIIX4 at 0x5000 takes the write.
    const Finished run = Vcctl("default", Data(), {"detect", "next", "apply"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Fields(run.out)["board.smbusBase"], "20480");

    // A board of that string whose PCI shows only the other kind.
    const std::string otherKind = Machine(3, 2, "", "bios.string = 0xF080 \"6BXE-R1.2\"\n");
    const Finished none = Vcctl(otherKind, Data(), {"detect"});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_TRUE(Has(none.err, "PCI shows no SMBus controller of its kind")) << none.err;
}

}  // namespace
}  // namespace vc::test
