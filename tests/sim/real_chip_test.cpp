// The chips that own their tables, through the simulated machine: real
// frequency-select chips take the FS code of register 0 only with the
// hardware-select bit, keep their strap clock without it and follow their
// own table; the invented chips need their select-enable bit. Expected
// clocks are the published figures, written out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "core/hw/smbus_sequences.h"
#include "sim_fixtures.h"

namespace vc::sim {
namespace {

const std::string kMachinesDir = std::string(VC_SOURCE_DIR) + "/machines";

MachineDescription Catalogue(const std::string& name) {
    auto r = LoadMachineFile(kMachinesDir + "/" + name + ".machine");
    EXPECT_TRUE(r.ok()) << r.error;
    return r.ok() ? *r.description : MachineDescription{};
}

// One select byte through the NT driver's block write (block-buffer controller).
void NtSelect(SimMachine& m, uint8_t value) {
    std::vector<uint8_t> out(28);
    const uint32_t base = m.description().board.smbusBase;
    ASSERT_TRUE(test::NtRequest(m, kReqNtSmbusBlockWrite, test::SmbusRequest(base, 1, 1, 0),
                                out, {value}));
}

// The program's own port access on a 9x machine.
class ProgramPorts final : public SmbusPorts {
public:
    explicit ProgramPorts(SimMachine& m) : m_(m) {}
    uint8_t In(uint16_t port) override { return m_.InPort8(port); }
    void Out(uint16_t port, uint8_t value) override { m_.OutPort8(port, value); }
    void Wait() override { m_.AdvanceTimePs(4 * kPsPerMs); }

private:
    SimMachine& m_;
};

std::optional<ChipClocks> Decode(const std::string& model, uint8_t value) {
    Trace trace;
    const ClockChip chip(*FindChipModel(model), model, 100.0, trace, [](double) {});
    return chip.Decode(value);
}

void ExpectClocks(const std::optional<ChipClocks>& c, int code, double bus, double pci, double mem) {
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(code, c->code);
    EXPECT_DOUBLE_EQ(bus, c->busMHz);
    EXPECT_NEAR(pci, c->pciMHz, 0.005);
    EXPECT_DOUBLE_EQ(mem, c->memMHz);
}

// ICS9250-08 on win2000-cubx, strapped to code 7 (100.30 MHz). Register 0
// bits: FS0 4, FS1 5, FS2 6, FS3 2, hardware select 3.
TEST(RealChip, TakesTheFsCodeOnlyWithTheHardwareSelectBit) {
    SimMachine m(Catalogue("win2000-cubx"));
    // The straps show in register 0 and, inverted, in registers 4 and 5.
    const auto regs = m.ChipRegisters();
    EXPECT_EQ((std::vector<uint8_t>{0x70, 0xFF, 0xFF, 0xFF, 0x6F, 0xBF}),
              std::vector<uint8_t>(regs.begin(), regs.begin() + 6));

    NtSelect(m, 0x54);  // code 13 without the hardware-select bit
    EXPECT_DOUBLE_EQ(100.3, m.BusClockMHz());
    ASSERT_EQ(1U, m.RejectedSelects().size());
    EXPECT_EQ("hw-select bit clear: strap code 7", m.RejectedSelects()[0].reason);

    NtSelect(m, 0x5C);  // code 13: 150.00 MHz, PCI /4
    EXPECT_DOUBLE_EQ(150.0, m.BusClockMHz());
    EXPECT_DOUBLE_EQ(1050.0, m.CpuClockMHz());
    ExpectClocks(m.chip()->Current(), 13, 150.0, 37.5, 0.0);

    NtSelect(m, 0x68);  // code 6: 133.00 MHz, PCI /3
    EXPECT_DOUBLE_EQ(133.0, m.BusClockMHz());

    NtSelect(m, 0x00);  // back under the straps
    EXPECT_DOUBLE_EQ(100.3, m.BusClockMHz());
    EXPECT_EQ(7, m.chip()->Current().code);
    EXPECT_EQ(2U, m.RejectedSelects().size());  // 0x54 and 0x00 selected nothing
    const auto lines = m.TraceLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "chip ICS9250-08 select 0x5C accepted bus=150.00MHz"),
              lines.end());
}

