// The PostgREST query-string subset: select lists, filters (also nested or/and groups)
// and ordering, turned into SQL with every value bound as a parameter.
#include "gateway.h"

#include <cctype>
#include <set>

namespace pawlane::gateway {
namespace {

const std::set<std::string, std::less<>> RESERVED_PARAMS = {"select", "order", "limit", "offset", "apikey",
                                                            "on_conflict", "columns"};

struct Operator {
  const char* name;
  const char* sql;
};
const Operator COMPARISONS[] = {{"eq", "="},   {"neq", "<>"},   {"gt", ">"},      {"gte", ">="},
                                {"lt", "<"},   {"lte", "<="},   {"like", "like"}, {"ilike", "ilike"}};

std::string bind(SqlParams& params, std::string value) {
  params.emplace_back(std::move(value));
  return "$" + std::to_string(params.size());
}

// Values of an in-list, "(a,b,\"c,d\")"; false when the list is malformed.
bool splitList(std::string_view text, std::vector<std::string>& out) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  text = text.substr(1, text.size() - 2);
  std::string item;
  bool quoted = false, wasQuoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted && c == '\\' && i + 1 < text.size()) item += text[++i];
    else if (c == '"') quoted = !quoted, wasQuoted = true;
    else if (c == ',' && !quoted) out.push_back(std::move(item)), item.clear(), wasQuoted = false;
    else item += c;
  }
  if (quoted) return false;
  if (!item.empty() || wasQuoted || !out.empty()) out.push_back(std::move(item));
  return true;
}

// One condition "<op>.<value>" (possibly "not.<op>.<value>") on an already quoted column.
bool condition(const std::string& column, std::string_view opValue, SqlParams& params,
               std::string& sql, std::string& error) {
  bool negate = opValue.rfind("not.", 0) == 0;
  if (negate) opValue.remove_prefix(4);
  size_t dot = opValue.find('.');
  if (dot == std::string_view::npos) {
    error = "failed to parse filter (" + std::string(opValue) + ")";
    return false;
  }
  std::string op(opValue.substr(0, dot));
  std::string value(opValue.substr(dot + 1));
  std::string body;
  if (op == "is") {
    static const std::set<std::string, std::less<>> IS_VALUES = {"null", "not_null", "true", "false", "unknown"};
    if (!IS_VALUES.count(value)) {
      error = "failed to parse filter (is." + value + ")";
      return false;
    }
    body = column + " is " + (value == "not_null" ? "not null" : value);
  } else if (op == "in") {
    std::vector<std::string> items;
    if (!splitList(value, items)) {
      error = "failed to parse filter (in." + value + ")";
      return false;
    }
    if (items.empty()) body = "false";
    for (auto& item : items) body += (body.empty() ? column + " in (" : ", ") + bind(params, item);
    if (!items.empty()) body += ")";
  } else {
    const Operator* found = nullptr;
    for (const auto& candidate : COMPARISONS)
      if (op == candidate.name) found = &candidate;
    if (!found) {
      error = "failed to parse filter (" + op + "." + value + ")";
      return false;
    }
    if (op == "like" || op == "ilike")
      for (char& c : value)
        if (c == '*') c = '%';
    body = column + " " + found->sql + " " + bind(params, value);
  }
  sql = negate ? "not (" + body + ")" : "(" + body + ")";
  return true;
}

// Parser of logic groups: "(a.eq.1,and(b.eq.2,c.neq.3))".
class LogicParser {
public:
  LogicParser(std::string_view text, SqlParams& params, std::string& error)
      : text_(text), params_(params), error_(error) {}

  bool group(const char* joiner, std::string& sql) {
    if (!eat('(')) return fail();
    std::vector<std::string> parts;
    do {
      std::string part;
      if (!item(part)) return false;
      parts.push_back(part);
    } while (eat(','));
    if (!eat(')')) return fail();
    sql = "(";
    for (size_t i = 0; i < parts.size(); ++i) sql += (i ? std::string(" ") + joiner + " " : "") + parts[i];
    sql += ")";
    return true;
  }

