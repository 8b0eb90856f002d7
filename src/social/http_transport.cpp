#include "social/http_transport.h"

#include <cctype>

namespace pawlane {

std::string headerValue(const HttpHeaders& headers, std::string_view name) {
    for (const auto& [k, v] : headers) {
        if (k.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < k.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(k[i])) == std::tolower(static_cast<unsigned char>(name[i]));
        if (same) return v;
    }
    return {};
}

}  // namespace pawlane
