#include "host/helper_problem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "core/base/file_io.h"
#include "core/base/text_lines.h"

namespace vc::host {

namespace {

constexpr size_t kLargestAccountFile = 4u << 20;

// The colon-separated fields of each line of an /etc/passwd or /etc/group
// file. Read directly rather than through NSS, so that the static build of
// the VM check needs no shared libraries.
std::vector<std::vector<std::string>> Records(const std::string& path) {
    std::vector<std::vector<std::string>> records;
    const auto bytes = ReadFileBytes(path, kLargestAccountFile);
    if (!bytes) return records;
    for (const std::string& line : SplitLines(std::string(bytes->begin(), bytes->end()))) {
        std::vector<std::string> fields;
        for (size_t start = 0;;) {
            const size_t colon = line.find(':', start);
            fields.push_back(line.substr(start, colon - start));
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
        records.push_back(std::move(fields));
    }
    return records;
}

std::optional<unsigned long> Number(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stoul(text);
}

bool ProcessHasGroup(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<size_t>(i)] == gid) return true;
    return false;
}

}  // namespace

HelperProblem ConnectProblem(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return {HelperProblemKind::NotPermitted, error};
        case ECONNREFUSED: return {HelperProblemKind::NobodyListening, error};
        // No socket at all: the helper is not installed, which the callers'
        // own messages already say.
        case ENOENT:
        case ENOTDIR: return {HelperProblemKind::None, error};
        default: return {HelperProblemKind::Unreachable, error};
    }
}

GroupStanding StandingOf(const std::string& socketPath, const std::string& groupFile,
                         const std::string& passwdFile) {
    const uid_t uid = ::getuid();
    GroupStanding standing;
    standing.user = std::to_string(uid);
    std::optional<unsigned long> primaryGid;
    for (const auto& r : Records(passwdFile)) {
        if (r.size() >= 4 && Number(r[2]) == uid) {
            standing.user = r[0];
            primaryGid = Number(r[3]);
            break;
        }
    }
    struct stat socketFile {};
    const bool socketGroupKnown = ::stat(socketPath.c_str(), &socketFile) == 0 && socketFile.st_gid != 0;
    const auto groups = Records(groupFile);
    const std::vector<std::string>* found = nullptr;
    for (const auto& r : groups) {
        if (r.size() < 4) continue;
        if (socketGroupKnown ? Number(r[2]) == socketFile.st_gid : r[0] == kHelperGroup) {
            found = &r;
            break;
        }
    }
    standing.group = found != nullptr ? (*found)[0] : std::string(kHelperGroup);
    if (found == nullptr) {
        standing.inProcess = uid == 0 || (socketGroupKnown && ProcessHasGroup(socketFile.st_gid));
        return standing;
    }
    const auto gid = Number((*found)[2]);
    standing.inProcess = uid == 0 || (gid && ProcessHasGroup(static_cast<gid_t>(*gid)));
    standing.listed = gid && primaryGid == gid;
    const std::string& members = (*found)[3];
    for (size_t start = 0; !standing.listed && start <= members.size();) {
        const size_t comma = members.find(',', start);
        standing.listed = members.substr(start, comma - start) == standing.user;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return standing;
}

std::string ExplainHelperProblem(const HelperProblem& problem, const std::string& socketPath,
                                 const GroupStanding& s) {
    const std::string socket = "velocore-driverd's socket " + socketPath;
    const std::string addUser = "run `sudo usermod -aG " + s.group + " " + s.user + "`, then log out and in again";
    const std::string newLogin = s.user + " is in the group " + s.group +
                                 ", but this login session began before that: log out and in again";
    switch (problem.kind) {
        case HelperProblemKind::None: return {};
        case HelperProblemKind::NotPermitted:
            if (s.inProcess) {
                return socket + " refuses this user although it is in the group " + s.group + ": see `ls -l " +
                       socketPath + "` and `systemctl status velocore-driverd.socket`";
            }
            if (s.listed) return newLogin + " to use " + socket;
            return socket + " is open only to root and the group " + s.group + ", and " + s.user +
                   " is not in it: " + addUser;
        case HelperProblemKind::NobodyListening:
            return "nobody listens on " + socket +
                   " (the socket unit is stopped or failed, or the file was left behind): see `systemctl status "
                   "velocore-driverd.socket`";
        case HelperProblemKind::Unreachable:
            return socket + " cannot be opened (" + std::strerror(problem.error) +
                   "): see `systemctl status velocore-driverd.socket`";
        case HelperProblemKind::Refused:
            if (s.inProcess) {
                return "velocore-driverd closed the connection without an answer (it turns a member away while "
                       "that member holds as many connections as one may, or while every member's slot is taken and "
                       "no other member holds more): its log says which, `journalctl -u velocore-driverd`";
            }
            if (s.listed) return "velocore-driverd refused this program: " + newLogin;
            return "velocore-driverd refused this program: it serves only root and the group " + s.group + ", and " +
                   s.user + " is not in it: " + addUser;
    }
    return {};
}

}  // namespace vc::host
