#include <syslog.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/log.h"

namespace pawlane {
namespace {

class SysLog final : public SystemLog {
public:
    SysLog() { openlog("pawlane", 0, LOG_USER); }
    void write(std::string_view line) override {
        syslog(LOG_USER | LOG_INFO, "%.*s", static_cast<int>(line.size()), line.data());
    }
};

class StderrTrace final : public TraceSink {
public:
    void trace(std::string_view message) override {
        if (!std::getenv("PAWLANE_TRACE")) return;
        std::string line = "pawlane: ";
        line.append(message);
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }
};

}  // namespace

SystemLog& systemLog() {
    static SysLog log;
    return log;
}

TraceSink& stderrTrace() {
    static StderrTrace trace;
    return trace;
}

}  // namespace pawlane
