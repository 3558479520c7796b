#include "cli/data_command.h"

#include <algorithm>

#include "core/base/file_io.h"
#include "core/board/data_files.h"
#include "core/board/data_source.h"
#include "core/board/database.h"

namespace vc::cli {
namespace {

constexpr int kOk = 0;
constexpr int kUsage = 2;
constexpr int kFailure = 3;
constexpr const char* kSourceExtension = ".vcdata";
constexpr size_t kLargestSource = 16u << 20;

std::string PathIn(const std::string& dir, const char* name) {
    return dir.empty() ? std::string(name) : dir + "/" + name;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool ReadText(const std::string& path, std::string& text) {
    const auto bytes = ReadFileBytes(path, kLargestSource);
    if (!bytes) return false;
    text.assign(bytes->begin(), bytes->end());
    return true;
}

// The sources SRC names: the file itself, or the directory's *.vcdata files
// in name order.
bool CollectSources(const std::string& src, std::vector<SourceText>& sources, TextOut& err) {
    std::vector<std::pair<std::string, std::string>> files;  // name, path
    if (IsDirectory(src)) {
        for (const std::string& name : FolderEntries(src)) {
            const std::string path = src + "/" + name;
            if (EndsWith(name, kSourceExtension) && IsRegularFile(path)) files.emplace_back(name, path);
        }
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            err << "vcctl: " << src << " holds no " << kSourceExtension << " sources\n";
            return false;
        }
    } else {
        const size_t cut = src.find_last_of("/\\");
        files.emplace_back(cut == std::string::npos ? src : src.substr(cut + 1), src);
    }
    for (const auto& [name, path] : files) {
        SourceText source;
        source.name = name;
        if (!ReadText(path, source.text)) {
            err << "vcctl: cannot read " << path << "\n";
            return false;
        }
        sources.push_back(std::move(source));
    }
    return true;
}

// Replaces both files, or neither: when the second cannot be written, the
// first goes back to what it was.
bool WriteBoth(const std::string& dir, const Database& db, TextOut& err) {
    const std::string boardPath = PathIn(dir, kBoardFileName);
    const std::string chipPath = PathIn(dir, kClockGenFileName);
    const auto boardBefore = ReadFileBytes(boardPath, kLargestDataFile);
    if (!ReplaceFileAtomically(boardPath, EncodeBoardFile(db))) {
        err << "vcctl: cannot write " << boardPath << "\n";
        return false;
    }
    if (ReplaceFileAtomically(chipPath, EncodeClockGenFile(db))) return true;
    err << "vcctl: cannot write " << chipPath << "\n";
    const bool restored = boardBefore ? ReplaceFileAtomically(boardPath, *boardBefore) : RemoveFile(boardPath);
    if (!restored) err << "vcctl: cannot restore " << boardPath << "\n";
    return false;
}

int Build(const std::string& src, const std::string& dir, TextOut& out, TextOut& err) {
    std::vector<SourceText> sources;
    if (!CollectSources(src, sources, err)) return kFailure;
    const CompiledSources compiled = CompileSources(sources);
    for (const std::string& error : compiled.errors) err << error << "\n";
    if (!compiled.errors.empty()) {
        err << "vcctl: " << compiled.errors.size() << " problem(s); nothing written\n";
        return kFailure;
    }
    if (!WriteBoth(dir, compiled.db, err)) return kFailure;
    out << "wrote " << PathIn(dir, kBoardFileName) << " (" << compiled.db.boards.size() << " boards) and "
        << PathIn(dir, kClockGenFileName) << " (" << compiled.db.clockGens.size()
        << " clock generators)\n";
    return kOk;
}

}  // namespace

namespace {

// Both files decoded; `chipFile` keeps CGInfo.dat's bytes when they decoded
// without a problem, for the lookups recognition would run on them.
bool LoadFiles(const std::string& dir, Database& db, std::vector<std::string>& problems,
               std::vector<std::string>& skipped, std::vector<uint8_t>& chipFile) {
    bool found = true;
    const auto boardBytes = ReadFileBytes(PathIn(dir, kBoardFileName), kLargestDataFile);
    if (boardBytes) {
        DecodeBoardFile(*boardBytes, db, problems, skipped);
    } else {
        problems.push_back(std::string(kBoardFileName) + ": cannot be opened");
        found = false;
    }
    const auto chipBytes = ReadFileBytes(PathIn(dir, kClockGenFileName), kLargestDataFile);
    if (chipBytes) {
        const size_t before = problems.size();
        DecodeClockGenFile(*chipBytes, db, problems, skipped);
        if (problems.size() == before) chipFile = *chipBytes;
    } else {
        problems.push_back(std::string(kClockGenFileName) + ": cannot be opened");
        found = false;
    }
    return found;
}

void PrintWarnings(const std::vector<std::string>& skipped, TextOut& err) {
    for (const std::string& warning : skipped) err << "warning: " << warning << "\n";
}

}  // namespace

bool LoadDatabase(const std::string& dir, Database& db, std::vector<std::string>& problems,
                  std::vector<std::string>* skipped) {
    std::vector<std::string> warnings;
    std::vector<uint8_t> chipFile;
    const bool found = LoadFiles(dir, db, problems, warnings, chipFile);
    if (skipped != nullptr) *skipped = std::move(warnings);
    return found;
}

namespace {

int Dump(const std::string& dir, TextOut& out, TextOut& err) {
    Database db;
    std::vector<std::string> problems;
    std::vector<std::string> skipped;
    LoadDatabase(dir, db, problems, &skipped);
    const auto cited = std::count_if(db.clockGenNotes.begin(), db.clockGenNotes.end(),
                                     [](const ClockGenNotes& n) { return !n.source.empty(); });
    const auto verified = std::count_if(db.boardNotes.begin(), db.boardNotes.end(),
                                        [](const BoardNotes& n) { return n.verified; });
    out << "# " << kClockGenFileName << ": " << db.clockGens.size() << " clock generators (" << cited
        << " citing their source), " << kBoardFileName << ": " << db.boards.size() << " boards (" << verified
        << " verified, " << db.boards.size() - static_cast<size_t>(verified) << " unverified)\n\n";
    out << WriteSources(db);
    PrintWarnings(skipped, err);
    for (const std::string& problem : problems) err << problem << "\n";
    return problems.empty() ? kOk : kFailure;
}

int Check(const std::string& dir, TextOut& out, TextOut& err) {
    Database db;
    std::vector<std::string> problems;
    std::vector<std::string> skipped;
    std::vector<uint8_t> chipFile;
    const bool found = LoadFiles(dir, db, problems, skipped, chipFile);
    for (const DataProblem& problem : CheckDatabase(db)) {
        const char* file = problem.kind == RecordKind::Board ? kBoardFileName : kClockGenFileName;
        problems.push_back(std::string(file) + ": " + DescribeProblem(db, problem));
    }
    if (found && !chipFile.empty()) {
        for (std::string& problem : CheckChipLookups(db, chipFile)) problems.push_back(std::move(problem));
    }
    PrintWarnings(skipped, err);
    for (const std::string& problem : problems) err << problem << "\n";
    if (!problems.empty()) {
        err << "vcctl: " << problems.size() << " problem(s)\n";
        return kFailure;
    }
    out << kBoardFileName << ": " << db.boards.size() << " boards, " << kClockGenFileName << ": "
        << db.clockGens.size() << " clock generators: no problems";
    if (!skipped.empty()) out << ", " << skipped.size() << " warning(s)";
    out << "\n";
    return kOk;
}

}  // namespace

int RunDataCommand(const std::vector<std::string>& args, const std::string& dir, TextOut& out,
                   TextOut& err) {
    std::vector<std::string> words = args;
    if (!words.empty() && words.front() == "data") words.erase(words.begin());
    const std::string verb = words.empty() ? std::string() : words.front();
    if (verb == "build" && words.size() == 2) return Build(words[1], dir, out, err);
    if (verb == "dump" && words.size() == 1) return Dump(dir, out, err);
    if (verb == "check" && words.size() == 1) return Check(dir, out, err);
    err << "vcctl: usage: data build SRC | data dump | data check\n";
    return kUsage;
}

}  // namespace vc::cli
