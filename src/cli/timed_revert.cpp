#include "cli/timed_revert.h"

#include <chrono>
#include <span>
#include <string_view>
#include <thread>

#include "cli/field_printer.h"
#include "core/base/file_io.h"

namespace vc::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(50);

bool TakeConfirmation(const std::string& programDir) {
    const std::string path = ConfirmationPath(programDir);
    return IsRegularFile(path) && RemoveFile(path);
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
    s.out.Flush();  // whoever confirms may be waiting for this line
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
    // Replaced whole, so a waiting run never sees a half-made file.
    const std::string path = ConfirmationPath(s.programDir);
    constexpr std::string_view kText = "confirmed\n";
    if (!ReplaceFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(kText.data()), kText.size()))) {
        s.err << "confirm: cannot create " << path << '\n';
        return kExitFailed;
    }
    s.out << "confirmed: " << path << '\n';
    return kExitOk;
}

}  // namespace vc::cli
