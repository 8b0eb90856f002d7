#pragma once
// What the process was asked to do. The developer switches are examined in a
// fixed order and never reach the single-instance check.
#include <string>
#include <vector>

namespace pawlane {

struct Command {
    enum class Kind {
        SelfTest,     // "--selftest" anywhere
        DumpFrames,   // "--dump-frames" followed by a path
        MakeIcon,     // "--make-icon" followed by a path
        Interactive,  // anything else
    };
    Kind kind = Kind::Interactive;
    std::string path;       // export folder, taken verbatim
    std::vector<std::string> urls;  // "pawlane:" arguments of an interactive start
};

// args[0] is the program path.
Command parseCommandLine(const std::vector<std::string>& args);

}  // namespace pawlane
