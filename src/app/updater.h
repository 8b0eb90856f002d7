#pragma once
// Updates come from the package manager on Linux. A build that carries an
// "update-feed" key in its Info.json still offers "Check for Updates…", which
// opens the feed's page in the browser.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pawlane {

class Browser;

class Updater {
public:
    // Looks for Info.json in the resource folders, first found wins.
    explicit Updater(const std::vector<std::filesystem::path>& resourceFolders);

    // The feed address when the build has one ("controller" of the update function).
    const std::optional<std::string>& controller() const { return feed_; }
    void checkForUpdates(Browser& browser) const;

private:
    std::optional<std::string> feed_;
};

}  // namespace pawlane
