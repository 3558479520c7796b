// Why the helper could not be used, in words that tell the user what to do:
// the kernel refused the connection (the socket is open only to root and
// the helper's group), nobody listens on the socket (a socket unit stopped
// or failed, or a file left behind), or the helper closed a fresh
// connection without an answer (it serves only root and its group's
// members, and a member only a few connections at a time).
#pragma once

#include <string>

namespace vc::host {

// The group the packaged socket and helper admit.
inline constexpr const char* kHelperGroup = "velocore";

enum class HelperProblemKind { None, NotPermitted, NobodyListening, Unreachable, Refused };

struct HelperProblem {
    HelperProblemKind kind = HelperProblemKind::None;
    int error = 0;  // errno of the failed connect
};

// How a failed connect's errno reads (no socket at all: None).
HelperProblem ConnectProblem(int error);

// Where the running user stands with the group that may use the helper.
struct GroupStanding {
    std::string user;         // login name, or the uid in digits
    std::string group;        // the socket's group, or kHelperGroup when root's or unknown
    bool inProcess = false;   // root, or the group is among this process's groups
    bool listed = false;      // the group file lists the user in it (a login since counts it)
};

GroupStanding StandingOf(const std::string& socketPath, const std::string& groupFile = "/etc/group",
                         const std::string& passwdFile = "/etc/passwd");

// One line; empty for HelperProblemKind::None.
std::string ExplainHelperProblem(const HelperProblem& problem, const std::string& socketPath,
                                 const GroupStanding& standing);

}  // namespace vc::host
