#include "cli/timed_revert.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/field_printer.h"

namespace vc::cli {

namespace {

namespace fs = std::filesystem;

constexpr auto kPollInterval = std::chrono::milliseconds(50);

bool TakeConfirmation(const std::string& programDir) {
    std::error_code error;
    return fs::remove(ConfirmationPath(programDir), error);
}

}  // namespace

std::string ConfirmationPath(const std::string& programDir) { return programDir + "/revert.confirm"; }

std::optional<int> ParseRevertSeconds(const std::string& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int seconds = std::stoi(text);
    if (seconds < 1 || seconds > kLongestRevertSeconds) return std::nullopt;
    return seconds;
}

void ForgetConfirmation(const std::string& programDir) { TakeConfirmation(programDir); }

int RevertUnlessConfirmed(Session& s, int seconds, int32_t previousIndex, const std::function<int()>& write) {
    FieldPrinter p(s.out);
    p.Integer("revert.waitingSeconds", seconds);
    s.out.flush();  // whoever confirms may be waiting for this line
    // Host time even on a simulated machine: the confirmation comes from
    // another process in the real world.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (TakeConfirmation(s.programDir)) {
            p.Text("revert.confirmed", "yes");
            return kExitOk;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    if (TakeConfirmation(s.programDir)) {
        p.Text("revert.confirmed", "yes");
        return kExitOk;
    }
    p.Text("revert.confirmed", "no");
    p.Integer("revert.restoredIndex", previousIndex);
    s.info.currentIndex = previousIndex;
    return write();
}

int ConfirmCommand(Session& s) {
    // Written beside its final name and renamed, so a waiting run never
    // sees a half-made file.
    const std::string path = ConfirmationPath(s.programDir);
    const std::string temporary = path + "." + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << "confirmed\n";
        if (!file.flush()) {
            s.err << "confirm: cannot write " << temporary << '\n';
            return kExitFailed;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        s.err << "confirm: cannot create " << path << '\n';
        return kExitFailed;
    }
    s.out << "confirmed: " << path << '\n';
    return kExitOk;
}

}  // namespace vc::cli