TEST(RealChip, RejectsACodeItsTableHasNoEntryFor) {
    // The ICS9150-08 has FS3 but only eight rows; 100 MHz straps code 7 (100.20).
    SimMachine m(test::Board(1, "ICS9150-08", 3));
    NtSelect(m, 0x88);  // code 8
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());
    ASSERT_EQ(1U, m.RejectedSelects().size());
    EXPECT_EQ("no table entry for code 8", m.RejectedSelects()[0].reason);
    NtSelect(m, 0x38);  // code 3: 66.80 MHz
    EXPECT_DOUBLE_EQ(66.8, m.BusClockMHz());
}

// ICS9250-18 on win98-ich2-9250-18: the program's own byte-by-byte writes
// and read-back on the controller's ports.
TEST(RealChip, ByteByByteControllerWritesAndReadsTheRegisters) {
    SimMachine m(Catalogue("win98-ich2-9250-18"));
    ProgramPorts ports(m);
    const vc::SmbusTarget target{0xE800, 0xD2, 0xD3, 0};
    std::vector<uint8_t> block(6);
    ASSERT_EQ(6, ReadSmbusBlock(ports, target, block));
    EXPECT_EQ((std::vector<uint8_t>{0x72, 0xFF, 0xFF, 0xFF, 0x6F, 0xBF}), block);  // code 7, 100.70 MHz

    // A whole block of zeros: the inverted FS3 strap (register 4 bit 1)
    // keeps its value, and without hardware select the straps rule.
    ASSERT_TRUE(RunSmbusWrite(ports, SmbusVariant::BlockByteWise, target, std::vector<uint8_t>(6, 0x00),
                              StartChecks::None));
    ASSERT_EQ(6, ReadSmbusBlock(ports, target, block));
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x00, 0x00, 0x00, 0x02, 0x00}), block);
    EXPECT_DOUBLE_EQ(100.7, m.BusClockMHz());

    ASSERT_TRUE(RunSmbusWrite(ports, SmbusVariant::BlockByteWise, target, std::vector<uint8_t>{0xDA},
                              StartChecks::None));
    EXPECT_DOUBLE_EQ(150.0, m.BusClockMHz());  // code 13
}

TEST(RealChipDecode, FlagsEveryBitASelectByteMustNotChange) {
    ExpectClocks(Decode("ICS9250-08", 0x5C), 13, 150.0, 37.5, 0.0);
    EXPECT_FALSE(Decode("ICS9250-08", 0x5D));  // bit 0 is no FS bit
    EXPECT_FALSE(Decode("ICS9250-08", 0x54));  // hardware select clear
    EXPECT_FALSE(Decode("ICS9250-08", 0xD8));  // bit 7 is no FS bit (FS3 is bit 2)
    // ICS9250-25 code 24: 125.00 MHz, PCI /4, memory x0.75; register 0
    // powers on with bit 1 set, which a select must keep.
    ExpectClocks(Decode("ICS9250-25", 0x8E), 24, 125.0, 31.25, 93.75);
    EXPECT_FALSE(Decode("ICS9250-25", 0x8C));
    // ICS9250-50: FS0-FS2 are straps only, so bit 4 is not a select bit.
    ExpectClocks(Decode("ICS9250-50", 0x8A), 8, 100.0, 33.333, 100.0);
    EXPECT_FALSE(Decode("ICS9250-50", 0x9A));
    // ICS9250-18 has no FS4 bit: codes 16-31 are out of reach.
    EXPECT_FALSE(Decode("ICS9250-18", 0x0E));
}

TEST(InventedChip, ASelectByteNeedsTheSelectEnableBit) {
    SimMachine m(Catalogue("win2000-h8k2"));  // CKG-100A: bit 0
    NtSelect(m, 0x02);
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());
    ASSERT_EQ(1U, m.RejectedSelects().size());
    EXPECT_EQ("select-enable bit clear", m.RejectedSelects()[0].reason);
    NtSelect(m, 0x03);
    EXPECT_DOUBLE_EQ(103.0, m.BusClockMHz());

    EXPECT_FALSE(Decode("CKG-133C", 0x0B));
    ExpectClocks(Decode("CKG-133C", 0x8B), 0x0B, 140.0, 35.0, 105.0);
}

TEST(InventedChip, EachReadsBackDifferentlyAtPowerOn) {
    std::set<std::vector<uint8_t>> readBacks;
    for (const char* model : {"ICS9248-153", "RTM560-25", "CKG-66B", "CKG-100A", "CKG-133C", "CKG-FT64"}) {
        SimMachine m(test::Board(1, model, 3));
        const auto regs = m.ChipRegisters();
        readBacks.insert({regs.begin(), regs.begin() + m.chip()->model().readBackLength});
    }
    EXPECT_EQ(6U, readBacks.size());
}

}  // namespace
}  // namespace vc::sim
