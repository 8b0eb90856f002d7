#include "gateway.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <chrono>
#include <stdexcept>

namespace pawlane::gateway {

long unixNow() {
  using namespace std::chrono;
  return static_cast<long>(duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

std::string base64Url(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                          reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(n));
  while (!out.empty() && out.back() == '=') out.pop_back();
  for (char& c : out) {
    if (c == '+') c = '-';
    else if (c == '/') c = '_';
  }
  return out;
}

std::optional<std::string> base64UrlDecode(std::string_view text) {
  std::string b64(text);
  for (char& c : b64) {
    if (c == '-') c = '+';
    else if (c == '_') c = '/';
    else if (c == '+' || c == '/' || c == '=') return std::nullopt;
  }
  size_t pad = (4 - b64.size() % 4) % 4;
  if (pad == 3) return std::nullopt;
  b64.append(pad, '=');
  std::string out(b64.size() / 4 * 3 + 1, '\0');
  int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                          reinterpret_cast<const unsigned char*>(b64.data()),
                          static_cast<int>(b64.size()));
  if (n < 0) return std::nullopt;
  out.resize(static_cast<size_t>(n) - pad);
  return out;
}

std::string sha256Base64Url(std::string_view text) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
  return base64Url({reinterpret_cast<const char*>(digest), sizeof digest});
}

static std::string randomBytes(size_t count) {
  std::string bytes(count, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1)
    throw std::runtime_error("no secure random bytes");
  return bytes;
}

std::string randomToken(size_t bytes) { return base64Url(randomBytes(bytes)); }

std::string randomDigits(int count) {
  std::string out;
  while (static_cast<int>(out.size()) < count) {
    for (unsigned char b : randomBytes(static_cast<size_t>(count))) {
      // Bytes from 250 up would favour the low digits.
      if (b < 250 && static_cast<int>(out.size()) < count) out.push_back(static_cast<char>('0' + b % 10));
    }
  }
  return out;
}

static std::string hmacSha256(const std::string& key, std::string_view data) {
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
       reinterpret_cast<const unsigned char*>(data.data()), data.size(), mac, &len);
  return {reinterpret_cast<const char*>(mac), len};
}

std::string signJwt(const Json& claims, const std::string& secret) {
  std::string input = base64Url(R"({"alg":"HS256","typ":"JWT"})") + "." + base64Url(claims.dump());
  return input + "." + base64Url(hmacSha256(secret, input));
}

JwtStatus verifyJwt(std::string_view token, const std::string& secret, Json& claims) {
  size_t first = token.find('.');
  size_t second = first == std::string_view::npos ? first : token.find('.', first + 1);
  if (second == std::string_view::npos) return JwtStatus::Invalid;
  auto header = base64UrlDecode(token.substr(0, first));
  auto payload = base64UrlDecode(token.substr(first + 1, second - first - 1));
  auto signature = base64UrlDecode(token.substr(second + 1));
  if (!header || !payload || !signature) return JwtStatus::Invalid;
  Json head = Json::parse(*header, nullptr, false);
  if (!head.is_object() || head.value("alg", "") != "HS256") return JwtStatus::Invalid;
  std::string expected = hmacSha256(secret, token.substr(0, second));
  if (signature->size() != expected.size() ||
      CRYPTO_memcmp(signature->data(), expected.data(), expected.size()) != 0)
    return JwtStatus::Invalid;
  claims = Json::parse(*payload, nullptr, false);
  if (!claims.is_object()) return JwtStatus::Invalid;
  if (claims.contains("exp")) {
    if (!claims["exp"].is_number()) return JwtStatus::Invalid;
    if (claims["exp"].get<double>() <= static_cast<double>(unixNow())) return JwtStatus::Expired;
  }
  return JwtStatus::Valid;
}

}  // namespace pawlane::gateway
