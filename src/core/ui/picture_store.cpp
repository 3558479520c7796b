#include "core/ui/picture_store.h"

#include <utility>

#include "core/ui/bmp_codec.h"

namespace vc::ui {

std::string PictureStem(int32_t pictureId) {
    return std::to_string(static_cast<uint32_t>(pictureId) & 0xFFFFu);
}

PictureStore::PictureStore(std::string directory) : directory_(std::move(directory)) {}

std::string PictureStore::PathOf(const std::string& stem) const {
    const std::string file = stem + ".bmp";
    if (directory_.empty()) return file;
    if (directory_.back() == '/') return directory_ + file;
    return directory_ + "/" + file;
}

const Surface* PictureStore::Get(int32_t pictureId) { return GetNamed(PictureStem(pictureId)); }

const Surface* PictureStore::GetNamed(const std::string& stem) {
    const auto found = pictures_.find(stem);
    if (found != pictures_.end()) return found->second.get();
    auto picture = std::make_unique<Surface>();
    std::string error;
    if (!ReadBmpFile(PathOf(stem), *picture, error)) {
        problems_.push_back(Problem{stem, error});
        picture.reset();
    }
    return pictures_.emplace(stem, std::move(picture)).first->second.get();
}

bool PictureStore::IsMissing(int32_t pictureId) const {
    const auto found = pictures_.find(PictureStem(pictureId));
    return found != pictures_.end() && !found->second;
}

}  // namespace vc::ui
