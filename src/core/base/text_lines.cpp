#include "core/base/text_lines.h"

namespace vc {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> SplitWords(std::string_view text) {
    constexpr std::string_view kSpace = " \t\n\v\f\r";
    std::vector<std::string> words;
    for (size_t start = text.find_first_not_of(kSpace); start != std::string_view::npos;
         start = text.find_first_not_of(kSpace, start)) {
        const size_t end = text.find_first_of(kSpace, start);
        words.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end;
    }
    return words;
}

}  // namespace vc
