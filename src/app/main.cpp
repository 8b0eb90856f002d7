#include <iostream>

#include "app/command_line.h"
#include "devtools/export.h"
#include "devtools/selftest.h"
#include "platform/qt/app_runner.h"

int main(int argc, char** argv) {
    using namespace pawlane;
    const Command command = parseCommandLine(std::vector<std::string>(argv, argv + argc));
    switch (command.kind) {
    case Command::Kind::SelfTest:
        return selfTest(std::cout);
    case Command::Kind::DumpFrames:
        dumpFrames(command.path, std::cout);
        return 0;
    case Command::Kind::MakeIcon:
        makeIcon(command.path, std::cout);
        return 0;
    case Command::Kind::Interactive:
        break;
    }
    return runApplication(argc, argv, command.urls);
}
