#pragma once
// URL pieces through libcurl: percent-encoding and reading callback URLs.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pawlane {

// Percent-encodes everything but the RFC 3986 unreserved characters.
std::string percentEncode(std::string_view text);

struct ParsedUrl {
    std::string scheme;
    std::string host;
    // Parameters of the query and of the fragment, decoded; the query wins on a clash.
    std::map<std::string, std::string> params;
};

// Any scheme is accepted (the callback uses "pawlane"); nothing for unparsable text.
std::optional<ParsedUrl> parseUrl(std::string_view url);

// The base URL without trailing slashes, so paths can be appended.
std::string trimTrailingSlashes(std::string_view url);

}  // namespace pawlane