  bool atEnd() const { return pos_ == text_.size(); }

private:
  bool item(std::string& sql) {
    bool negate = text_.compare(pos_, 4, "not.") == 0;
    size_t start = pos_ + (negate ? 4 : 0);
    for (const char* joiner : {"and", "or"}) {
      std::string prefix = std::string(joiner) + "(";
      if (text_.compare(start, prefix.size(), prefix) == 0) {
        pos_ = start + prefix.size() - 1;
        std::string inner;
        if (!group(joiner, inner)) return false;
        sql = negate ? "not " + inner : inner;
        return true;
      }
    }
    size_t dot = text_.find('.', pos_);
    if (dot == std::string_view::npos) return fail();
    auto column = quoteIdent(text_.substr(pos_, dot - pos_));
    if (!column) return fail();
    pos_ = dot + 1;
    std::string op = word();
    if (!eat('.')) return fail();
    if (op == "not") {
      op += "." + word();
      if (!eat('.')) return fail();
    }
    std::string value;
    if (op == "in" || op == "not.in") {
      size_t close = text_.find(')', pos_);
      if (close == std::string_view::npos) return fail();
      value = std::string(text_.substr(pos_, close + 1 - pos_));
      pos_ = close + 1;
    } else if (pos_ < text_.size() && text_[pos_] == '"') {
      ++pos_;
      while (pos_ < text_.size() && text_[pos_] != '"') {
        if (text_[pos_] == '\\' && pos_ + 1 < text_.size()) ++pos_;
        value += text_[pos_++];
      }
      if (!eat('"')) return fail();
    } else {
      while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != ')') value += text_[pos_++];
    }
    return condition(*column, op + "." + value, params_, sql, error_);
  }

  std::string word() {
    size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '.' && text_[pos_] != ',' && text_[pos_] != ')') ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  bool eat(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool fail() {
    if (error_.empty()) error_ = "failed to parse logic tree (" + std::string(text_) + ")";
    return false;
  }

  std::string_view text_;
  SqlParams& params_;
  std::string& error_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<std::string> quoteIdent(std::string_view name) {
  if (name.empty() || name.size() > 63 || std::isdigit(static_cast<unsigned char>(name[0])))
    return std::nullopt;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return std::nullopt;
  return "\"" + std::string(name) + "\"";
}

bool buildSelect(const std::string& select, std::string& sql, std::string& error) {
  if (select.empty() || select == "*") {
    sql = "*";
    return true;
  }
  sql.clear();
  size_t start = 0;
  while (start <= select.size()) {
    size_t comma = select.find(',', start);
    std::string name = select.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    auto quoted = quoteIdent(name);
    if (!quoted) {
      error = "failed to parse select parameter (" + select + ")";
      return false;
    }
    sql += (sql.empty() ? "" : ", ") + *quoted;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

bool buildWhere(const httplib::Params& query, SqlParams& params, std::string& sql, std::string& error) {
  std::vector<std::string> parts;
  for (const auto& [key, value] : query) {
    if (RESERVED_PARAMS.count(key)) continue;
    std::string part;
    bool negate = key.rfind("not.", 0) == 0;
    std::string logic = negate ? key.substr(4) : key;
    if (logic == "or" || logic == "and") {
      LogicParser parser(value, params, error);
      if (!parser.group(logic.c_str(), part) || !parser.atEnd()) {
        if (error.empty()) error = "failed to parse logic tree (" + value + ")";
        return false;
      }
      if (negate) part = "not " + part;
    } else {
      auto column = quoteIdent(key);
      if (!column) {
        error = "failed to parse filter (" + key + ")";
        return false;
      }
      if (!condition(*column, value, params, part, error)) return false;
    }
    parts.push_back(part);
  }
  sql.clear();
  for (const auto& part : parts) sql += (sql.empty() ? " where " : " and ") + part;
  return true;
}

bool buildOrder(const std::string& order, std::string& sql, std::string& error) {
  sql.clear();
  if (order.empty()) return true;
  size_t start = 0;
  while (true) {
    size_t comma = order.find(',', start);
    std::string term = order.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::vector<std::string> words;
    for (size_t s = 0, dot; s <= term.size(); s = dot + 1) {
      dot = term.find('.', s);
      if (dot == std::string::npos) dot = term.size();
      words.push_back(term.substr(s, dot - s));
    }
    auto column = quoteIdent(words[0]);
    std::string clause = column ? *column : "";
    for (size_t i = 1; column && i < words.size(); ++i) {
      const std::string& w = words[i];
      if (w == "asc" || w == "desc") clause += " " + w;
      else if (w == "nullsfirst") clause += " nulls first";
      else if (w == "nullslast") clause += " nulls last";
      else column.reset();
    }
    if (!column || words.size() > 3) {
      error = "failed to parse order (" + order + ")";
      return false;
    }
    sql += (sql.empty() ? " order by " : ", ") + clause;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

}  // namespace pawlane::gateway
