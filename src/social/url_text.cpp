#include "social/url_text.h"

#include <curl/curl.h>

namespace pawlane {

namespace {

std::string unescape(std::string_view text) {
    // A "+" in a query means a space to the form encoders that build these links.
    std::string plus(text);
    for (auto& c : plus)
        if (c == '+') c = ' ';
    int length = 0;
    char* raw = curl_easy_unescape(nullptr, plus.data(), static_cast<int>(plus.size()), &length);
    if (!raw) return plus;
    std::string out(raw, static_cast<std::size_t>(length));
    curl_free(raw);
    return out;
}

void addParams(std::string_view text, std::map<std::string, std::string>& into) {
    while (!text.empty()) {
        const auto amp = text.find('&');
        const auto pair = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view{} : text.substr(amp + 1);
        if (pair.empty()) continue;
        const auto eq = pair.find('=');
        const auto key = unescape(pair.substr(0, eq));
        const auto value = eq == std::string_view::npos ? std::string{} : unescape(pair.substr(eq + 1));
        into.emplace(key, value);  // the first occurrence stays
    }
}

std::string part(CURLU* u, CURLUPart which) {
    char* raw = nullptr;
    if (curl_url_get(u, which, &raw, 0) != CURLUE_OK || !raw) return {};
    std::string out(raw);
    curl_free(raw);
    return out;
}

}  // namespace

std::string percentEncode(std::string_view text) {
    char* raw = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
    if (!raw) return {};
    std::string out(raw);
    curl_free(raw);
    return out;
}

std::optional<ParsedUrl> parseUrl(std::string_view url) {
    CURLU* u = curl_url();
    if (!u) return std::nullopt;
    const std::string copy(url);
    if (curl_url_set(u, CURLUPART_URL, copy.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        curl_url_cleanup(u);
        return std::nullopt;
    }
    ParsedUrl out;
    out.scheme = part(u, CURLUPART_SCHEME);
    out.host = part(u, CURLUPART_HOST);
    addParams(part(u, CURLUPART_QUERY), out.params);
    addParams(part(u, CURLUPART_FRAGMENT), out.params);
    curl_url_cleanup(u);
    return out;
}

std::string trimTrailingSlashes(std::string_view url) {
    while (!url.empty() && url.back() == '/') url.remove_suffix(1);
    return std::string(url);
}

}  // namespace pawlane
