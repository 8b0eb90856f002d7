// The store's reading rules, on the in-memory store (the file store shares them).
#include <gtest/gtest.h>

#include <cmath>

#include "platform/headless/memory_preferences_store.h"

namespace pawlane {
namespace {

TEST(PreferencesStore, AbsentKeysReadAsTheEmptyValueOfTheirKind) {
    MemoryPreferencesStore s;
    EXPECT_EQ(s.integer("k"), 0);
    EXPECT_FALSE(s.boolean("k"));
    EXPECT_EQ(s.real("k"), 0.0);
    EXPECT_EQ(s.string("k"), "");
    EXPECT_TRUE(s.stringArray("k").empty());
    EXPECT_TRUE(s.dictionary("k").empty());
    EXPECT_EQ(s.data("k"), "");
    EXPECT_FALSE(s.findInteger("k"));
    EXPECT_FALSE(s.findData("k"));
    EXPECT_EQ(s.kind("k"), PrefKind::Absent);
    EXPECT_FALSE(s.has("k"));
}

TEST(PreferencesStore, StoredValueWinsOverRegisteredWhichIsNeverStored) {
    MemoryPreferencesStore s;
    s.registerDefaults({{"size", std::int64_t{1}}, {"flag", true}});
    EXPECT_EQ(s.integer("size"), 1);
    EXPECT_TRUE(s.boolean("flag"));
    EXPECT_FALSE(s.has("size"));
    EXPECT_TRUE(s.snapshot().empty());

    s.setInteger("size", 0);  // a stored 0 is a value, not an absence
    EXPECT_EQ(s.integer("size"), 0);
    EXPECT_TRUE(s.has("size"));

    s.remove("size");
    EXPECT_EQ(s.integer("size"), 1);
}

TEST(PreferencesStore, ValueOfAnotherKindReadsAsRegisteredDefaultOrEmpty) {
    MemoryPreferencesStore s;
    s.registerDefaults({{"size", std::int64_t{1}}});
    s.setString("size", "large");
    s.setString("plain", "text");
    s.setData("blob", "[1]");
    EXPECT_EQ(s.integer("size"), 1);
    EXPECT_EQ(s.integer("plain"), 0);
    EXPECT_FALSE(s.findStringArray("plain"));
    EXPECT_FALSE(s.findString("blob"));  // data is not text
    EXPECT_FALSE(s.findData("plain"));   // nor text data
    EXPECT_EQ(s.kind("size"), PrefKind::String);
}

TEST(PreferencesStore, NumbersReadAcrossTheNumericKinds) {
    MemoryPreferencesStore s;
    s.setInteger("i", 10);
    s.setReal("d", 2.7);
    s.setBoolean("b", true);
    s.setReal("nan", std::nan(""));
    EXPECT_EQ(s.real("i"), 10.0);
    EXPECT_TRUE(s.boolean("i"));
    EXPECT_EQ(s.integer("d"), 2);
    EXPECT_EQ(s.integer("b"), 1);
    EXPECT_EQ(s.real("b"), 1.0);
    EXPECT_FALSE(s.findInteger("nan"));
}

TEST(PreferencesStore, HoldsObjectForAnyDictionaryOnly) {
    MemoryPreferencesStore s;
    s.setDictionary("counts", {{"cat", 2}});
    s.setValue("mixed", PrefOther{R"({"cat":"two"})"});
    s.setValue("list", PrefOther{R"([1,{"a":1}])"});
    s.setString("text", "{");
    EXPECT_TRUE(s.holdsObject("counts"));
    EXPECT_TRUE(s.holdsObject("mixed"));
    EXPECT_FALSE(s.findDictionary("mixed"));
    EXPECT_FALSE(s.holdsObject("list"));
    EXPECT_FALSE(s.holdsObject("text"));
    EXPECT_FALSE(s.holdsObject("absent"));
}

}  // namespace
}  // namespace pawlane
