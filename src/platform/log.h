#pragma once
// The program's two outputs for people: the system log (one line per pet
// encounter) and the developer trace on standard error.
#include <string_view>

namespace pawlane {

class SystemLog {
public:
    virtual ~SystemLog() = default;
    virtual void write(std::string_view line) = 0;
};

class TraceSink {
public:
    virtual ~TraceSink() = default;
    // Writes "pawlane: " + message + a line feed when tracing is on.
    virtual void trace(std::string_view message) = 0;
};

// syslog(3), ident "pawlane", facility user, level info.
SystemLog& systemLog();
// Standard error while PAWLANE_TRACE is present in the environment (even
// empty); the environment is consulted on every call.
TraceSink& stderrTrace();

}  // namespace pawlane
