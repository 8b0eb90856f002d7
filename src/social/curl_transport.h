#pragma once
// HttpTransport over libcurl: TLS verified, 10 s to connect, 30 s per request,
// answers capped at 8 MiB. Safe to use from several threads at once; each thread
// keeps its own handle so connections are reused.
#include "social/http_transport.h"

namespace pawlane {

class CurlTransport : public HttpTransport {
public:
    static constexpr std::size_t MAX_RESPONSE_BYTES = 8 * 1024 * 1024;

    struct Timeouts {
        long connectMs = 10'000;
        long requestMs = 30'000;  // the whole exchange, connecting included
    };

    CurlTransport();
    explicit CurlTransport(Timeouts timeouts);
    Result<HttpResponse> perform(const HttpRequest& request) override;

private:
    Timeouts timeouts_;
};

}  // namespace pawlane
