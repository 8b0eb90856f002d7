// The preferences file: round trips, the readable form, hand-written files, damaged
// files and failing writes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <nlohmann/json.hpp>

#include <regex>

#include "settings/json_file_store.h"
#include "settings/settings.h"
#include "temp_dir.h"

namespace pawlane {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(JsonFileStore, EveryKindReadsBackExactlyFromTheFile) {
    TempDir dir;
    const auto file = dir / "preferences.json";
    const std::map<std::string, PrefValue, std::less<>> values = {
        {"int", std::int64_t{-42}},
        {"big", std::int64_t{9007199254740993}},
        {"yes", true},
        {"real", 0.1},
        {"whole real", 10.0},
        {"text", std::string("Grüße \"quoted\"\n")},
        {"texts", std::vector<std::string>{"b", "a", "b"}},
        {"no texts", std::vector<std::string>{}},
        {"counts", PrefDictionary{{"shiba", 2}, {"custom:X", 0}}},
        {"counts like a tag", PrefDictionary{{"$json", 3}}},
        {"json data", PrefData{R"([{"id":"A","n":1.5,"k":null}])"}},
        {"spaced json data", PrefData{"{ \"a\": 1 }"}},
        {"reformatted json data", PrefData{R"({"b":1,"a":1e2})"}},
        {"binary data", PrefData{std::string("\0\xff\x01zz", 5)}},
        {"empty data", PrefData{""}},
        {"number data", PrefData{"5"}},
    };
    {
        JsonFileStore store(file);
        for (const auto& [key, value] : values) store.setValue(key, value);
        EXPECT_TRUE(store.lastWriteSucceeded());
    }
    JsonFileStore reread(file);
    for (const auto& [key, value] : values) {
        SCOPED_TRACE(key);
        EXPECT_EQ(reread.value(key), value);
    }
}

TEST(JsonFileStore, FileIsReadableJsonWithEmbeddedPetLists) {
    TempDir dir;
    const auto file = dir / "preferences.json";
    {
        JsonFileStore store(file);
        Settings s(store);
        CustomPetDef def;
        def.id = "A";
        def.name = "Biscuit";
        s.saveCustomPet(def);
        store.setData("blob", std::string("\x01\x02", 2));
    }
    const auto text = readFile(file);
    EXPECT_NE(text.find('\n'), std::string::npos);  // indented for people
    const auto doc = nlohmann::json::parse(text);
    EXPECT_EQ(doc["customPets"]["$json"][0]["name"], "Biscuit");
    EXPECT_EQ(doc["petCounts"]["custom:A"], 1);
    EXPECT_EQ(doc["blob"]["$base64"], "AQI=");

    // A person renames the pet in the file; the app reads the edit.
    auto edited = doc;
    edited["customPets"]["$json"][0]["name"] = "Cookie";
    writeFile(file, edited.dump(4));
    JsonFileStore reread(file);
    Settings s(reread);
    ASSERT_EQ(s.customPets().size(), 1u);
    EXPECT_EQ(s.customPets()[0].name, "Cookie");
}

TEST(JsonFileStore, HandWrittenFileIsReadAsItStands) {
    TempDir dir;
    const auto file = dir / "preferences.json";
    const std::string text = R"({
  "species": "cat",
  "petCounts": {"shiba": 5, "corgi": 4, "custom:A": 3},
  "sizeIdx": 2,
  "followMouse": true,
  "greetAwaySeconds": 10,
  "deletedPetIds": ["A", "A"],
  "someOtherTool": {"nested": [1, 2]}
})";
    writeFile(file, text);
    JsonFileStore store(file);
    Settings s(store);
    EXPECT_EQ(s.totalPets(), 12);
    EXPECT_EQ(s.petCounts(), (std::map<std::string, int>{{"shiba", 5}, {"corgi", 4}, {"custom:A", 3}}));
    EXPECT_EQ(s.scale(), 4);
    EXPECT_TRUE(store.boolean(keys::followMouse));
    EXPECT_EQ(store.real(keys::greetAwaySeconds), 10.0);
    EXPECT_EQ(store.stringArray(keys::deletedPetIds), (std::vector<std::string>{"A", "A"}));
    EXPECT_EQ(readFile(file), text);  // reading writes nothing

    // An over-full pack only lets counts go down.
    s.setCount(4, "corgi");
    EXPECT_EQ(s.petCounts().at("corgi"), 2);
    // Keys of no kind survive a rewrite.
    EXPECT_EQ(nlohmann::json::parse(readFile(file))["someOtherTool"], nlohmann::json::parse(R"({"nested":[1,2]})"));
}

