#include "cli/run_command.h"

#include <cstdio>

#include "cli/field_printer.h"
#include "cli/session.h"
#include "core/app/bus_fault_report.h"
#include "core/app/startup.h"
#include "core/state/startup_apply.h"
#include "host/process/host_process.h"
#include "launch/machine_choice.h"
#include "sim/sim_machine.h"

namespace vc::cli {

namespace {

// What vcctl leaves to start at logon: the console form of the program's
// start-up, the application of the choice saved in the same folder (a bare
// vcctl would only print its usage).
class StartupAtLogon final : public AutorunStore {
public:
    StartupAtLogon(AutorunStore& store, const Session& session) : store_(store), session_(session) {}

    void SetAutorunEntry(const std::string& name, const std::string& command) override {
        std::vector<std::string> arguments;
        if (session_.dirGiven) arguments = {"--dir", session_.programDir};
        arguments.push_back("startup");
        store_.SetAutorunCommand(name, command, arguments);
    }

private:
    AutorunStore& store_;
    const Session& session_;
};

// In place of the main window: apply what save.dat asks, report, then keep
// running (and counted as the running copy) until standard input ends.
class ConsoleFrontEnd : public ProgramFrontEnd {
public:
    explicit ConsoleFrontEnd(Session& session) : session_(session) {}

    int RunMainWindow(SystemInfo& info, Context& ctx, StartupState& state) override {
        session_.detected = session_.cpuIdentified = true;
        const StartupApplyResult applied = ApplySavedChoiceAtStartup(
            info, ctx, state.autoApply, state.programDirectory, session_.autoOptimized);
        session_.startupPending = session_.startupPending || applied.pendingRecorded;
        EndOnBusFault(ctx, applied.write.fault);
        FieldPrinter p(session_.out);
        p.Text("programDirectory", state.programDirectory);
        p.Integer("autoApply", state.autoApply.autoApply);
        p.Integer("autoApplySource", state.autoApply.autoApplySource);
        p.Integer("layoutMode", state.layoutMode);
        PrintSystemInfo(p, info, ctx.osKind);
        session_.out << "running: until standard input ends\n";
        session_.out.Flush();
        char buffer[256];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        return 0;
    }

private:
    Session& session_;
};

}  // namespace

int RunProgramCommand(Session& session, const std::vector<std::string>&) {
    // A simulated machine keeps the autorun entry to itself.
    StartupAtLogon autorun(session.machine->Autorun(), session);

    // The autorun entry names this program as the system found it, an
    // absolute path that exists; --dir decides the folders through the
    // choices below, not through where the program seems to live.
    host::HostProcess process(autorun);
    ConsoleFrontEnd frontEnd(session);
    StartupState state;
    state.stateDirectoryChoice = session.programDir;
    state.dataDirectoryChoice = session.dataDir;
    // Start-up opens the data files by bare name in their folder.
    session.ctx.dataDirectory.clear();
    const int code = RunProgram(session.info, session.ctx, process, frontEnd, state);
    session.ctx.dataDirectory = session.dataDir;
    if (code == 1) session.err << "vcctl: another copy is running\n";
    if (const launch::MemoryAutorun* simulated = launch::SimulatedAutorun(*session.machine)) {
        for (const auto& [name, command] : simulated->Entries())
            session.out << "autorun." << name << ": " << command << '\n';
    }
    if (code == 1) return kExitEnded;
    return code == 0 && session.detected ? kExitOk : kExitFailed;
}

}  // namespace vc::cli
