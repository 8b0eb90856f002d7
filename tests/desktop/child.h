#pragma once
// A process the test started: output kept in files, stdin a pipe, and killed
// when the test lets go of it.
#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace desktop {

class Child {
public:
    // env entries replace or add to this process's environment.
    Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          const std::string& outputPrefix);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The exit status when the process ends within the time (-1 for a signal).
    std::optional<int> waitExit(int timeoutMs);
    void writeLine(const std::string& line);
    std::string out() const;
    std::string err() const;
    // Polls until the given text shows up on stdout or stderr.
    bool waitForOutput(const std::string& text, int timeoutMs, bool onStderr = false);
    void stop();

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    std::optional<int> status_;
    std::string outPath_, errPath_;
};

}  // namespace desktop
