#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/updater.h"
#include "platform/browser.h"

using namespace pawlane;
namespace fs = std::filesystem;

namespace {

struct RecordingBrowser final : Browser {
    std::vector<std::string> opened;
    bool open(const std::string& url) override {
        opened.push_back(url);
        return true;
    }
};

}  // namespace

TEST(Updater, OnlyAFeedKeyMakesTheUpdateFunction) {
    const fs::path dir = fs::temp_directory_path() / ("pawlane-updater-" + std::to_string(::getpid()));
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    RecordingBrowser browser;

    EXPECT_FALSE(Updater({dir / "a", dir / "b"}).controller());

    std::ofstream(dir / "b" / "Info.json") << R"({"update-feed": "https://example.org/feed.xml"})";
    const Updater withFeed({dir / "a", dir / "b"});
    ASSERT_TRUE(withFeed.controller());
    withFeed.checkForUpdates(browser);
    EXPECT_EQ(browser.opened, std::vector<std::string>{"https://example.org/feed.xml"});

    // The first Info.json found decides, even without the key.
    std::ofstream(dir / "a" / "Info.json") << R"({"name": "Pawlane"})";
    EXPECT_FALSE(Updater({dir / "a", dir / "b"}).controller());
    std::ofstream(dir / "a" / "Info.json") << "not json";
    EXPECT_FALSE(Updater({dir / "a", dir / "b"}).controller());
    fs::remove_all(dir);
}
