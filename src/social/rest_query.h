#pragma once
// Filters, ordering, limit and single-object mode of one PostgREST request.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pawlane {

struct RestQuery {
    std::vector<std::pair<std::string, std::string>> filters;  // parameter name -> value, unencoded
    std::optional<std::string> orderColumn;                      // ascending, nulls last
    std::optional<int> limit;
    bool single = false;  // exactly one row or an error

    RestQuery& eq(const std::string& column, const std::string& value) {
        filters.emplace_back(column, "eq." + value);
        return *this;
    }
    RestQuery& neq(const std::string& column, const std::string& value) {
        filters.emplace_back(column, "neq." + value);
        return *this;
    }
    // `groups` is the text inside or=( ... ), e.g. "and(a.eq.1,b.eq.2),and(a.eq.2,b.eq.1)".
    RestQuery& anyOf(const std::string& groups) {
        filters.emplace_back("or", "(" + groups + ")");
        return *this;
    }
    RestQuery& orderBy(const std::string& column) {
        orderColumn = column;
        return *this;
    }
    RestQuery& limitTo(int rows) {
        limit = rows;
        return *this;
    }
    RestQuery& singleObject() {
        single = true;
        return *this;
    }

    // "select=*&id=eq.X&order=id.asc.nullslast&limit=60" (without select for writes);
    // every filter value percent-encoded.
    std::string queryString(bool withSelect) const;
};

}  // namespace pawlane
