// Runs vcctl as a child process with its own stdin, stdout and stderr, so
// tests see exit codes and output exactly as a user would.
#pragma once

#include <string>
#include <vector>

namespace vc::test {

struct Finished {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class Child {
public:
    // Starts `args` (args[0] is the program) with extra environment entries.
    Child(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads standard output until `text` appears (or the child ends).
    bool WaitForOutput(const std::string& text);
    // Closes the child's standard input and collects the rest.
    Finished Finish();

private:
    int pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    std::string outSoFar_;
};

Finished RunToEnd(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

}  // namespace vc::test
