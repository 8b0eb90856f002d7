#pragma once
// Log and trace doubles that keep what was written.
#include <string>
#include <vector>

#include "platform/log.h"

namespace pawlane {

class RecordingLog final : public SystemLog {
public:
    void write(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// Keeps the messages (without the "pawlane: " prefix) as if tracing were on.
class RecordingTrace final : public TraceSink {
public:
    void trace(std::string_view message) override { lines.emplace_back(message); }
    std::vector<std::string> lines;
};

}  // namespace pawlane
