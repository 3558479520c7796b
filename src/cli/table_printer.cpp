#include "cli/table_printer.h"

#include <cstdio>
#include <string>

#include "cli/field_printer.h"

namespace vc::cli {

namespace {

std::string Marks(const SystemInfo& info, int32_t index) {
    std::string marks;
    const auto add = [&marks](const char* mark) { marks += marks.empty() ? mark : std::string(",") + mark; };
    if (index == info.defaultIndex) add("default");
    if (index == info.currentIndex) add("current");
    if (index == info.appliedIndex) add("applied");
    return marks.empty() ? "-" : marks;
}

}  // namespace

void PrintClockTable(TextOut& out, const SystemInfo& info) {
    FieldPrinter p(out);
    PrintClockGen(p, "clockGen.", info.clockGen());
    const ClockGenRecord* chip = info.clockGen();
    if (!chip) return;
    for (size_t i = 0; i < chip->entries.size(); ++i) {
        const ClockEntry& e = chip->entries[i];
        const auto index = static_cast<int32_t>(i + 1);
        char line[200];
        std::snprintf(line, sizeof line,
                      "entry.%d: busMHz=%.2f pciMHz=%.2f memMHz=%.2f bandCode=%d chipValue=0x%08X marks=",
                      index, e.busMHz, e.pciMHz, e.memMHz, e.bandCode, static_cast<unsigned>(e.chipValue));
        out << line << Marks(info, index) << '\n';
    }
}

}  // namespace vc::cli
