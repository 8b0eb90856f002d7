#pragma once
// HttpTransport over libcurl: TLS verified, 10 s to connect, 30 s per request,
// answers capped at 8 MiB. Safe to use from several threads at once; each thread
// keeps its own handle so connections are reused.
#include "social/http_transport.h"

namespace pawlane {

class CurlTransport : public HttpTransport {
public:
    static constexpr long CONNECT_TIMEOUT_SECONDS = 10;
    static constexpr long REQUEST_TIMEOUT_SECONDS = 30;
    static constexpr std::size_t MAX_RESPONSE_BYTES = 8 * 1024 * 1024;

    CurlTransport();
    Result<HttpResponse> perform(const HttpRequest& request) override;
};

}  // namespace pawlane
