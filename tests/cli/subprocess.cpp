#include "subprocess.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace vc::test {

namespace {

std::string ReadRest(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
}

}  // namespace

Child::Child(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) std::abort();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
        for (const auto& entry : env) ::putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
}

Child::~Child() {
    if (pid_ > 0) Finish();
}

bool Child::WaitForOutput(const std::string& text) {
    char buffer[4096];
    while (outSoFar_.find(text) == std::string::npos) {
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) return false;
        outSoFar_.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

Finished Child::Finish() {
    Finished result;
    if (in_ >= 0) ::close(in_);
    in_ = -1;
    result.out = outSoFar_ + ReadRest(out_);
    result.err = ReadRest(err_);
    ::close(out_);
    ::close(err_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Finished RunToEnd(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    Child child(args, env);
    return child.Finish();
}

}  // namespace vc::test
