#include "social/backend_client.h"

#include <nlohmann/json.hpp>

#include "social/url_text.h"

namespace pawlane {

namespace {

constexpr const char* CLIENT_INFO = "pawlane-cpp/0.1";
constexpr const char* AUTH_API_VERSION = "2024-01-01";

std::string storageKeyFor(const std::string& url) {
    std::string host = "localhost";
    if (auto parsed = parseUrl(url); parsed && !parsed->host.empty()) host = parsed->host;
    return "sb-" + host.substr(0, host.find('.')) + "-auth-token";
}

// 4xx: the server looked at the refresh token and refused it.
bool refusedForGood(const SocialError& e) {
    return e.kind == SocialError::Kind::server && e.status >= 400 && e.status < 500;
}

std::string firstText(const Json& j, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        auto it = j.find(key);
        if (it != j.end() && it->is_string() && !it->get<std::string>().empty()) return it->get<std::string>();
    }
    return {};
}

}  // namespace

SocialError errorFromResponse(const HttpResponse& response) {
    SocialError e{SocialError::Kind::server, {}, response.status, {}};
    const auto j = Json::parse(response.body, nullptr, false);
    if (j.is_object()) {
        e.description = firstText(j, {"msg", "message", "error_description", "error"});
        e.code = firstText(j, {"error_code", "code", "error"});
    }
    if (e.description.empty()) e.description = "The server answered with status " + std::to_string(response.status) + ".";
    return e;
}

BackendClient::BackendClient(SocialConfig config, std::shared_ptr<AuthStorage> storage,
                             std::shared_ptr<HttpTransport> transport, const Clock& clock, Options options)
    : config_(std::move(config)),
      base_(trimTrailingSlashes(config_.url)),
      storageKey_(storageKeyFor(config_.url)),
      storage_(std::move(storage)),
      transport_(std::move(transport)),
      clock_(clock),
      options_(options) {
    if (options_.autoRefresh) ticker_ = std::thread([this] { runAutoRefresh(); });
}

BackendClient::BackendClient(SocialConfig config, std::shared_ptr<AuthStorage> storage,
                             std::shared_ptr<HttpTransport> transport)
    : BackendClient(std::move(config), std::move(storage), std::move(transport), systemClock(), Options{}) {}

BackendClient::~BackendClient() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopChanged_.notify_all();
    if (ticker_.joinable()) ticker_.join();
}

// ---- auth changes

void BackendClient::ensureRestored() {
    std::call_once(restoreOnce_, [this] { restore(); });
}

void BackendClient::restore() {
    const auto raw = storage_->retrieve(storageKey_);
    std::optional<Session> stored;
    if (raw) stored = sessionFromJson(Json::parse(*raw, nullptr, false), nowUnix());
    if (raw && !stored) storage_->remove(storageKey_);  // unreadable: nothing to restore
    if (!stored) return emit(AuthEvent::initialSession, std::nullopt);
    if (!stored->expiresWithin(options_.refreshMargin, nowUnix())) {
        {
            std::lock_guard lock(mutex_);
            session_ = stored;
        }
        return emit(AuthEvent::initialSession, stored);
    }

    std::lock_guard refreshing(refreshMutex_);
    auto renewed = refreshWith(*stored);
    if (renewed) {
        {
            std::lock_guard lock(mutex_);
            session_ = renewed.value();
        }
        storage_->store(storageKey_, toJson(renewed.value()).dump());
        return emit(AuthEvent::initialSession, renewed.value());
    }
    if (!refusedForGood(renewed.error())) {
        // The server could not be asked: keep the session and announce it once a
        // later refresh succeeds, instead of signing the user out while offline.
        std::lock_guard lock(mutex_);
        session_ = stored;
        unannounced_ = true;
    } else {
        storage_->remove(storageKey_);
    }
    emit(AuthEvent::initialSession, std::nullopt);
}

void BackendClient::emit(AuthEvent event, std::optional<Session> session) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(AuthChange{event, std::move(session)});
    }
    eventsChanged_.notify_all();
}

