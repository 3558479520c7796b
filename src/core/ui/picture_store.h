// The program's pictures, addressed by number: picture NNN is the file
// NNN.bmp in the resource directory, loaded on first use and kept until the
// store goes away. A picture that is missing or unreadable is a null handle,
// which draws nothing; the store remembers why, for the tests and tools.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ui/surface.h"

namespace vc::ui {

class PictureStore {
public:
    // `directory` empty means file names relative to the current directory.
    explicit PictureStore(std::string directory);

    // Picture numbers are 16-bit resource numbers: only the low 16 bits of
    // `pictureId` count. Null when the picture cannot be loaded.
    const Surface* Get(int32_t pictureId);

    // A picture by file name without ".bmp", for the ones that are not plain
    // numbers (the icon's "101_16" and "101_32").
    const Surface* GetNamed(const std::string& stem);

    struct Problem {
        std::string stem;     // "136" or "101_16"
        std::string message;  // names the file and what is wrong with it
    };
    // One entry per picture that could not be loaded, in the order first asked for.
    const std::vector<Problem>& Problems() const { return problems_; }
    // True once a request for the picture has failed.
    bool IsMissing(int32_t pictureId) const;

    std::string PathOf(const std::string& stem) const;
    const std::string& Directory() const { return directory_; }

private:
    std::string directory_;
    // A null entry remembers a failed load, so it is neither retried nor
    // reported twice. Entries never move, so handed-out pointers stay valid.
    std::map<std::string, std::unique_ptr<Surface>> pictures_;
    std::vector<Problem> problems_;
};

// The file stem of picture `pictureId` ("136"), low 16 bits only.
std::string PictureStem(int32_t pictureId);

}  // namespace vc::ui
