// vcctl data build SRC | data dump | data check: the board database tool.
#pragma once

#include <string>
#include <vector>

#include "cli/text_out.h"
#include "core/board/database.h"

namespace vc::cli {

// `args` are the words after "data" (a leading "data" is skipped):
//   build SRC   compile SRC (a source file, or a directory of *.vcdata files)
//               into MBInfo.dat and CGInfo.dat in `dir`; on any error nothing
//               is written
//   dump        print both files of `dir` in the source format
//   check       validate both files of `dir`, one line per problem; a
//               damaged record that recognition steps over is a warning line
//               and alone does not fail the check
// `dir` empty means the current directory. Answers 0 ok, 2 usage, 3 failure.
int RunDataCommand(const std::vector<std::string>& args, const std::string& dir, TextOut& out,
                   TextOut& err);

// Reads and decodes MBInfo.dat and CGInfo.dat of `dir`; what keeps them from
// being read goes to `problems` as sentences, damaged records that
// recognition steps over to `skipped` when given. False when a file is missing.
bool LoadDatabase(const std::string& dir, Database& db, std::vector<std::string>& problems,
                  std::vector<std::string>* skipped = nullptr);

}  // namespace vc::cli
