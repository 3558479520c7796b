// What vcctl board-id reads from the hardware to propose a board record,
// read only, on the path the program would take:
// - Windows 9x: the BIOS window from the virtual device, PCI through ports
//   0xCF8/0xCFC, the clock generator's block read on the controller's own
//   ports;
// - the NT family (and Linux with the helper): PCI through the driver's read
//   request, the rest from its probe report (hw_driver.h);
// - any other system: nothing.
// The controllers come from the PCI scan on both paths, so the base it
// proposes is the one detection finds for a record that leaves it to PCI.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/base/machine.h"
#include "core/hw/bios_strings.h"
#include "core/hw/bus_path.h"
#include "core/hw/probe_report.h"
#include "core/hw/smbus_controller_scan.h"

namespace vc {

enum class ReadBackOutcome {
    NoController,  // nothing to ask through
    NoAnswer,      // nobody answered at the clock generator's address
    NoReadBack,    // something answered, but its block read failed
    NotAsked,      // the controller is not enabled, so the driver did not ask
    NotReported,   // the driver's report says nothing of it (an older helper)
    Skipped,       // the driver was not asked to read it
    Read,          // `readBack` holds what the chip returned
};

struct HardwareFindings {
    std::vector<FoundBiosString> biosStrings;
    // False when the 9x virtual device that maps the BIOS window does not
    // open: PCI and the SMBus are still reached through the ports.
    bool biosWindowRead = true;
    std::vector<FoundSmbusController> controllers;
    std::optional<uint32_t> hostBridgeId;
    ReadBackOutcome readBack = ReadBackOutcome::NoController;
    uint16_t readBackController = 0;  // the controller asked: the first one found
    std::vector<uint8_t> readBackBytes;
};

enum class FindingsOutcome {
    Gathered,
    NoDriverForSystem,  // a system the program has no driver for
    DriverNotOpened,    // the driver (9x virtual device, NT port driver or helper) does not open
    NoProbeReport,      // the driver opens but gives no probe report
    Fault,              // a PCI request the driver refused
};

struct FindingsResult {
    FindingsOutcome outcome = FindingsOutcome::Gathered;
    BusFault fault = BusFault::None;
    HardwareFindings findings;
};

// What the driver's probe report says of the clock generator behind
// `controller`; `bytes` takes the read-back when there is one.
ReadBackOutcome ReadBackInReport(const ProbeReport& report, uint16_t controller, std::vector<uint8_t>& bytes);

// `path` is ChooseBusPath(osKind, machine); it stays open for the caller's
// BIOS string questions afterwards.
FindingsResult GatherHardwareFindings(int32_t osKind, BusPath& path, Machine machine);

}  // namespace vc
