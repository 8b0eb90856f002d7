#include "custom/pet_codes.h"

#include <openssl/evp.h>

#include <nlohmann/json.hpp>

#include <limits>

namespace pawlane {

namespace {

bool isUnicodeSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Length of the UTF-8 sequence at s[i] and its code point; malformed bytes count
// as one opaque unit that is never white space.
std::size_t nextCodePoint(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        cp = 0xFFFD;
        return 1;
    }
    cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            cp = 0xFFFD;
            return 1;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    return len;
}

std::string withoutWhiteSpace(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t len = nextCodePoint(s, i, cp);
        if (!isUnicodeSpace(cp)) out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

bool startsWithPrefixAnyCase(std::string_view s) {
    if (s.size() < PET_CODE_PREFIX.size()) return false;
    for (std::size_t i = 0; i < PET_CODE_PREFIX.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != PET_CODE_PREFIX[i]) return false;
    }
    return true;
}

bool isBase64Char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

}  // namespace

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
    if (!startsWithPrefixAnyCase(compact)) return std::nullopt;
    const auto bytes = base64Decode(std::string_view(compact).substr(PET_CODE_PREFIX.size()));
    if (!bytes) return std::nullopt;
    const auto json = nlohmann::json::parse(*bytes, nullptr, false);
    auto def = customPetDefFromJson(json);
    if (!def) return std::nullopt;
    def->id = newUuid();
    return def;
}

}  // namespace pawlane
