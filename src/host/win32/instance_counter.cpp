// The counter shared by every running copy (host/process/instance_counter.h)
// on Windows: a named page of the paging file. The page holds the number of
// counted copies, zero when the system creates it, and lives only while some
// copy holds it open, so after the last copy ends, however it ended, the next
// start finds the counter at -1 again.
#include <windows.h>

#include "host/process/instance_counter.h"

namespace vc::host {

namespace {

struct SharedPage {
    HANDLE mapping = nullptr;
    volatile LONG* copies = nullptr;
};

// One page per process, opened by the first counter and kept to the end.
SharedPage& Page(const std::string& name) {
    static SharedPage page;
    if (page.copies != nullptr) return page;
    // No "Global\" prefix: 9x and NT 4 do not know it.
    const std::string mappingName = name + ".instances";
    page.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                      mappingName.c_str());
    if (page.mapping != nullptr)
        page.copies = static_cast<volatile LONG*>(MapViewOfFile(page.mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    return page;
}

}  // namespace

InstanceCounter::InstanceCounter(std::string, std::string name) : counterPath_(std::move(name)) {}

InstanceCounter::~InstanceCounter() = default;

std::string InstanceCounter::DefaultDirectory() { return {}; }

int32_t InstanceCounter::Increment() { return Change(1); }
int32_t InstanceCounter::Decrement() { return Change(-1); }

int32_t InstanceCounter::Change(int32_t delta) {
    const SharedPage& page = Page(counterPath_);
    // Without the page the counter is this copy's own, as on Linux.
    if (page.copies == nullptr) return privateCounter_ += delta;
    const LONG copies = delta > 0 ? InterlockedIncrement(page.copies) : InterlockedDecrement(page.copies);
    return static_cast<int32_t>(copies) - 1;
}

}  // namespace vc::host
