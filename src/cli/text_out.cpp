#include "cli/text_out.h"

namespace vc::cli {

TextOut& TextOut::operator<<(std::string_view text) {
    if (file_ == nullptr) {
        text_ += text;
    } else if (!text.empty()) {
        std::fwrite(text.data(), 1, text.size(), file_);
    }
    return *this;
}

void TextOut::Flush() {
    if (file_ != nullptr) std::fflush(file_);
}

}  // namespace vc::cli
