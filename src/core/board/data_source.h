// The human-readable sources of the board database (format in
// data/README.md): compiled into a Database, and written back from one.
#pragma once

#include <string>
#include <vector>

#include "core/board/database.h"

namespace vc {

struct SourceText {
    std::string name;  // shown in messages ("boards.vcdata")
    std::string text;
};

struct CompiledSources {
    Database db;
    std::vector<std::string> errors;  // "boards.vcdata:12: ...", empty when the sources are sound
};

// Parses every source in order into one database and checks it with
// CheckDatabase; every problem is named by file and line.
CompiledSources CompileSources(const std::vector<SourceText>& sources);

// The database as source text that compiles back to the same records.
std::string WriteSources(const Database& db);

}  // namespace vc
