#include "launch/program_folders.h"

#include <cstdlib>
#include <filesystem>

namespace vc::launch {

namespace fs = std::filesystem;

namespace {

std::string Clean(const fs::path& path) {
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string UserFolder(const UserEnvironment& env) {
    // The XDG rule: a relative XDG_DATA_HOME is ignored.
    if (!env.xdgDataHome.empty() && env.xdgDataHome.front() == '/')
        return Clean(fs::path(env.xdgDataHome) / kUserFolderName);
    if (env.home.empty() || env.home.front() != '/') return {};
    return Clean(fs::path(env.home) / ".local" / "share" / kUserFolderName);
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
    const fs::path shared = fs::path(exeDir) / kSharedFolderRelative;
    folders.installed = IsFile(shared / "MBInfo.dat");
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
    const bool ownData = !folders.state.empty() && IsFile(fs::path(folders.state) / "MBInfo.dat") &&
                         IsFile(fs::path(folders.state) / "CGInfo.dat");
    folders.data = ownData ? folders.state : sharedDir;
    folders.machines = sharedDir + "/machines";
    folders.resources = sharedDir + "/resources";
    folders.shippedSources = sharedDir + "/sources";
    return folders;
}

ProgramFolders WithOneFolder(ProgramFolders folders, const std::string& dir) {
    // Absolute: start-up changes the current directory, and the autorun entry
    // names the program inside this folder.
    std::error_code error;
    const fs::path absolute = fs::absolute(dir, error);
    folders.data = folders.state = error ? dir : Clean(absolute);
    return folders;
}

bool EnsureStateFolder(const ProgramFolders& folders) {
    std::error_code error;
    const fs::path state(folders.state);
    if (fs::is_directory(state, error)) return true;
    if (!folders.installed || folders.state.empty()) return false;
    fs::create_directories(state.parent_path(), error);
    if (!fs::create_directory(state, error)) return false;
    fs::permissions(state, fs::perms::owner_all, fs::perm_options::replace, error);
    return !error;
}

}  // namespace vc::launch
