// The counter shared by every running copy of the program.
//
// Each copy that counted itself holds a shared lock on a "live" file for as
// long as it runs; the kernel drops that lock when the process ends, however
// it ends. A copy that finds nobody holding the live file knows no copy runs
// and starts the counter afresh at -1, so a crashed or refused copy can never
// lock later starts out. Updates of the counter are serialised by an
// exclusive lock on the counter file.
#pragma once

#include <cstdint>
#include <string>

namespace vc::host {

class InstanceCounter {
public:
    // `directory` holds the two files; `name` prefixes them.
    InstanceCounter(std::string directory, std::string name);
    ~InstanceCounter();
    InstanceCounter(const InstanceCounter&) = delete;
    InstanceCounter& operator=(const InstanceCounter&) = delete;

    // Both return the counter after the change. When the files cannot be
    // used at all, the counter behaves as a private one starting at -1, so
    // the program still runs.
    int32_t Increment();
    int32_t Decrement();

    // The per-user directory for the files: $XDG_RUNTIME_DIR, else /tmp.
    static std::string DefaultDirectory();

private:
    int32_t Change(int32_t delta);

    std::string counterPath_;
    std::string livePath_;
    int liveFd_ = -1;
    int32_t privateCounter_ = -1;
};

}  // namespace vc::host
