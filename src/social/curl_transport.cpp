#include "social/curl_transport.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>

namespace pawlane {

namespace {

struct Sink {
    HttpResponse response;
    bool tooLarge = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (sink->response.body.size() + n > CurlTransport::MAX_RESPONSE_BYTES) {
        sink->tooLarge = true;
        return 0;  // aborts the transfer
    }
    sink->response.body.append(data, n);
    return n;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return std::string(s);
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::string_view line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        sink->response.headers.clear();  // a new response (after 100 Continue) starts over
    } else if (auto colon = line.find(':'); colon != std::string_view::npos) {
        sink->response.headers.emplace_back(trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    }
    return size * count;
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

CURL* threadHandle() {
    thread_local std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (handle) curl_easy_reset(handle.get());
    return handle.get();
}

}  // namespace

CurlTransport::CurlTransport() : CurlTransport(Timeouts{}) {}

CurlTransport::CurlTransport(Timeouts timeouts) : timeouts_(timeouts) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Result<HttpResponse> CurlTransport::perform(const HttpRequest& request) {
    CURL* h = threadHandle();
    if (!h) return SocialError{SocialError::Kind::network, "Couldn't start a network request.", 0, {}};

    Sink sink;
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const auto& [k, v] : request.headers) {
        const std::string line = k + ": " + v;
        curl_slist* next = curl_slist_append(headers.get(), line.c_str());
        if (!next) return SocialError{SocialError::Kind::network, "Couldn't start a network request.", 0, {}};
        headers.release();
        headers.reset(next);
    }
    // curl adds "Expect: 100-continue" to large POSTs; the answer is not worth the wait.
    headers.reset(curl_slist_append(headers.release(), "Expect:"));

    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeouts_.connectMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeouts_.requestMs);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MAX_RESPONSE_BYTES));
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &sink);
    if (request.method == "POST") {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.c_str());
    } else if (request.method != "GET") {
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        if (!request.body.empty()) {
            curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
            curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.c_str());
        }
    }

    const CURLcode rc = curl_easy_perform(h);
    // Leave no pointer into this frame's lists or sink in the reused handle.
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    if (sink.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        return SocialError{SocialError::Kind::network, "The server's answer was too large.", 0, {}};
    if (rc != CURLE_OK) {
        const std::string what = rc == CURLE_OPERATION_TIMEDOUT ? "The server took too long to answer."
                                                                : std::string("Couldn't reach the server (") +
                                                                      curl_easy_strerror(rc) + ").";
        return SocialError{SocialError::Kind::network, what, 0, {}};
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    sink.response.status = static_cast<int>(status);
    return std::move(sink.response);
}

}  // namespace pawlane
