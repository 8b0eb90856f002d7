#include "custom/text_cleaning.h"

namespace pawlane {

namespace {

// Length of the UTF-8 sequence at s[i] and its code point; malformed bytes count
// as one opaque unit that is never white space.
std::size_t nextCodePoint(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
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

}  // namespace

bool isUnicodeSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string trimmed(std::string_view s) {
    std::size_t begin = s.size(), end = 0;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t len = nextCodePoint(s, i, cp);
        if (!isUnicodeSpace(cp)) {
            if (begin == s.size()) begin = i;
            end = i + len;
        }
        i += len;
    }
    return begin < end ? std::string(s.substr(begin, end - begin)) : std::string();
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

std::string firstCharacters(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t count = 0; i < s.size() && count < n; ++count) {
        char32_t cp;
        i += nextCodePoint(s, i, cp);
    }
    return std::string(s.substr(0, i));
}

std::string cleanPetName(std::string_view typed) {
    std::string name = trimmed(firstCharacters(typed, 24));
    return name.empty() ? "My Pet" : name;
}

}  // namespace pawlane
