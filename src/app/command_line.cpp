#include "app/command_line.h"

#include <algorithm>

namespace pawlane {

namespace {

// The element after the first `flag`, when there is one.
const std::string* pathAfter(const std::vector<std::string>& args, const char* flag) {
    auto it = std::find(args.begin() + std::min<std::size_t>(1, args.size()), args.end(), flag);
    if (it == args.end() || it + 1 == args.end()) return nullptr;
    return &*(it + 1);
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
    Command c;
    const auto begin = args.begin() + std::min<std::size_t>(1, args.size());
    if (std::find(begin, args.end(), "--selftest") != args.end()) {
        c.kind = Command::Kind::SelfTest;
        return c;
    }
    if (const auto* p = pathAfter(args, "--dump-frames")) {
        c.kind = Command::Kind::DumpFrames;
        c.path = *p;
        return c;
    }
    if (const auto* p = pathAfter(args, "--make-icon")) {
        c.kind = Command::Kind::MakeIcon;
        c.path = *p;
        return c;
    }
    for (auto it = begin; it != args.end(); ++it)
        if (it->rfind("pawlane:", 0) == 0) c.urls.push_back(*it);
    return c;
}

}  // namespace pawlane
