#pragma once
// One blocking HTTP exchange. The backend client builds every request itself;
// the transport only moves bytes, so tests can record and script it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "social/result.h"

namespace pawlane {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

// The first value of a header, compared case-insensitively; empty if absent.
std::string headerValue(const HttpHeaders& headers, std::string_view name);

struct HttpRequest {
    std::string method;  // "GET", "POST", "DELETE"
    std::string url;
    HttpHeaders headers;
    std::string body;

    std::string header(std::string_view name) const { return headerValue(headers, name); }
};

struct HttpResponse {
    int status = 0;
    HttpHeaders headers;
    std::string body;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Any answer of the server is a response, whatever its status; an error means
    // there was no usable answer (network, timeout, TLS, too large).
    virtual Result<HttpResponse> perform(const HttpRequest& request) = 0;
};

}  // namespace pawlane
