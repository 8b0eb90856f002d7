#include "custom/pet_codes.h"

#include "custom/text_cleaning.h"

#include <openssl/evp.h>

#include <nlohmann/json.hpp>

#include <limits>

namespace pawlane {

namespace {

bool isBase64Char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

}  // namespace

bool hasPetCodePrefix(std::string_view s) {
    if (s.size() < PET_CODE_PREFIX.size()) return false;
    for (std::size_t i = 0; i < PET_CODE_PREFIX.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != PET_CODE_PREFIX[i]) return false;
    }
    return true;
}

std::string base64Encode(std::string_view bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
    out.resize(std::size_t(std::max(n, 0)));
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    // OpenSSL's block decoder takes "=" anywhere, so the form is checked here first.
    if (text.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') padding = text[text.size() - 2] == '=' ? 2 : 1;
    for (std::size_t i = 0; i < text.size() - padding; ++i)
        if (!isBase64Char(text[i])) return std::nullopt;
    if (text.empty()) return std::string();
    if (text.size() > std::size_t(std::numeric_limits<int>::max())) return std::nullopt;
    std::string out(text.size() / 4 * 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
    if (n < 0) return std::nullopt;
    out.resize(std::size_t(n) - padding);
    return out;
}

std::optional<std::string> petCode(const CustomPetDef& def) {
    const auto json = encodeJson(def);
    if (!json) return std::nullopt;
    return std::string(PET_CODE_PREFIX) + base64Encode(*json);
}

std::optional<CustomPetDef> petDef(std::string_view code) {
    const std::string compact = withoutWhiteSpace(code);
    if (!hasPetCodePrefix(compact)) return std::nullopt;
    const auto bytes = base64Decode(std::string_view(compact).substr(PET_CODE_PREFIX.size()));
    if (!bytes) return std::nullopt;
    const auto json = nlohmann::json::parse(*bytes, nullptr, false);
    auto def = customPetDefFromJson(json);
    if (!def) return std::nullopt;
    def->id = newUuid();
    return def;
}

}  // namespace pawlane
