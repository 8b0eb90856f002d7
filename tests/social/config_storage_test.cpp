#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "social/file_auth_storage.h"
#include "social/social_config.h"
#include "social/social_error.h"
#include "temp_dir.h"

using namespace pawlane;
using pawlane::test::TempDir;

namespace {

const char* const VALID_PLIST = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>SUPABASE_URL</key><string>https://plist.example.org</string>
  <key>SUPABASE_ANON_KEY</key><string>plist-key</string>
</dict></plist>)";

std::string plistWith(const std::string& entries) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">") + entries + "</plist>";
}

struct ConfigCase {
    const char* name;
    std::map<std::string, std::string> env;
    const char* plist;  // nullptr: no Secrets.plist
    std::optional<SocialConfig> expected;
};

}  // namespace

TEST(SocialConfig, EnvironmentPairThenSecretsPlist) {
    const SocialConfig fromEnv{"https://env.example.org", "env-key"};
    const SocialConfig fromPlist{"https://plist.example.org", "plist-key"};
    const std::string numberUrl =
        plistWith("<dict><key>SUPABASE_URL</key><integer>42</integer><key>SUPABASE_ANON_KEY</key><string>k</string></dict>");
    const std::string missingKey = plistWith("<dict><key>SUPABASE_URL</key><string>https://a.example.org</string></dict>");
    const std::string notDict = plistWith("<array><string>https://a.example.org</string></array>");
    const std::string badUrl =
        plistWith("<dict><key>SUPABASE_URL</key><string>not a url</string><key>SUPABASE_ANON_KEY</key><string>k</string></dict>");
    const std::vector<ConfigCase> cases = {
        {"pair only", {{"PAWLANE_SUPABASE_URL", fromEnv.url}, {"PAWLANE_SUPABASE_KEY", fromEnv.anonKey}}, nullptr, fromEnv},
        {"environment wins over plist",
         {{"PAWLANE_SUPABASE_URL", fromEnv.url}, {"PAWLANE_SUPABASE_KEY", fromEnv.anonKey}}, VALID_PLIST, fromEnv},
        {"lone URL ignored, plist used", {{"PAWLANE_SUPABASE_URL", fromEnv.url}}, VALID_PLIST, fromPlist},
        {"lone key ignored, nothing else", {{"PAWLANE_SUPABASE_KEY", "k"}}, nullptr, std::nullopt},
        {"empty URL falls through", {{"PAWLANE_SUPABASE_URL", ""}, {"PAWLANE_SUPABASE_KEY", "k"}}, VALID_PLIST, fromPlist},
        {"unparsable URL falls through to nothing",
         {{"PAWLANE_SUPABASE_URL", "::nope"}, {"PAWLANE_SUPABASE_KEY", "k"}}, nullptr, std::nullopt},
        {"empty key is used as is",
         {{"PAWLANE_SUPABASE_URL", fromEnv.url}, {"PAWLANE_SUPABASE_KEY", ""}}, nullptr, SocialConfig{fromEnv.url, ""}},
        {"plist alone", {}, VALID_PLIST, fromPlist},
        {"plist URL is a number", {}, numberUrl.c_str(), std::nullopt},
        {"plist key missing", {}, missingKey.c_str(), std::nullopt},
        {"plist not a dictionary", {}, notDict.c_str(), std::nullopt},
        {"plist URL does not parse", {}, badUrl.c_str(), std::nullopt},
        {"plist unreadable", {}, "\x01\x02 garbage", std::nullopt},
        {"nothing at all", {}, nullptr, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir resources;
        if (c.plist) std::ofstream(resources.path() / "Secrets.plist") << c.plist;
        auto env = [&c](const char* name) -> std::optional<std::string> {
            auto it = c.env.find(name);
            if (it == c.env.end()) return std::nullopt;
            return it->second;
        };
        EXPECT_EQ(SocialConfig::load(env, {resources.path()}), c.expected);
    }
}

TEST(SocialConfig, FirstResourceFolderWithSecretsDecides) {
    TempDir empty, broken, good;
    std::ofstream(broken.path() / "Secrets.plist") << plistWith("<dict></dict>");
    std::ofstream(good.path() / "Secrets.plist") << VALID_PLIST;
    auto noEnv = [](const char*) -> std::optional<std::string> { return std::nullopt; };
    EXPECT_EQ(SocialConfig::load(noEnv, {empty.path(), good.path()}),
              (SocialConfig{"https://plist.example.org", "plist-key"}));
    EXPECT_EQ(SocialConfig::load(noEnv, {broken.path(), good.path()}), std::nullopt);
}

TEST(SocialError, NotConfiguredText) {
    EXPECT_EQ(SocialError::notConfigured().description, "Social features aren't set up in this build.");
    EXPECT_EQ(SocialError::notConfigured().kind, SocialError::Kind::notConfigured);
}

TEST(FileAuthStorage, KeyMapsToFlatOwnerOnlyFileInCreatedFolder) {
    TempDir tmp;
    FileAuthStorage storage(tmp.path() / "deep" / "Pawlane");
    const std::string bytes("se\0ss\nion", 9);
    ASSERT_TRUE(storage.store("a/b/c", bytes));

    const auto file = tmp.path() / "deep" / "Pawlane" / "a_b_c";
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(storage.retrieve("a/b/c"), bytes);
    EXPECT_EQ(storage.retrieve("a_b/c"), bytes);
    // The atomic write leaves no temporary file behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1);
}

TEST(FileAuthStorage, ReplaceMissingAndRemove) {
    TempDir tmp;
    FileAuthStorage storage(tmp.path());
    EXPECT_EQ(storage.retrieve("never"), std::nullopt);
    storage.remove("never");  // silent

    ASSERT_TRUE(storage.store("k", "a much longer first value"));
    ASSERT_TRUE(storage.store("k", "short"));
    EXPECT_EQ(storage.retrieve("k"), "short");
    ASSERT_TRUE(storage.store("empty", ""));
    EXPECT_EQ(storage.retrieve("empty"), "");
    storage.remove("k");
    EXPECT_EQ(storage.retrieve("k"), std::nullopt);
}

TEST(FileAuthStorage, TightensPermissionsOfAnExistingFile) {
    TempDir tmp;
    FileAuthStorage storage(tmp.path());
    std::ofstream(tmp.path() / "k") << "old";
    ::chmod((tmp.path() / "k").c_str(), 0644);
    ASSERT_TRUE(storage.store("k", "new"));
    struct stat st {};
    ASSERT_EQ(::stat((tmp.path() / "k").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(FileAuthStorage, StoreReportsAFolderThatCannotBeCreated) {
    TempDir tmp;
    std::ofstream(tmp.path() / "blocker") << "a file where the folder should be";
    FileAuthStorage storage(tmp.path() / "blocker" / "Pawlane");
    auto stored = storage.store("k", "v");
    ASSERT_FALSE(stored);
    EXPECT_EQ(stored.error().kind, SocialError::Kind::storage);
    EXPECT_EQ(storage.retrieve("k"), std::nullopt);
}

TEST(FileAuthStorage, DefaultFolderFollowsXdgDataHome) {
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";

    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_DATA_HOME", "/data/xdg", 1);
    EXPECT_EQ(FileAuthStorage::defaultDir(), "/data/xdg/Pawlane");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(FileAuthStorage::defaultDir(), "/home/someone/.local/share/Pawlane");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(FileAuthStorage::defaultDir(), "/home/someone/.local/share/Pawlane");

    savedXdg ? ::setenv("XDG_DATA_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}
