#include "social/recording_transport.h"

namespace pawlane {

void RecordingTransport::respond(int status, std::string body, HttpHeaders headers) {
    std::lock_guard lock(mutex_);
    queued_.emplace_back(HttpResponse{status, std::move(headers), std::move(body)});
}

void RecordingTransport::failNext(std::string description) {
    std::lock_guard lock(mutex_);
    queued_.emplace_back(SocialError{SocialError::Kind::network, std::move(description), 0, {}});
}

void RecordingTransport::setFallback(Handler handler) {
    std::lock_guard lock(mutex_);
    fallback_ = std::move(handler);
}

Result<HttpResponse> RecordingTransport::perform(const HttpRequest& request) {
    Handler fallback;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (!queued_.empty()) {
            auto next = std::move(queued_.front());
            queued_.pop_front();
            return next;
        }
        fallback = fallback_;
    }
    if (fallback) return fallback(request);
    return HttpResponse{200, {}, "[]"};
}

std::vector<HttpRequest> RecordingTransport::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

HttpRequest RecordingTransport::lastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? HttpRequest{} : requests_.back();
}

void RecordingTransport::clear() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    queued_.clear();
}

}  // namespace pawlane
