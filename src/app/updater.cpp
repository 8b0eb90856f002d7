#include "app/updater.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

#include "platform/browser.h"

namespace pawlane {

Updater::Updater(const std::vector<std::filesystem::path>& resourceFolders) {
    for (const auto& folder : resourceFolders) {
        std::ifstream in(folder / "Info.json");
        if (!in) continue;
        const auto info = nlohmann::json::parse(std::string(std::istreambuf_iterator<char>(in), {}), nullptr, false);
        // The key's presence is what counts; a non-text value gives an empty address.
        if (info.is_object() && info.contains("update-feed"))
            feed_ = info["update-feed"].is_string() ? info["update-feed"].get<std::string>() : std::string();
        return;
    }
}

void Updater::checkForUpdates(Browser& browser) const {
    if (feed_ && !feed_->empty()) browser.open(*feed_);
}

}  // namespace pawlane
