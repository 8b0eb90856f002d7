#include "social/uuid_text.h"

#include <cctype>

namespace pawlane {

std::string upperUuid(std::string_view uuid) {
    std::string out(uuid);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string lowerUuid(std::string_view uuid) {
    std::string out(uuid);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace pawlane
