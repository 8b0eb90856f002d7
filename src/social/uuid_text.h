#pragma once
// UUID texts of the cloud: written upper-case, read in either case.
#include <string>
#include <string_view>

namespace pawlane {

std::string upperUuid(std::string_view uuid);
std::string lowerUuid(std::string_view uuid);

}  // namespace pawlane
