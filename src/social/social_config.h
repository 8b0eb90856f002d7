#pragma once
// Which backend project this build talks to, if any: the environment pair
// PAWLANE_SUPABASE_URL / PAWLANE_SUPABASE_KEY, else Secrets.plist among the
// application's resources.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pawlane {

struct SocialConfig {
    std::string url;      // the project's base URL
    std::string anonKey;  // the public key, used exactly as read

    // Nothing means the build is not configured. Never reports why.
    static std::optional<SocialConfig> load();

    using EnvLookup = std::function<std::optional<std::string>(const char* name)>;
    // load() with the environment and the resource folders given (tried in order;
    // the first folder holding Secrets.plist decides).
    static std::optional<SocialConfig> load(const EnvLookup& env,
                                            const std::vector<std::filesystem::path>& resourceDirs);

    friend bool operator==(const SocialConfig&, const SocialConfig&) = default;
};

// <prefix>/share/pawlane next to an installed executable, then the executable's own folder.
std::vector<std::filesystem::path> resourceFolders();

// An absolute http(s) URL that libcurl can parse; anything else cannot reach a backend.
bool isUsableBaseUrl(std::string_view text);

}  // namespace pawlane
