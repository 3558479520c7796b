#include "launch/program_folders.h"

#include <sys/stat.h>

#include <cstdlib>

#include "core/base/file_io.h"
#include "core/base/process.h"
#include "host/executable_path.h"

namespace vc::launch {

namespace {

// Absolute, with "." and ".." steps resolved and no trailing separator, as
// the folders are printed and compared.
std::string Clean(const std::string& path) {
    std::string text = AbsolutePath(path);
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\') && text[text.size() - 2] != ':')
        text.pop_back();
    return text;
}

std::string Join(const std::string& folder, const std::string& name) { return folder + "/" + name; }

std::string UserFolder(const UserEnvironment& env) {
    // The XDG rule: a relative XDG_DATA_HOME is ignored.
    if (!env.xdgDataHome.empty() && env.xdgDataHome.front() == '/')
        return Clean(Join(env.xdgDataHome, kUserFolderName));
    if (env.home.empty() || env.home.front() != '/') return {};
    return Clean(Join(env.home, std::string(".local/share/") + kUserFolderName));
}

}  // namespace

UserEnvironment ProcessUserEnvironment() {
    UserEnvironment env;
    if (const char* home = std::getenv("HOME")) env.home = home;
    if (const char* data = std::getenv("XDG_DATA_HOME")) env.xdgDataHome = data;
    return env;
}

ProgramFolders FindProgramFolders(const std::string& exeDir, const UserEnvironment& env) {
    ProgramFolders folders;
    const std::string shared = Join(exeDir, kSharedFolderRelative);
    folders.installed = IsRegularFile(Join(shared, "MBInfo.dat"));
    if (!folders.installed) {
        folders.data = folders.state = exeDir;
        folders.machines = exeDir + "/machines";
        folders.resources = exeDir + "/resources";
        folders.shippedSources = "data/sources";
        return folders;
    }
    const std::string sharedDir = Clean(shared);
    folders.state = UserFolder(env);
    // The user's own data files count only as a pair: a lone one would pair
    // a board list with a chip table it was not built with.
    const bool ownData = !folders.state.empty() && IsRegularFile(Join(folders.state, "MBInfo.dat")) &&
                         IsRegularFile(Join(folders.state, "CGInfo.dat"));
    folders.data = ownData ? folders.state : sharedDir;
    folders.machines = sharedDir + "/machines";
    folders.resources = sharedDir + "/resources";
    folders.shippedSources = sharedDir + "/sources";
    return folders;
}

ProgramFolders ProgramFoldersOfThisCopy() {
    return FindProgramFolders(ProgramDirectoryOf(host::ExecutablePath()), ProcessUserEnvironment());
}

ProgramFolders WithOneFolder(ProgramFolders folders, const std::string& dir) {
    // Absolute: start-up changes the current directory, and the autorun entry
    // names the program inside this folder.
    folders.data = folders.state = Clean(dir);
    return folders;
}

bool EnsureStateFolder(const ProgramFolders& folders) {
    if (IsDirectory(folders.state)) return true;
    if (!folders.installed || folders.state.empty()) return false;
    // The user's own: nobody else reads or writes the state files.
    return CreateDirectories(folders.state) && ::chmod(folders.state.c_str(), 0700) == 0;
}

}  // namespace vc::launch