AuthChange BackendClient::nextAuthChange() {
    ensureRestored();
    std::unique_lock lock(mutex_);
    eventsChanged_.wait(lock, [this] { return !events_.empty(); });
    auto change = std::move(events_.front());
    events_.pop_front();
    return change;
}

std::optional<AuthChange> BackendClient::nextAuthChange(std::chrono::milliseconds timeout) {
    ensureRestored();
    std::unique_lock lock(mutex_);
    if (!eventsChanged_.wait_for(lock, timeout, [this] { return !events_.empty(); })) return std::nullopt;
    auto change = std::move(events_.front());
    events_.pop_front();
    return change;
}

std::optional<Session> BackendClient::session() {
    ensureRestored();
    std::lock_guard lock(mutex_);
    return session_;
}

bool BackendClient::adopt(const Session& s, AuthEvent event, const Session* replacing) {
    {
        std::lock_guard persisting(persistMutex_);
        {
            std::lock_guard lock(mutex_);
            // A refresh answer must not undo a sign-in or sign-out that happened meanwhile.
            if (replacing && (!session_ || session_->refreshToken != replacing->refreshToken)) return false;
            session_ = s;
            unannounced_ = false;
        }
        // A session that cannot be saved still works until the app quits.
        storage_->store(storageKey_, toJson(s).dump());
    }
    emit(event, s);
    return true;
}

void BackendClient::drop(const Session* replacing) {
    {
        std::lock_guard persisting(persistMutex_);
        {
            std::lock_guard lock(mutex_);
            if (replacing && (!session_ || session_->refreshToken != replacing->refreshToken)) return;
            session_.reset();
            unannounced_ = false;
        }
        storage_->remove(storageKey_);
        storage_->remove(verifierKey());
    }
    emit(AuthEvent::signedOut, std::nullopt);
}

// ---- refresh

Result<Session> BackendClient::refreshWith(const Session& current) {
    const Json body{{"refresh_token", current.refreshToken}};
    return sessionExchange(authRequest("POST", "/token?grant_type=refresh_token", &body, config_.anonKey));
}

Status BackendClient::refreshIfNeeded() { return refresh(nullptr); }

Status BackendClient::refresh(const std::string* rejectedToken) {
    ensureRestored();
    std::lock_guard refreshing(refreshMutex_);
    std::optional<Session> current;
    bool announce = false;
    {
        std::lock_guard lock(mutex_);
        current = session_;
        announce = unannounced_;
    }
    if (!current) return {};
    // A rejected token is renewed unless another thread already did so.
    const bool due = rejectedToken ? current->accessToken == *rejectedToken
                                   : current->expiresWithin(options_.refreshMargin, nowUnix());
    if (!due) return {};
    auto renewed = refreshWith(*current);
    if (renewed) {
        adopt(renewed.value(), announce ? AuthEvent::signedIn : AuthEvent::tokenRefreshed, &*current);
        return {};
    }
    // The server refused the refresh token: the session is over for good.
    if (refusedForGood(renewed.error())) drop(&*current);
    return renewed.error();
}

void BackendClient::runAutoRefresh() {
    std::unique_lock lock(mutex_);
    while (!stopChanged_.wait_for(lock, options_.autoRefreshPeriod, [this] { return stopping_; })) {
        const bool idle = !session_;
        lock.unlock();
        if (!idle) refreshIfNeeded();
        lock.lock();
    }
}

Result<std::string> BackendClient::bearer() {
    // A refused refresh has signed the user out; the request then goes out anonymously.
    if (auto refreshed = refreshIfNeeded(); !refreshed && !refusedForGood(refreshed.error())) return refreshed.error();
    std::lock_guard lock(mutex_);
    return session_ ? session_->accessToken : config_.anonKey;
}

// ---- requests

