// Where a copy of the program keeps its files. A build-folder copy keeps
// everything beside the executable. An installed copy (the executable in
// PREFIX/bin with PREFIX/share/velocore3 holding MBInfo.dat) reads the
// shared data there and keeps each user's state in a folder of the user's
// own, since the installed folders are read-only and shared by all users.
#pragma once

#include <string>

namespace vc::launch {

inline constexpr const char* kSharedFolderRelative = "../share/velocore3";
inline constexpr const char* kUserFolderName = "VelocoreIII";

// What the user folder is found from.
struct UserEnvironment {
    std::string home;         // HOME
    std::string xdgDataHome;  // XDG_DATA_HOME
};

// This process's HOME and XDG_DATA_HOME.
UserEnvironment ProcessUserEnvironment();

struct ProgramFolders {
    bool installed = false;
    std::string data;       // MBInfo.dat, CGInfo.dat
    // sysinfo.dat, save.dat, pending.dat, revert.confirm; empty for an
    // installed copy when neither HOME nor XDG_DATA_HOME is an absolute path
    std::string state;
    std::string machines;   // the machine catalogue
    std::string resources;  // the pictures
    std::string shippedSources;  // the sources the shipped data files were built from
};

// `exeDir` is the running program's folder, without a trailing separator.
// Creates nothing: the user folder may not exist yet (EnsureStateFolder).
ProgramFolders FindProgramFolders(const std::string& exeDir, const UserEnvironment& env);

// Where the running copy keeps its files: FindProgramFolders for the folder
// of its own executable and this process's environment.
ProgramFolders ProgramFoldersOfThisCopy();

// An explicit folder for data and state (vcctl --dir), made absolute against
// the current directory; the rest as found.
ProgramFolders WithOneFolder(ProgramFolders folders, const std::string& dir);

// Creates an installed copy's user folder (0700, parents as needed) when it
// is missing. Answers whether the state folder exists afterwards.
bool EnsureStateFolder(const ProgramFolders& folders);

}  // namespace vc::launch