TEST(JsonFileStore, DamagedFileIsMovedAsideAndTheStoreStartsEmpty) {
    const std::vector<std::string> damaged = {"{\"sizeIdx\": 2,", "[1, 2]", "", "\"text\""};
    for (const auto& text : damaged) {
        SCOPED_TRACE(text);
        TempDir dir;
        const auto file = dir / "preferences.json";
        writeFile(file, text);
        JsonFileStore store(file);
        const auto aside = store.movedAsideTo();
        EXPECT_TRUE(std::regex_match(aside.filename().string(), std::regex(R"(preferences\.json\.corrupt-\d+)")));
        EXPECT_EQ(readFile(aside), text);
        EXPECT_FALSE(store.has(keys::sizeIdx));

        Settings s(store);  // migration writes a fresh file beside the kept one
        EXPECT_EQ(nlohmann::json::parse(readFile(file))["petCounts"]["shiba"], 1);
        EXPECT_EQ(readFile(aside), text);
    }
}

TEST(JsonFileStore, SecondDamagedFileInTheSameSecondDoesNotReplaceTheFirst) {
    TempDir dir;
    const auto file = dir / "preferences.json";
    writeFile(file, "first{");
    JsonFileStore a(file);
    writeFile(file, "second{");
    JsonFileStore b(file);
    ASSERT_NE(a.movedAsideTo(), b.movedAsideTo());
    EXPECT_EQ(readFile(a.movedAsideTo()), "first{");
    EXPECT_EQ(readFile(b.movedAsideTo()), "second{");
}

TEST(JsonFileStore, MissingFolderIsCreatedOnTheFirstWrite) {
    TempDir dir;
    const auto file = dir / "config" / "pawlane" / "preferences.json";
    JsonFileStore store(file);
    EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
    store.setInteger(keys::sizeIdx, 0);
    EXPECT_TRUE(store.lastWriteSucceeded());
    EXPECT_EQ(nlohmann::json::parse(readFile(file))["sizeIdx"], 0);
}

TEST(JsonFileStore, UnwritableFolderKeepsTheValueInMemory) {
    TempDir dir;
    writeFile(dir / "not-a-folder", "x");
    JsonFileStore store(dir / "not-a-folder" / "preferences.json");
    store.setInteger(keys::modeIdx, 2);
    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_EQ(store.integer(keys::modeIdx), 2);
}

TEST(JsonFileStore, FailedWriteLeavesTheFileAsItWas) {
    TempDir dir;
    const auto file = dir / "preferences.json";
    JsonFileStore store(file);
    store.setInteger(keys::sizeIdx, 2);
    const auto before = readFile(file);

    // A file size limit stands in for a full disk.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    store.setData(keys::customPets, std::string(20000, 'x'));
    const bool failed = !store.lastWriteSucceeded();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(failed);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::filesystem::path>{file});  // no temporary left
    EXPECT_EQ(store.data(keys::customPets).size(), 20000u);

    store.setInteger(keys::speedIdx, 0);  // the next write carries everything
    EXPECT_TRUE(store.lastWriteSucceeded());
    JsonFileStore reread(file);
    EXPECT_EQ(reread.data(keys::customPets).size(), 20000u);
}

TEST(JsonFileStore, RemoveWritesThroughAndUnknownKeysAreNoOps) {
    TempDir dir;
    const auto file = dir / "preferences.json";
    JsonFileStore store(file);
    store.setBoolean(keys::petsHidden, true);
    store.remove(keys::petsHidden);
    store.remove("never-set");
    EXPECT_FALSE(JsonFileStore(file).has(keys::petsHidden));
}

TEST(JsonFileStore, DefaultPathFollowsXdgConfigHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", "/home/ann", 1);
    struct Case {
        const char* xdg;  // nullptr: unset
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"/xdg", "/xdg/pawlane/preferences.json"},
        {nullptr, "/home/ann/.config/pawlane/preferences.json"},
        {"", "/home/ann/.config/pawlane/preferences.json"},
        {"relative/dir", "/home/ann/.config/pawlane/preferences.json"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xdg ? c.xdg : "(unset)");
        if (c.xdg) setenv("XDG_CONFIG_HOME", c.xdg, 1);
        else unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(defaultPreferencesPath(), std::filesystem::path(c.expected));
    }
    if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
    else unsetenv("HOME");
}

}  // namespace
}  // namespace pawlane
