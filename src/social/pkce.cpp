#include "social/pkce.h"

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace pawlane {

namespace {

std::string base64Url(const unsigned char* bytes, int length) {
    std::string out(static_cast<std::size_t>(4 * ((length + 2) / 3)) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes, length);
    out.resize(static_cast<std::size_t>(n));
    while (!out.empty() && out.back() == '=') out.pop_back();
    for (auto& c : out) {
        if (c == '+') c = '-';
        else if (c == '/') c = '_';
    }
    return out;
}

}  // namespace

std::optional<std::string> newCodeVerifier() {
    unsigned char bytes[48];
    if (RAND_bytes(bytes, sizeof bytes) != 1) return std::nullopt;
    return base64Url(bytes, sizeof bytes);
}

std::string codeChallenge(std::string_view verifier) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest);
    return base64Url(digest, SHA256_DIGEST_LENGTH);
}

}  // namespace pawlane
