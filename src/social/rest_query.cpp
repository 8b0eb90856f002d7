#include "social/rest_query.h"

#include "social/url_text.h"

namespace pawlane {

std::string RestQuery::queryString(bool withSelect) const {
    std::string out;
    auto add = [&out](const std::string& name, const std::string& value) {
        if (!out.empty()) out += '&';
        out += name;
        out += '=';
        out += value;
    };
    if (withSelect) add("select", "*");
    for (const auto& [name, value] : filters) add(name, percentEncode(value));
    if (orderColumn) add("order", *orderColumn + ".asc.nullslast");
    if (limit) add("limit", std::to_string(*limit));
    return out;
}

}  // namespace pawlane
