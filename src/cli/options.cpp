#include "cli/options.h"

namespace vc::cli {

const char* const kUsageText =
    "usage: vcctl [--machine NAME|FILE] [--dir DIR] COMMAND...\n"
    "\n"
    "Works on this computer, or with --machine on a simulated mainboard: 'default'\n"
    "is the embedded default machine, another NAME a machine of the catalogue\n"
    "(machines/NAME.machine), a FILE a machine description. --dir is the program\n"
    "directory holding MBInfo.dat, CGInfo.dat, sysinfo.dat and save.dat (default:\n"
    "the directory of vcctl itself; for an installed copy the user's folder\n"
    "$XDG_DATA_HOME/VelocoreIII and the data of PREFIX/share/velocore3).\n"
    "\n"
    "Commands run in order in one process and share its state:\n"
    "  cpu           identify the processor, read its configuration word from the\n"
    "                driver as detection does (reading only) and measure its clock;\n"
    "                print CPUInfo (multiplier and busClockMHz 'unknown' when the\n"
    "                word cannot be read or decoded)\n"
    "  detect        run the detection sequence; print every SystemInfo field\n"
    "  status        print every SystemInfo field, startup.pending (pending.dat) and\n"
    "                the folders in use: folders.data, folders.state,\n"
    "                folders.installed yes|no (multiplier and busClockMHz 'unknown'\n"
    "                before detection)\n"
    "  table         list the clock generator's table (* default, > current,\n"
    "                A applied)\n"
    "  next, prev    select the next / previous table entry\n"
    "  default       select the entry found at detection\n"
    "  apply         write the selected entry to the clock generator and measure\n"
    "  apply --revert-after SECONDS\n"
    "                the same, then wait for 'confirm' (from any process on the same\n"
    "                DIR); without it, write the entry in force before back\n"
    "  confirm       keep the entry a waiting 'apply --revert-after' wrote\n"
    "  optimal       write the best entry within the board's limits and measure\n"
    "  autoclock     what Auto Optimize does at its end: mark it in force,\n"
    "                write the best entry, measure\n"
    "  save, load    write / read sysinfo.dat in the program directory\n"
    "  startup       apply a frequency as save.dat asks at start-up; when pending.dat\n"
    "                shows the last one never settled, skip it (startup.applied:\n"
    "                skipped-after-failed-start, exit 0); vcctl removes pending.dat\n"
    "                when it ends cleanly\n"
    "  trace         print the simulated machine's port and SMBus trace\n"
    "  probe         ask the driver (on Linux: velocore-driverd) what it sees, writing\n"
    "                nothing: SMBus controllers, a device at the clock generator's\n"
    "                address, board records the BIOS matches, the configuration word\n"
    "  probe --read-chip\n"
    "                the same, and block-read the clock generator's registers (a chip\n"
    "                without read-back can hang the SMBus until the next reset)\n"
    "  board-id      propose a board record for this computer from its hardware,\n"
    "                writing nothing to any chip: BIOS strings, the SMBus controller\n"
    "                PCI shows, the clock generator its read-back names; exit 3\n"
    "                when no record can be proposed (it says why)\n"
    "  run           the program's start-up: refuse a second running copy (exit 1),\n"
    "                set the autorun entry (vcctl [--dir DIR] startup at login),\n"
    "                read save.dat, detect; with stdin open it keeps running until\n"
    "                stdin ends\n"
    "  render easy|advance FILE.bmp\n"
    "                draw the main window in a layout, with its buttons and the\n"
    "                displays of the current state, into a picture\n"
    "  data build SRC  compile board and clock-generator sources into the data files\n"
    "  data dump     print MBInfo.dat and CGInfo.dat\n"
    "  data check    validate MBInfo.dat and CGInfo.dat\n"
    "  data add-board [--bios STRING]\n"
    "                add board-id's record (with STRING as its BIOS string) to\n"
    "                DIR/sources/local.vcdata, rebuild the data files from\n"
    "                DIR/sources and check them\n"
    "\n"
    "Output: 'key: value' lines, keys are SystemInfo field paths (busClockMHz,\n"
    "cpu.speed.roundedMHz, board.biosId, clockGen.entryCount). Doubles have two\n"
    "decimals, integers are decimal, 32-bit words 0x%08X. Every message box is one\n"
    "line on standard error: 'Caption: text'.\n"
    "\n"
    "After every write the clock is measured and compared with the entry's (and,\n"
    "where the chip's block is read back, its select byte): verify.expectedBusMHz,\n"
    "verify.measuredBusMHz, verify.ok yes|no.\n"
    "\n"
    "Exit codes: 0 success; 1 where the program ends itself (driver or bus\n"
    "failure, a second running copy); 2 usage error; 3 a command or the\n"
    "detection failed (also a write the clock generator did not take: apply,\n"
    "optimal, autoclock and startup say so on standard error, or verify.ok: no).\n"
    "124: the simulated machine hung (fault.hangAboveBusMHz); vcctl ends at once.\n";

const std::vector<CommandShape>& CommandShapes() {
    static const std::vector<CommandShape> shapes = {
        {{"cpu"}, 0},       {{"detect"}, 0},        {{"status"}, 0},      {{"table"}, 0},
        {{"next"}, 0},      {{"prev"}, 0},          {{"default"}, 0},     {{"apply"}, 0},
        {{"optimal"}, 0},   {{"autoclock"}, 0},     {{"save"}, 0},        {{"load"}, 0},
        {{"startup"}, 0},   {{"trace"}, 0},         {{"probe"}, 0},         {{"board-id"}, 0},
        {{"probe", "--read-chip"}, 0},
        {{"run"}, 0},       {{"render"}, 2},          {{"apply", "--revert-after"}, 1},
        {{"confirm"}, 0},
        {{"data", "build"}, 1}, {{"data", "dump"}, 0}, {{"data", "check"}, 0},
        {{"data", "add-board"}, 0}, {{"data", "add-board", "--bios"}, 1},
    };
    return shapes;
}

namespace {

const CommandShape* MatchShape(const std::vector<std::string>& args, size_t at) {
    const CommandShape* best = nullptr;
    for (const auto& shape : CommandShapes()) {
        if (at + shape.name.size() > args.size()) continue;
        bool same = true;
        for (size_t i = 0; i < shape.name.size(); ++i) same = same && args[at + i] == shape.name[i];
        if (same && (!best || shape.name.size() > best->name.size())) best = &shape;
    }
    return best;
}

}  // namespace

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options) {
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return std::nullopt;
        }
        if (arg == "--machine" || arg == "--dir") {
            if (i + 1 >= args.size()) return arg + " needs a value";
            (arg == "--machine" ? options.machine : options.dir) = args[++i];
            continue;
        }
        if (arg.rfind("--", 0) == 0) return "unknown option " + arg;
        break;
    }
    if (i >= args.size()) return std::string("no command given");
    while (i < args.size()) {
        const CommandShape* shape = MatchShape(args, i);
        if (!shape) return "unknown command " + args[i];
        const size_t length = shape->name.size() + shape->argumentCount;
        if (i + length > args.size()) return "command " + args[i] + " needs more arguments";
        options.commands.emplace_back(args.begin() + static_cast<std::ptrdiff_t>(i),
                                      args.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
    }
    return std::nullopt;
}

}  // namespace vc::cli
