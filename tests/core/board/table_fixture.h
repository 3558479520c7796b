// A recognised board with a loaded chip and table, on the NT personality so
// every clock write shows as one driver request.
#pragma once

#include <memory>
#include <vector>

#include "board_machine.h"
#include "core/app/system_info.h"
#include "core/board/text_field.h"
#include "support/recording_shell.h"

namespace vc::test {

class TableFixture {
public:
    TableFixture() : ctx{machine, shell, kOsWin2000, ""} {
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
        info.driverHandle = 3;
        info.multiplier = 4.5;
        info.memBaseClockMHz = 100.0;
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

    // The select bytes that reached the driver, in order.
    std::vector<uint8_t> WrittenBytes() const {
        std::vector<uint8_t> bytes;
        for (const auto& r : machine.requests) {
            if (!r.referenced.empty()) bytes.push_back(r.referenced[0]);
        }
        return bytes;
    }

    BoardMachine machine;
    RecordingShell shell;
    Context ctx;
    SystemInfo info;
};

}  // namespace vc::test
