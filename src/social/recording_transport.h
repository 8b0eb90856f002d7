#pragma once
// A scripted HttpTransport for tests: records every request and answers from a
// queue of canned responses (then from a fallback). Thread-safe.
#include <deque>
#include <functional>
#include <mutex>

#include "social/http_transport.h"

namespace pawlane {

class RecordingTransport : public HttpTransport {
public:
    using Handler = std::function<Result<HttpResponse>(const HttpRequest&)>;

    // Queue one answer; answers are used in the order queued.
    void respond(int status, std::string body, HttpHeaders headers = {});
    void failNext(std::string description);
    // Answers requests once the queue is empty; by default 200 with "[]".
    void setFallback(Handler handler);

    Result<HttpResponse> perform(const HttpRequest& request) override;

    std::vector<HttpRequest> requests() const;
    HttpRequest lastRequest() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<HttpRequest> requests_;
    std::deque<Result<HttpResponse>> queued_;
    Handler fallback_;
};

}  // namespace pawlane
