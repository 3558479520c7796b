// Runs a call that may end the process and tells the exit code it ended
// with, or nothing when it returned.
#pragma once

#include <optional>

#include "support/recording_shell.h"

namespace vc::test {

template <class Call>
std::optional<int> EndedWith(Call&& call) {
    try {
        call();
    } catch (const ProcessEnded& ended) {
        return ended.exitCode;
    }
    return std::nullopt;
}

}  // namespace vc::test