HttpRequest BackendClient::authRequest(const std::string& method, const std::string& pathAndQuery, const Json* body,
                                       const std::string& token) const {
    HttpRequest r{method, base_ + "/auth/v1" + pathAndQuery, {}, {}};
    r.headers = {{"apikey", config_.anonKey},
                 {"Authorization", "Bearer " + token},
                 {"X-Client-Info", CLIENT_INFO},
                 {"X-Supabase-Api-Version", AUTH_API_VERSION},
                 {"Accept", "application/json"}};
    if (body) {
        r.headers.emplace_back("Content-Type", "application/json");
        r.body = body->dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    return r;
}

HttpRequest BackendClient::restRequest(const std::string& method, const std::string& pathAndQuery) const {
    HttpRequest r{method, base_ + "/rest/v1" + pathAndQuery, {}, {}};
    r.headers = {{"apikey", config_.anonKey}, {"X-Client-Info", CLIENT_INFO}};
    return r;
}

Result<Json> BackendClient::restCall(HttpRequest request) {
    ensureRestored();
    auto token = bearer();
    if (!token) return token.error();
    request.headers.emplace_back("Authorization", "Bearer " + token.value());
    auto result = exchange(request);
    // A token the server already considers expired (clocks disagree): renew it once and retry.
    if (!result && result.error().status == 401 && token.value() != config_.anonKey) {
        if (!refresh(&token.value())) return result;
        auto renewed = bearer();
        if (!renewed || renewed.value() == token.value()) return result;
        request.headers.back().second = "Bearer " + renewed.value();
        return exchange(request);
    }
    return result;
}

Result<Json> BackendClient::exchange(const HttpRequest& request) {
    auto answer = transport_->perform(request);
    if (!answer) return answer.error();
    const auto& response = answer.value();
    if (response.status < 200 || response.status >= 300) return errorFromResponse(response);
    if (response.body.empty()) return Json();
    auto j = Json::parse(response.body, nullptr, false);
    if (j.is_discarded())
        return SocialError{SocialError::Kind::decoding, "The server's answer couldn't be read.", response.status, {}};
    return j;
}

Result<Session> BackendClient::sessionExchange(const HttpRequest& request) {
    auto j = exchange(request);
    if (!j) return j.error();
    auto s = sessionFromJson(j.value(), nowUnix());
    if (!s) return SocialError{SocialError::Kind::decoding, "The sign-in answer had no session.", 200, {}};
    return *s;
}

// ---- PostgREST

Result<Json> BackendClient::select(const std::string& table, const RestQuery& query) {
    auto r = restRequest("GET", "/" + table + "?" + query.queryString(true));
    r.headers.emplace_back("Accept", query.single ? "application/vnd.pgrst.object+json" : "application/json");
    return restCall(std::move(r));
}

Result<Json> BackendClient::upsert(const std::string& table, const Json& objectOrArray) {
    std::string body;
    try {
        body = objectOrArray.dump();
    } catch (const Json::exception&) {
        return SocialError{SocialError::Kind::decoding, "The data to upload is not valid text.", 0, {}};
    }
    auto r = restRequest("POST", "/" + table);
    r.headers.emplace_back("Content-Type", "application/json");
    r.headers.emplace_back("Prefer", "resolution=merge-duplicates,return=representation");
    r.body = std::move(body);
    return restCall(std::move(r));
}

Result<Json> BackendClient::remove(const std::string& table, const RestQuery& filters) {
    const auto query = filters.queryString(false);
    auto r = restRequest("DELETE", "/" + table + (query.empty() ? "" : "?" + query));
    r.headers.emplace_back("Prefer", "return=representation");
    return restCall(std::move(r));
}

Result<Json> BackendClient::rpc(const std::string& function, const Json& params) {
    const Json body = params.is_null() ? Json::object() : params;
    std::string text;
    try {
        text = body.dump();
    } catch (const Json::exception&) {
        return SocialError{SocialError::Kind::decoding, "The data to send is not valid text.", 0, {}};
    }
    auto r = restRequest("POST", "/rpc/" + function);
    r.headers.emplace_back("Content-Type", "application/json");
    r.body = std::move(text);
    return restCall(std::move(r));
}

}  // namespace pawlane
