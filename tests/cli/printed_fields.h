// vcctl's "key: value" lines as a map, the last value printed for each key.
#pragma once

#include <map>
#include <sstream>
#include <string>

namespace vc::test {

inline std::map<std::string, std::string> Fields(const std::string& out) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos) fields[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return fields;
}

}  // namespace vc::test
