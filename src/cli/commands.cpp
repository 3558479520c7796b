// The vcctl commands, as a table from name to handler.
#include <cstdio>
#include <functional>
#include <map>

#include "cli/board_id_command.h"
#include "cli/data_command.h"
#include "cli/field_printer.h"
#include "cli/probe_command.h"
#include "cli/session.h"
#include "cli/render_command.h"
#include "cli/run_command.h"
#include "cli/table_printer.h"
#include "cli/timed_revert.h"
#include "cli/write_check_fields.h"
#include "core/app/bus_fault_report.h"
#include "core/app/detection.h"
#include "core/app/startup.h"
#include "core/board/auto_overclock.h"
#include "core/board/frequency_stepping.h"
#include "core/board/write_check.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_speed.h"
#include "core/state/pending_startup_file.h"
#include "core/state/settings_file.h"
#include "core/state/startup_apply.h"
#include "sim/sim_machine.h"

namespace vc::cli {

namespace {

inline constexpr const char* kMsgLoadOk = "Setting Load OK";
inline constexpr const char* kMsgLoadFailed = "Setting Load Failure,Maybe no data or data not match";

using Args = std::vector<std::string>;
using Handler = std::function<int(Session&, const Args&)>;

// Commands that work on the detected machine detect it first when no
// earlier command did.
bool EnsureDetected(Session& s) {
    if (s.detected) return true;
    if (!DetectSystem(s.info, s.ctx)) {
        s.shell.ShowMessage(kCaptionMessage, kMsgBoardNotSupported);
        return false;
    }
    s.detected = s.cpuIdentified = true;
    return true;
}

void PrintMeasurement(Session& s) {
    FieldPrinter p(s.out);
    p.Real("cpu.cpuClockMHz", s.info.cpu.cpuClockMHz);
    p.Real("cpu.busClockMHz", s.info.cpu.busClockMHz);
    PrintSpeedSample(p, "cpu.speed.", s.info.cpu.speed);
}

// After every write the clock is measured twice and the second result counts.
int MeasureTwice(Session& s) {
    const bool ok = RefreshCPU(s.info.cpu, s.ctx) && RefreshCPU(s.info.cpu, s.ctx);
    PrintMeasurement(s);
    return ok ? kExitOk : kExitFailed;
}

int Cpu(Session& s, const Args&) {
    if (!s.cpuIdentified) {
        IdentifyCPU(s.info.cpu, s.ctx);
        s.cpuIdentified = true;
    }
    // The bus clock is the measured clock over the multiplier: without a
    // detection, read the configuration word the way detection does.
    if (!s.detected && s.info.cpu.multiplier == 0.0) ReadProcessorMultiplier(s.info, s.ctx);
    const bool measured = RefreshCPU(s.info.cpu, s.ctx);
    FieldPrinter p(s.out);
    PrintCpuInfo(p, "cpu.", s.info.cpu);
    return measured ? kExitOk : kExitFailed;
}

int Detect(Session& s, const Args&) {
    s.detected = false;
    if (!EnsureDetected(s)) return kExitFailed;
    FieldPrinter p(s.out);
    PrintSystemInfo(p, s.info, s.ctx.osKind);
    return kExitOk;
}

std::string PendingStartupText(const PendingStartupFound& found) {
    if (!found.present) return "none";
    if (!found.record) return "unreadable";
    char text[96];
    std::snprintf(text, sizeof text, "entry=%d busMHz=%.2f source=%s", static_cast<int>(found.record->index),
                  found.record->busMHz, found.record->source == kAutoApplySourceOptimal ? "optimal" : "saved");
    return text;
}

int Status(Session& s, const Args&) {
    FieldPrinter p(s.out);
    PrintSystemInfo(p, s.info, s.ctx.osKind);
    p.Text("startup.pending", PendingStartupText(ReadPendingStartup(s.programDir)));
    p.Text("folders.data", s.dataDir);
    p.Text("folders.state", s.programDir);
    p.Text("folders.installed", s.installed ? "yes" : "no");
    return kExitOk;
}

int Table(Session& s, const Args&) {
    if (!EnsureDetected(s)) return kExitFailed;
    PrintClockTable(s.out, s.info);
    return kExitOk;
}

int Step(Session& s, int32_t (*step)(SystemInfo&)) {
    if (!EnsureDetected(s)) return kExitFailed;
    step(s.info);
    FieldPrinter p(s.out);
    PrintSelection(p, s.info);
    return kExitOk;
}

// A bus fault ends the process as the program does; a write the chip did
// not take is said on standard error and fails the command.
bool WriteTaken(Session& s, const char* command, const WriteOutcome& outcome) {
    EndOnBusFault(s.ctx, outcome.fault);
    if (outcome.answer == 0 || outcome.written || !s.info.Bus().ReachesHardware()) return true;
    s.err << command << ": the clock generator did not take the write\n";
    return false;
}

// Writes the selected entry, measures, and checks that the chip took it.
int ApplySelected(Session& s, const char* command) {
    const WriteOutcome outcome = ApplyEntry(s.info);
    const bool taken = WriteTaken(s, command, outcome);
    FieldPrinter p(s.out);
    p.Integer("appliedIndex", s.info.appliedIndex);
    const int measured = MeasureTwice(s);
    const bool verified = PrintWriteCheck(p, CheckAppliedEntry(s.info, outcome));
    return taken && verified ? measured : kExitFailed;
}

// apply [--revert-after SECONDS]
int Apply(Session& s, const Args& command) {
    std::optional<int> revertSeconds;
    if (command.size() > 1) {
        revertSeconds = ParseRevertSeconds(command.back());
        if (!revertSeconds) {
            s.err << "apply: --revert-after takes whole seconds from 1 to " << kLongestRevertSeconds << '\n';
            return kExitUsage;
        }
    }
    if (!EnsureDetected(s)) return kExitFailed;
    const int32_t previousIndex = s.info.appliedIndex;
    if (revertSeconds) ForgetConfirmation(s.programDir);
    const int applied = ApplySelected(s, "apply");
    if (!revertSeconds) return applied;
    const int reverted =
        RevertUnlessConfirmed(s, *revertSeconds, previousIndex, [&s] { return ApplySelected(s, "revert"); });
    return applied != kExitOk ? applied : reverted;
}

int Optimal(Session& s, const Args&) {
    if (!EnsureDetected(s)) return kExitFailed;
    const WriteOutcome outcome = ApplyOptimalEntry(s.info);
    const bool taken = WriteTaken(s, "optimal", outcome);
    const bool written = outcome.answer != 0;
    if (!written) s.err << "optimal: no entry lies within the board's limits; nothing written\n";
    FieldPrinter p(s.out);
    p.Integer("appliedIndex", s.info.appliedIndex);
    p.Integer("currentIndex", s.info.currentIndex);
    const int measured = MeasureTwice(s);
    const bool verified = PrintWriteCheck(p, CheckAppliedEntry(s.info, outcome));
    return written && taken && verified ? measured : kExitFailed;
}

int AutoClock(Session& s, const Args&) {
    if (!EnsureDetected(s)) return kExitFailed;
    const AutoOverclockResult result = AutoOverclock(s.info, s.ctx, s.autoOptimized);
    const bool taken = WriteTaken(s, "autoclock", result.write);
    if (!result.applied) s.err << "autoclock: no entry lies within the board's limits; nothing written\n";
    FieldPrinter p(s.out);
    p.Integer("autoOptimized", s.autoOptimized);
    p.Integer("appliedIndex", s.info.appliedIndex);
    p.Integer("currentIndex", s.info.currentIndex);
    PrintMeasurement(s);
    const bool verified = PrintWriteCheck(p, CheckAppliedEntry(s.info, result.write));
    return result.applied && taken && verified ? kExitOk : kExitFailed;
}

int Save(Session& s, const Args&) {
    if (!EnsureDetected(s)) return kExitFailed;
    if (!SaveSettings(s.info, s.programDir)) {
        s.err << "save: cannot write " << SettingsPath(s.programDir) << '\n';
        return kExitFailed;
    }
    s.out << "saved: " << SettingsPath(s.programDir) << '\n';
    return kExitOk;
}

int Load(Session& s, const Args&) {
    if (!EnsureDetected(s)) return kExitFailed;
    if (!LoadSettings(s.info, s.programDir)) {
        s.shell.ShowMessage(kCaptionMessage, kMsgLoadFailed);
        return kExitFailed;
    }
    s.shell.ShowMessage(kCaptionMessage, kMsgLoadOk);
    FieldPrinter p(s.out);
    PrintSelection(p, s.info);
    return kExitOk;
}

const char* StartupAppliedName(StartupApplied applied) {
    switch (applied) {
        case StartupApplied::Saved: return "saved";
        case StartupApplied::Optimal: return "optimal";
        case StartupApplied::Skipped: return "skipped-after-failed-start";
        case StartupApplied::Nothing: break;
    }
    return "nothing";
}

int Startup(Session& s, const Args&) {
    if (!EnsureDetected(s)) return kExitFailed;
    AutoApplySettings settings;
    ReadAutoApplySettings(s.programDir, settings);
    const StartupApplyResult result =
        ApplySavedChoiceAtStartup(s.info, s.ctx, settings, s.programDir, s.autoOptimized);
    s.startupPending = s.startupPending || result.pendingRecorded;
    const bool taken = WriteTaken(s, "startup", result.write);
    FieldPrinter p(s.out);
    p.Integer("autoApply", settings.autoApply);
    p.Integer("autoApplySource", settings.autoApplySource);
    p.Text("startup.applied", StartupAppliedName(result.applied));
    if (result.applied == StartupApplied::Nothing || result.applied == StartupApplied::Skipped) return kExitOk;
    p.Integer("autoOptimized", s.autoOptimized);
    PrintSelection(p, s.info);
    PrintMeasurement(s);
    const bool verified = PrintWriteCheck(p, result.check);
    return taken && verified ? kExitOk : kExitFailed;
}

int Trace(Session& s, const Args&) {
    if (!s.sim) {
        s.err << "trace: only a simulated machine keeps a trace (use --machine)\n";
        return kExitUsage;
    }
    for (const auto& line : s.sim->TraceLines()) s.out << line << '\n';
    return kExitOk;
}

int Data(Session& s, const Args& command) {
    // Adding a board reads this machine's hardware; the other verbs only files.
    if (command.size() > 1 && command[1] == "add-board") return AddBoardCommand(s, command);
    // Reading takes the data files in use; a build writes where the user may.
    const Args sub(command.begin() + 1, command.end());
    const bool build = !sub.empty() && sub[0] == "build";
    const int code = RunDataCommand(sub, build ? s.programDir : s.dataDir, s.out, s.err);
    if (build && code == 0) s.dataDir = s.ctx.dataDirectory = s.programDir;
    return code;
}

const std::map<std::string, Handler>& Handlers() {
    static const std::map<std::string, Handler> handlers = {
        {"cpu", Cpu},
        {"detect", Detect},
        {"status", Status},
        {"table", Table},
        {"next", [](Session& s, const Args&) { return Step(s, NextEntry); }},
        {"prev", [](Session& s, const Args&) { return Step(s, PreviousEntry); }},
        {"default", [](Session& s, const Args&) { return Step(s, DefaultEntry); }},
        {"apply", Apply},
        {"confirm", [](Session& s, const Args&) { return ConfirmCommand(s); }},
        {"optimal", Optimal},
        {"autoclock", AutoClock},
        {"save", Save},
        {"load", Load},
        {"startup", Startup},
        {"trace", Trace},
        {"probe", ProbeCommand},
        {"board-id", BoardIdCommand},
        {"run", RunProgramCommand},
        {"render",
         [](Session& s, const Args& command) {
             // The displays show what detection found; a render on its own detects first.
             return EnsureDetected(s) ? RenderCommand(s, command) : kExitFailed;
         }},
        {"data", Data},
    };
    return handlers;
}

}  // namespace

int RunCommand(Session& session, const std::vector<std::string>& command) {
    const auto found = Handlers().find(command.front());
    if (found == Handlers().end()) {
        session.err << "vcctl: unknown command " << command.front() << '\n';
        return kExitUsage;
    }
    return found->second(session, command);
}

}  // namespace vc::cli
