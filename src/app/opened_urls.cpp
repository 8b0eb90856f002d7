#include "app/opened_urls.h"

namespace pawlane {

bool isPawlaneUrl(std::string_view url) { return url.starts_with("pawlane:"); }

std::string loggableUrl(std::string_view url) {
    const auto cut = url.find_first_of("?#");
    return std::string(url.substr(0, cut));
}

}  // namespace pawlane
