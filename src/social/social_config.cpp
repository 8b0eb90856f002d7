#include "social/social_config.h"

#include <curl/curl.h>
#include <plist/plist.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace pawlane {

namespace {

struct PlistFree {
    void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

std::optional<std::string> stringValue(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
    char* raw = nullptr;
    plist_get_string_val(node, &raw);
    if (!raw) return std::nullopt;
    std::string value(raw);
    std::free(raw);
    return value;
}

std::optional<SocialConfig> fromPlistFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty() || bytes.size() > 1024 * 1024) return std::nullopt;
    plist_t raw = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &raw);
    PlistPtr root(raw);
    if (!raw || plist_get_node_type(raw) != PLIST_DICT) return std::nullopt;
    auto url = stringValue(raw, "SUPABASE_URL");
    auto key = stringValue(raw, "SUPABASE_ANON_KEY");
    if (!url || !key || !isUsableBaseUrl(*url)) return std::nullopt;
    return SocialConfig{*url, *key};
}

}  // namespace

bool isUsableBaseUrl(std::string_view text) {
    if (text.empty()) return false;
    CURLU* u = curl_url();
    if (!u) return false;
    const std::string copy(text);
    bool ok = curl_url_set(u, CURLUPART_URL, copy.c_str(), 0) == CURLUE_OK;
    if (ok) {
        char* scheme = nullptr;
        ok = curl_url_get(u, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK;
        if (ok) ok = std::string_view(scheme) == "http" || std::string_view(scheme) == "https";
        curl_free(scheme);
    }
    curl_url_cleanup(u);
    return ok;
}

std::optional<SocialConfig> SocialConfig::load(const EnvLookup& env,
                                               const std::vector<std::filesystem::path>& resourceDirs) {
    auto url = env("PAWLANE_SUPABASE_URL");
    auto key = env("PAWLANE_SUPABASE_KEY");
    if (url && key && isUsableBaseUrl(*url)) return SocialConfig{*url, *key};

    for (const auto& dir : resourceDirs) {
        std::error_code ec;
        const auto file = dir / "Secrets.plist";
        if (std::filesystem::is_regular_file(file, ec)) return fromPlistFile(file);
    }
    return std::nullopt;
}

std::optional<SocialConfig> SocialConfig::load() {
    return load(
        [](const char* name) -> std::optional<std::string> {
            const char* v = std::getenv(name);
            if (!v) return std::nullopt;
            return std::string(v);
        },
        resourceFolders());
}

std::vector<std::filesystem::path> resourceFolders() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const auto bin = exe.parent_path();
    return {bin.parent_path() / "share" / "pawlane", bin};
}

}  // namespace pawlane
