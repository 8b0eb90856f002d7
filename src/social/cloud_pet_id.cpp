#include "social/cloud_pet_id.h"

#include <locale.h>
#include <openssl/sha.h>
#include <wctype.h>

#include <cstdio>

#include "social/uuid_text.h"

namespace pawlane {

namespace {

// Upper-case forms longer than one character (the unconditional ones of the
// Unicode special-casing table that can occur in ids typed in Latin scripts).
struct Expansion {
    char32_t from;
    const char* to;
};
constexpr Expansion EXPANSIONS[] = {
    {0x00DF, "SS"}, {0x0149, "\u02BCN"}, {0x01F0, "J\u030C"}, {0x1E96, "H\u0331"}, {0x1E97, "T\u0308"},
    {0x1E98, "W\u030A"}, {0x1E99, "Y\u030A"}, {0x1E9A, "A\u02BE"}, {0xFB00, "FF"}, {0xFB01, "FI"},
    {0xFB02, "FL"}, {0xFB03, "FFI"}, {0xFB04, "FFL"}, {0xFB05, "ST"}, {0xFB06, "ST"},
};

locale_t utf8Locale() {
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return loc;
}

// Decodes one UTF-8 sequence at s[i]; 0 bytes consumed means not UTF-8.
std::size_t decode(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c >> 6) != 0x2) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t MIN[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < MIN[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

void encode(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string unicodeUpper(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const locale_t loc = utf8Locale();
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t n = decode(text, i, cp);
        if (n == 0) {
            out += text[i++];
            continue;
        }
        i += n;
        const Expansion* expansion = nullptr;
        for (const auto& e : EXPANSIONS)
            if (e.from == cp) expansion = &e;
        if (expansion) {
            out += expansion->to;
        } else if (cp < 0x80) {
            out += static_cast<char>(cp >= 'a' && cp <= 'z' ? cp - 'a' + 'A' : cp);
        } else {
            encode(loc ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), loc)) : cp, out);
        }
    }
    return out;
}

std::string cloudPetId(std::string_view localId, std::string_view owner) {
    const std::string name = upperUuid(owner) + ":" + unicodeUpper(localId);
    unsigned char b[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(name.data()), name.size(), b);
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x50);
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);
    char out[37];
    std::snprintf(out, sizeof out, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0], b[1],
                  b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return out;
}

}  // namespace pawlane
