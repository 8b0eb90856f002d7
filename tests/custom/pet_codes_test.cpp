#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "custom/pet_codes.h"
#include "custom/pet_list.h"

using namespace pawlane;

namespace {

std::string codeOfJson(const std::string& json) { return std::string(PET_CODE_PREFIX) + base64Encode(json); }

CustomPetDef sample() {
    CustomPetDef d;
    d.name = "Luna";
    d.shape = "corgi";
    d.bodyHex = "#F2EFE9";
    d.accentHex = "#4A3728";
    d.eyePatch = d.socks = true;
    d.collar = false;
    d.collarHex = "#2277CC";
    return d;
}

}  // namespace

TEST(PetCode, RoundTripKeepsEverythingButTheId) {
    for (CustomPetDef d : {sample(), CustomPetDef()}) {
        const auto code = petCode(d);
        ASSERT_TRUE(code);
        EXPECT_TRUE(code->starts_with("PAWLANE-"));
        const auto back = petDef(*code);
        ASSERT_TRUE(back);
        EXPECT_NE(back->id, d.id);
        EXPECT_TRUE(isUuidText(back->id));
        CustomPetDef expected = d;
        expected.id = back->id;
        EXPECT_EQ(*back, expected);
        EXPECT_NE(petDef(*code)->id, back->id);  // every import is a new pet
    }
    CustomPetDef hostile;
    hostile.name = std::string(400, 'A') + " \"quoted\" / \\ \u00e9\U0001F43E";
    hostile.shape = "dragon";
    hostile.bodyHex = "not-a-color";
    const auto back = petDef(*petCode(hostile));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, hostile.name);
    EXPECT_EQ(back->shape, "dragon");
    EXPECT_EQ(back->bodyHex, "not-a-color");
}

TEST(PetCode, PastedTextIsPutBackTogether) {
    const std::string code = *petCode(sample());
    const std::string lower = "pawlane-" + code.substr(8);
    const std::string mixed = "PawLane-" + code.substr(8);
    const std::string cases[] = {
        "  " + code.substr(0, 20) + "\n" + code.substr(20) + "  ",
        "\t" + code + "\r\n",
        code.substr(0, 5) + "\u00a0" + code.substr(5, 30) + "\u2028" + code.substr(35),
        " " + lower + " ",
        mixed,
    };
    for (const auto& text : cases) {
        const auto def = petDef(text);
        ASSERT_TRUE(def) << text;
        EXPECT_EQ(def->name, "Luna");
    }
}

TEST(PetCode, RejectsWhatIsNotACode) {
    const std::string code = *petCode(sample());
    const std::string cases[] = {
        "",
        "hello world",
        "x" + code,
        "PAWLANE-",  // no body at all: empty bytes are not JSON
        "PAWLANE-!!!!",
        "PAWLANE-" + code.substr(8, code.size() - 9),  // cut short: not a multiple of four
        "PAWLANE-QQ=A",
        "PAWLANE-=QQQ",
        codeOfJson("[1,2,3]"),
        codeOfJson("\"just text\""),
        codeOfJson("{\"name\":"),
        std::string("PAWLANE-e30=\0", 13),
    };
    for (const auto& text : cases) EXPECT_FALSE(petDef(text)) << text;
}

TEST(PetCode, TolerantDecodingTakesDefaultsFieldByField) {
    const auto future = petDef(codeOfJson(R"({"name":"Rex","shape":"cat","spots":true,"futureField":42})"));
    ASSERT_TRUE(future);
    EXPECT_EQ(future->name, "Rex");
    EXPECT_EQ(future->shape, "cat");
    EXPECT_TRUE(future->spots);
    EXPECT_EQ(future->bodyHex, "#E09A4A");
    EXPECT_TRUE(future->collar);
    EXPECT_FALSE(future->id.empty());

    const auto wrongTypes =
        petDef(codeOfJson(R"({"name":7,"spots":"yes","collar":null,"bodyHex":["#000"],"eyePatch":1,"socks":true})"));
    ASSERT_TRUE(wrongTypes);
    EXPECT_EQ(wrongTypes->name, "Buddy");
    EXPECT_FALSE(wrongTypes->spots);
    EXPECT_TRUE(wrongTypes->collar);
    EXPECT_EQ(wrongTypes->bodyHex, "#E09A4A");
    EXPECT_FALSE(wrongTypes->eyePatch);
    EXPECT_TRUE(wrongTypes->socks);

    EXPECT_TRUE(petDef(codeOfJson("{}")));
}

TEST(CustomPetDefJson, WritesAllTwelveKeysAndListsFailAsAWhole) {
    const auto json = nlohmann::json::parse(*encodeJson(sample()));
    EXPECT_EQ(json.size(), 12u);
    EXPECT_EQ(json.at("collarHex"), "#2277CC");
    EXPECT_EQ(json.at("collar"), false);

    const auto list = decodeCustomPetList(R"([{"id":"A","name":"One"},{"id":"B"}])");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].id, "A");
    EXPECT_EQ((*list)[1].name, "Buddy");
    EXPECT_FALSE(decodeCustomPetList(R"([{"id":"A"}, 3])"));
    EXPECT_FALSE(decodeCustomPetList(R"({"id":"A"})"));
    EXPECT_FALSE(decodeCustomPetList("not json"));
}

TEST(PetListRows, SameNamesAreNumberedAndKeepTheirIds) {
    CustomPetDef a, b, c;
    a.name = b.name = "Rex";
    c.name = "rex";
    const auto rows = petListRows({a, c, b});
    const std::vector<PetListRow> expected = {
        {"New Pet\u2026", std::nullopt},
        {"\U0001F43E Rex", a.id},
        {"\U0001F43E rex", c.id},
        {"\U0001F43E Rex (2)", b.id},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(petListRows({}).size(), 1u);
}
