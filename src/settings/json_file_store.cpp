#include "settings/json_file_store.h"

#include "platform/atomic_file.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace pawlane {

namespace {

using Json = nlohmann::ordered_json;  // keeps the member order people wrote
using ValueMap = std::map<std::string, PrefValue, std::less<>>;

constexpr const char* kJsonTag = "$json";
constexpr const char* kBase64Tag = "$base64";
constexpr const char* kDictionaryTag = "$dictionary";

std::string dumpCompact(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string base64Encode(std::string_view bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3), '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
    out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    if (text.empty()) return std::string();
    std::string out(3 * (text.size() / 4), '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size()));
    if (n < 0) return std::nullopt;
    // The block decoder counts padding as zero bytes.
    std::size_t size = static_cast<std::size_t>(n);
    if (text.back() == '=') --size;
    if (text[text.size() - 2] == '=') --size;
    out.resize(size);
    return out;
}

std::optional<std::int64_t> integerOf(const Json& j) {
    if (j.is_number_integer() && !j.is_number_unsigned()) return j.get<std::int64_t>();
    if (j.is_number_unsigned()) {
        const auto u = j.get<std::uint64_t>();
        if (u <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return static_cast<std::int64_t>(u);
        return std::nullopt;
    }
    if (j.is_number_float()) {
        // A whole number written with a fraction (2.0) still counts as an integer.
        const double d = j.get<double>();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
            return static_cast<std::int64_t>(d);
    }
    return std::nullopt;
}

std::optional<PrefDictionary> dictionaryOf(const Json& j) {
    if (!j.is_object()) return std::nullopt;
    PrefDictionary out;
    for (const auto& [key, value] : j.items()) {
        auto n = integerOf(value);
        if (!n) return std::nullopt;
        out.emplace(key, *n);
    }
    return out;
}

PrefValue valueFromJson(const Json& j) {
    switch (j.type()) {
        case Json::value_t::boolean: return j.get<bool>();
        case Json::value_t::number_integer: return j.get<std::int64_t>();
        case Json::value_t::number_unsigned:
            if (auto n = integerOf(j)) return *n;
            return j.get<double>();
        case Json::value_t::number_float: return j.get<double>();
        case Json::value_t::string: return j.get<std::string>();
        case Json::value_t::array: {
            std::vector<std::string> texts;
            for (const auto& e : j) {
                if (!e.is_string()) return PrefOther{dumpCompact(j)};
                texts.push_back(e.get<std::string>());
            }
            return texts;
        }
        case Json::value_t::object: {
            if (j.size() == 1) {
                const auto first = j.begin();
                const std::string& tag = first.key();
                const Json& inner = first.value();
                if (tag == kJsonTag) return PrefData{dumpCompact(inner)};
                if (tag == kBase64Tag && inner.is_string()) {
                    if (auto bytes = base64Decode(inner.get<std::string>())) return PrefData{std::move(*bytes)};
                }
                if (tag == kDictionaryTag) {
                    if (auto dict = dictionaryOf(inner)) return std::move(*dict);
                }
            }
            if (auto dict = dictionaryOf(j)) return std::move(*dict);
            return PrefOther{dumpCompact(j)};
        }
        default: return PrefOther{dumpCompact(j)};
    }
}

Json dataToJson(const std::string& bytes) {
    // Embedded only when it reads back as the very same bytes.
    auto parsed = Json::parse(bytes, nullptr, false);
    if (!parsed.is_discarded()) {
        try {
            if (parsed.dump() == bytes) return Json{{kJsonTag, std::move(parsed)}};
        } catch (const Json::exception&) {
        }
    }
    return Json{{kBase64Tag, base64Encode(bytes)}};
}

Json valueToJson(const PrefValue& v) {
    return std::visit(
        [](const auto& x) -> Json {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, PrefData>) {
                return dataToJson(x.bytes);
            } else if constexpr (std::is_same_v<T, PrefOther>) {
                auto parsed = Json::parse(x.json, nullptr, false);
                return parsed.is_discarded() ? Json() : parsed;
            } else if constexpr (std::is_same_v<T, PrefDictionary>) {
                Json object = Json::object();
                for (const auto& [key, n] : x) object[key] = n;
                if (x.size() == 1) {
                    const auto& key = x.begin()->first;
                    if (key == kJsonTag || key == kBase64Tag || key == kDictionaryTag)
                        return Json{{kDictionaryTag, std::move(object)}};
                }
                return object;
            } else {
                return Json(x);
            }
        },
        v);
}

// Creates the folder on the first write.
bool writeFileCreatingFolder(const std::filesystem::path& target, const std::string& text) {
    std::error_code ec;
    if (!target.parent_path().empty()) std::filesystem::create_directories(target.parent_path(), ec);
    return !replaceFileAtomically(target, text);
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult readWholeFile(const std::filesystem::path& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return ReadResult::Failed;
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::Ok;
}

// Leftovers of writes that were cut off by a crash.
void removeStaleTemporaries(const std::filesystem::path& file) {
    std::error_code ec;
    const auto prefix = file.filename().string() + ".tmp-";
    for (std::filesystem::directory_iterator it(file.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const auto name = it->path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix)) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

}  // namespace

std::filesystem::path defaultPreferencesPath() {
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/") / ".config";
    }
    return base / "pawlane" / "preferences.json";
}

std::string encodePreferencesDocument(const ValueMap& values) {
    Json doc = Json::object();
    for (const auto& [key, value] : values) doc[key] = valueToJson(value);
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<ValueMap> decodePreferencesDocument(std::string_view text) {
    const auto doc = Json::parse(text.begin(), text.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
    ValueMap values;
    for (const auto& [key, value] : doc.items()) values.insert_or_assign(key, valueFromJson(value));
    return values;
}

JsonFileStore::JsonFileStore(std::filesystem::path file) : path_(std::move(file)) { load(); }

void JsonFileStore::load() {
    std::string text;
    switch (readWholeFile(path_, text)) {
        case ReadResult::Missing: return;
        case ReadResult::Failed:
            // Whatever is there cannot be read, so it must not be replaced either.
            writable_ = false;
            return;
        case ReadResult::Ok: break;
    }
    removeStaleTemporaries(path_);
    if (auto values = decodePreferencesDocument(text)) {
        values_ = std::move(*values);
        return;
    }
    const auto stamp = std::to_string(static_cast<long long>(std::time(nullptr)));
    auto aside = path_;
    aside += ".corrupt-" + stamp;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(aside, ec) && n < 1000; ++n) {
        aside = path_;
        aside += ".corrupt-" + stamp + "-" + std::to_string(n);
    }
    if (::rename(path_.c_str(), aside.c_str()) == 0) {
        movedAside_ = aside;
    } else {
        writable_ = false;  // keep the damaged file rather than write over it
    }
}

void JsonFileStore::writeThrough() {
    if (!writable_) {
        lastWriteOk_ = false;
        return;
    }
    // Write through a symbolic link (kept dotfiles) rather than over it.
    std::error_code ec;
    auto target = path_;
    if (std::filesystem::is_symlink(path_, ec)) {
        auto resolved = std::filesystem::weakly_canonical(path_, ec);
        if (!ec) target = resolved;
    }
    try {
        lastWriteOk_ = writeFileCreatingFolder(target, encodePreferencesDocument(values_));
    } catch (const std::exception&) {
        lastWriteOk_ = false;
    }
}

const PrefValue* JsonFileStore::storedValue(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? nullptr : &it->second;
}

void JsonFileStore::storeValue(std::string_view key, PrefValue v) {
    values_.insert_or_assign(std::string(key), std::move(v));
    writeThrough();
}

void JsonFileStore::eraseValue(std::string_view key) {
    auto it = values_.find(key);
    if (it == values_.end()) return;
    values_.erase(it);
    writeThrough();
}

}  // namespace pawlane
