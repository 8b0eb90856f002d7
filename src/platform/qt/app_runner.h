#pragma once
// The interactive application on Qt: single-instance check, the desktop
// services, the application object, and the event loop until "Quit".
#include <string>
#include <vector>

namespace pawlane {

class SocialLink;

// Returns the process's exit status. `urls` are the "pawlane:" arguments.
// `socialOverride` replaces the backend service (benchmarks bring fake visitors).
int runApplication(int argc, char** argv, const std::vector<std::string>& urls,
                   SocialLink* socialOverride = nullptr);

}  // namespace pawlane
