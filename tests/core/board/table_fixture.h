// A recognised board with a loaded chip and table, on a simulated NT machine
// (every clock write is one driver request) whose byte-by-byte controller
// at 0xEF00 reaches a generic chip, and which has no performance counter, so
// every clock measurement fails and says so.
#pragma once

#include <memory>
#include <vector>

#include "core/base/text_field.h"
#include "sim/sim_fixtures.h"
#include "support/sim_rig.h"

namespace vc::test {

class TableFixture {
public:
    TableFixture() : rig(Description()) {
        SetField(info.board.biosId, "6BXE-R1.2");
        SetField(info.board.clockGenName, "CHIP-A");
        info.board.smbusKind = 2;
        info.board.smbusBase = 0xEF00;
        info.board.maxBusRatio = 1.3;
        info.board.maxPciRatio = 1.2;
        info.board.maxMemRatio = 1.2;
        info.board.clockGen = std::make_shared<ClockGenRecord>();
        SetField(info.board.clockGen->name, "CHIP-A");
        info.clockWriter.board = &info.board;
        info.multiplier = 4.5;
        info.memBaseClockMHz = 100.0;
        rig.Bus().OpenForBios();
        rig.platform.Clear();
    }

    static sim::MachineDescription Description() {
        sim::MachineDescription d = sim::test::Board(2, "generic", kOsWin2000);
        d.time.perfCounterPresent = false;
        return d;
    }

    void Table(const std::vector<ClockEntry>& entries) {
        info.board.clockGen->entries = entries;
        info.board.clockGen->entryCount = static_cast<int32_t>(entries.size());
    }

    void Indexes(int32_t defaultIndex, int32_t current, int32_t applied) {
        info.defaultIndex = defaultIndex;
        info.currentIndex = current;
        info.appliedIndex = applied;
    }

    // The select bytes that reached the chip, in order.
    std::vector<uint8_t> WrittenBytes() const {
        std::vector<uint8_t> bytes;
        for (const auto& select : rig.sim.trace().Selects()) bytes.push_back(select.value);
        return bytes;
    }

    SimRig rig;
    SystemInfo& info = rig.info;
    Context& ctx = rig.ctx;
    RecordingShell& shell = rig.shell;
};

}  // namespace vc::test
