#pragma once
// Addresses handed to the program: by the desktop (x-scheme-handler) as
// arguments, or forwarded by a second start to the running instance.
#include <string>
#include <string_view>

namespace pawlane {

// The scheme is exactly "pawlane" (the sign-in callback); any other scheme,
// or this one in another case, is not ours.
bool isPawlaneUrl(std::string_view url);

// The scheme, host and path only: the query and fragment may carry a sign-in
// code and never go to a log.
std::string loggableUrl(std::string_view url);

}  // namespace pawlane
