// The stored JSON form of the cached friend data.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "settings/friend_entries.h"

namespace pawlane {
namespace {

constexpr const char* kUpper = "0F4B2A3C-1D2E-4F50-8A9B-0C1D2E3F4A5B";
constexpr const char* kLower = "0f4b2a3c-1d2e-4f50-8a9b-0c1d2e3f4a5b";

TEST(FriendEntries, ReadTheStoredKeysAndCanonicaliseUuids) {
    const std::string text = std::string(R"([{"petName":"Rex","ownerName":"Ann","ownerId":")") + kLower +
                             R"(","def":{"id":"P1","name":"Rex","spots":true}}])";
    const auto pets = decodeFriendPetList(text);
    ASSERT_TRUE(pets);
    ASSERT_EQ(pets->size(), 1u);
    EXPECT_EQ((*pets)[0].petName, "Rex");
    EXPECT_EQ((*pets)[0].ownerName, "Ann");
    EXPECT_EQ((*pets)[0].ownerId, kUpper);
    EXPECT_EQ((*pets)[0].def.id, "P1");
    EXPECT_TRUE((*pets)[0].def.spots);

    const auto friends = decodeFriendList(std::string(R"([{"id":")") + kLower + R"(","name":"Ann"}])");
    ASSERT_TRUE(friends);
    EXPECT_EQ(*friends, (std::vector<FriendEntry>{{kUpper, "Ann"}}));
}

TEST(FriendEntries, EncodeCompactObjectsThatDecodeBackEqual) {
    const std::vector<FriendPetEntry> pets = {{"Rex", "Ann", kLower, CustomPetDef{}}};
    const auto text = encodeJson(pets);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->find('\n'), std::string::npos);
    const auto j = nlohmann::json::parse(*text);
    EXPECT_EQ(j[0]["ownerId"], kUpper);
    EXPECT_TRUE(j[0]["def"].is_object());
    const auto back = decodeFriendPetList(*text);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[0].ownerId, kUpper);
    EXPECT_EQ((*back)[0].def, pets[0].def);
}

TEST(FriendEntries, OneBadElementMakesTheWholeListUndecodable) {
    const std::string ok = std::string(R"({"id":")") + kUpper + R"(","name":"Ann"})";
    const std::vector<std::string> friendLists = {
        "[" + ok + R"(,{"name":"Bo"}])",
        "[" + ok + R"(,{"id":null,"name":"Bo"}])",
        "[" + ok + R"(,{"id":"123","name":"Bo"}])",
        "[" + ok + R"(,{"id":")" + std::string(kUpper) + R"(","name":7}])",
        "[" + ok + ",5]",
        ok,
    };
    for (const auto& text : friendLists) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(decodeFriendList(text));
    }
    const std::string owner = std::string(R"("ownerId":")") + kUpper + R"(")";
    const std::vector<std::string> petLists = {
        R"([{"petName":"Rex","ownerName":"Ann",)" + owner + "}]",                   // no def
        R"([{"petName":"Rex","ownerName":"Ann",)" + owner + R"(,"def":"x"}])",      // def not an object
        R"([{"petName":"Rex",)" + owner + R"(,"def":{}}])",                         // no ownerName
        R"([{"petName":"Rex","ownerName":"Ann","ownerId":"nope","def":{}}])",
    };
    for (const auto& text : petLists) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(decodeFriendPetList(text));
    }
    EXPECT_TRUE(decodeFriendPetList(R"([{"petName":"Rex","ownerName":"Ann",)" + owner + R"(,"def":{}}])"));
}

}  // namespace
}  // namespace pawlane
