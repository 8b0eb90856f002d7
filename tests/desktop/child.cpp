#include "child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace desktop {
namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

Child::Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             const std::string& outputPrefix)
    : outPath_(outputPrefix + ".out"), errPath_(outputPrefix + ".err") {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeFds[0], 0);
        close(pipeFds[0]);
        close(pipeFds[1]);
        const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        for (const auto& [key, value] : env) {
            if (value == "\x01unset")
                unsetenv(key.c_str());
            else
                setenv(key.c_str(), value.c_str(), 1);
        }
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[0]);
    stdin_ = pipeFds[1];
    fcntl(stdin_, F_SETFD, FD_CLOEXEC);
}

Child::~Child() { stop(); }

bool Child::running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    return true;
}

std::optional<int> Child::waitExit(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() > end) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

void Child::writeLine(const std::string& line) {
    if (stdin_ < 0) return;
    const std::string text = line + "\n";
    [[maybe_unused]] auto n = write(stdin_, text.data(), text.size());
}

std::string Child::out() const { return slurp(outPath_); }
std::string Child::err() const { return slurp(errPath_); }

bool Child::waitForOutput(const std::string& text, int timeoutMs, bool onStderr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if ((onStderr ? err() : out()).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

void Child::stop() {
    if (stdin_ >= 0) {
        close(stdin_);
        stdin_ = -1;
    }
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (!waitExit(2000)) {
        kill(pid_, SIGKILL);
        waitExit(2000);
    }
}

}  // namespace desktop
