// Replays the fuzz corpus (and generated monsters) through the fuzz entry in
// every ordinary build, so regressions show without clang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "custom/pet_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void feed(const std::string& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string codeOf(const std::string& json) { return "PAWLANE-" + pawlane::base64Encode(json); }

}  // namespace

TEST(PetCodeFuzzCorpus, EveryStoredInputIsSurvived) {
    const std::filesystem::path dir = std::filesystem::path(PAWLANE_SOURCE_DIR) / "tests/fuzz/corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        feed(std::string(std::istreambuf_iterator<char>(in), {}));
        ++files;
    }
    EXPECT_GT(files, 0) << "corpus folder is empty: " << dir;
}

TEST(PetCodeFuzzCorpus, GeneratedMonstersAreRejectedOrDecoded) {
    // Deep nesting must not exhaust the stack, neither parsing nor freeing.
    const std::string deepArray = std::string(200000, '[') + std::string(200000, ']');
    const std::string deepObject = [] {
        std::string s;
        for (int i = 0; i < 100000; ++i) s += "{\"a\":";
        s += "1";
        s += std::string(100000, '}');
        return s;
    }();
    const std::string nestedInPet = "{\"name\":" + deepArray + "}";
    const std::string invalidUtf8 = "{\"name\":\"\xff\xfe\xc3\x28\"}";
    const std::string nulBytes = std::string("{\"name\":\"a\0b\"}", 15);
    const std::string hugeName = "{\"name\":\"" + std::string(4 << 20, 'A') + "\"}";
    for (const auto& json : {deepArray, deepObject, nestedInPet, invalidUtf8, nulBytes, hugeName}) feed(codeOf(json));

    EXPECT_FALSE(pawlane::petDef(codeOf(deepArray)));
    EXPECT_FALSE(pawlane::petDef(codeOf(invalidUtf8)));
    const auto big = pawlane::petDef(codeOf(hugeName));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->name.size(), std::size_t(4) << 20);
    feed(std::string(1 << 20, '\0'));
    feed("PAWLANE-" + std::string(1 << 20, 'A'));
}
