#pragma once
#include <string>
#include <string_view>

namespace pawlane {

// A fresh random (version 4) UUID in upper-case 8-4-4-4-12 form.
std::string newUuid();
// True for 36 characters of 8-4-4-4-12 hexadecimal digits, either case.
bool isUuidText(std::string_view text);

}  // namespace pawlane
