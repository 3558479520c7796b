// Prints records as "key: value" lines whose keys are the fields' paths:
// doubles with two decimals, integers in decimal, 32-bit words as 0x%08X,
// texts as they are.
#pragma once

#include <cstdint>
#include "cli/text_out.h"
#include <string>

#include "core/board/system_info.h"

namespace vc::cli {

class FieldPrinter {
public:
    explicit FieldPrinter(TextOut& out) : out_(out) {}

    void Real(const std::string& key, double value);
    void Integer(const std::string& key, int64_t value);
    void Word(const std::string& key, uint32_t value);
    void Text(const std::string& key, const std::string& value);
    // A fixed text field that may lack its terminator.
    void FixedText(const std::string& key, const char* field, size_t size);

private:
    TextOut& out_;
};

void PrintSpeedSample(FieldPrinter& p, const std::string& prefix, const SpeedSample& s);
void PrintCpuInfo(FieldPrinter& p, const std::string& prefix, const CPUInfo& cpu);
void PrintBoard(FieldPrinter& p, const std::string& prefix, const BoardRecord& board);
void PrintClockGen(FieldPrinter& p, const std::string& prefix, const ClockGenRecord* clockGen);
void PrintClockWriter(FieldPrinter& p, const std::string& prefix, const ClockWriter& writer);
// Every field of SystemInfo, in record order, and the system kind.
void PrintSystemInfo(FieldPrinter& p, const SystemInfo& info, int32_t osKind);
// The clock values and indexes that stepping changes.
void PrintSelection(FieldPrinter& p, const SystemInfo& info);

}  // namespace vc::cli
