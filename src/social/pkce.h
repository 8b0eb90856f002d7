#pragma once
// Proof key for the code exchange: a random verifier kept in the session
// storage and the challenge sent to the server in its place.
#include <optional>
#include <string>
#include <string_view>

namespace pawlane {

// 64 characters of [A-Za-z0-9_-] from the OS generator; nothing if it fails.
std::optional<std::string> newCodeVerifier();
// base64url without padding of SHA-256(verifier).
std::string codeChallenge(std::string_view verifier);

}  // namespace pawlane
