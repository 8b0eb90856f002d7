#include "social/curl_transport.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

using namespace pawlane;

namespace {

// Accepts one connection on 127.0.0.1, reads the request and sends `answer` as is.
class OneShotServer {
public:
    explicit OneShotServer(std::string answer, std::chrono::milliseconds delay = {})
        : answer_(std::move(answer)), delay_(delay) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        ::listen(fd_, 1);
        thread_ = std::thread([this] { serve(); });
    }
    ~OneShotServer() {
        thread_.join();
        ::close(fd_);
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // What the client sent; valid after the request returned.
    const std::string& received() const { return received_; }

private:
    void serve() {
        const int c = ::accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        char buf[4096];
        // Read the head, then as many body bytes as Content-Length says.
        std::size_t need = std::string::npos;
        while (need == std::string::npos || received_.size() < need) {
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0) break;
            received_.append(buf, static_cast<std::size_t>(n));
            const auto end = received_.find("\r\n\r\n");
            if (need == std::string::npos && end != std::string::npos) {
                std::size_t length = 0;
                if (auto at = received_.find("Content-Length: "); at != std::string::npos && at < end)
                    length = std::stoul(received_.substr(at + 16));
                need = end + 4 + length;
            }
        }
        std::this_thread::sleep_for(delay_);
        for (std::size_t sent = 0; sent < answer_.size();) {
            const ssize_t n = ::send(c, answer_.data() + sent, answer_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        ::close(c);
    }

    std::string answer_;
    std::chrono::milliseconds delay_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::string received_;
};

std::string httpAnswer(int status, const std::string& body, const std::string& extraHeaders = "") {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

}  // namespace

TEST(CurlTransport, SendsTheRequestAndReturnsAnyStatus) {
    OneShotServer server(httpAnswer(406, R"({"code":"PGRST116"})", "Content-Range: */0\r\n"));
    CurlTransport transport;
    auto response = transport.perform(
        {"DELETE", server.url("/rest/v1/pets?id=eq.X"), {{"apikey", "k"}, {"Prefer", "return=representation"}}, ""});
    ASSERT_TRUE(response) << response.error().description;
    EXPECT_EQ(response->status, 406);
    EXPECT_EQ(response->body, R"({"code":"PGRST116"})");
    EXPECT_EQ(headerValue(response->headers, "content-range"), "*/0");
    EXPECT_EQ(server.received().rfind("DELETE /rest/v1/pets?id=eq.X HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(server.received().find("\r\napikey: k\r\n"), std::string::npos);
}

TEST(CurlTransport, PostsTheBodyAsGiven) {
    OneShotServer server(httpAnswer(200, "{}"));
    CurlTransport transport;
    const std::string body = R"({"email":"ann@example.org"})";
    auto response = transport.perform({"POST", server.url("/auth/v1/otp"), {{"Content-Type", "application/json"}}, body});
    ASSERT_TRUE(response);
    EXPECT_EQ(server.received().rfind("POST /auth/v1/otp HTTP/1.1\r\n", 0), 0u);
    EXPECT_EQ(server.received().substr(server.received().size() - body.size()), body);
}

TEST(CurlTransport, RefusesAnswersOverTheCap) {
    const std::string big(CurlTransport::MAX_RESPONSE_BYTES + 1, 'x');
    // Announced by its length, and streamed until the connection closes.
    for (const auto& answer : {httpAnswer(200, big), "HTTP/1.1 200 X\r\nConnection: close\r\n\r\n" + big}) {
        OneShotServer server(answer);
        auto response = CurlTransport().perform({"GET", server.url("/big"), {}, ""});
        ASSERT_FALSE(response);
        EXPECT_EQ(response.error().kind, SocialError::Kind::network);
        EXPECT_EQ(response.error().description, "The server's answer was too large.");
    }
    OneShotServer server("HTTP/1.1 200 X\r\nConnection: close\r\n\r\n" + big.substr(1));
    auto atTheCap = CurlTransport().perform({"GET", server.url("/big"), {}, ""});
    ASSERT_TRUE(atTheCap);
    EXPECT_EQ(atTheCap->body.size(), CurlTransport::MAX_RESPONSE_BYTES);
}

TEST(CurlTransport, NoServerIsANetworkError) {
    int port = 0;
    {
        OneShotServer closed(httpAnswer(200, ""));
        port = std::stoi(closed.url("").substr(17));
        CurlTransport().perform({"GET", closed.url("/"), {}, ""});
    }
    auto response = CurlTransport().perform({"GET", "http://127.0.0.1:" + std::to_string(port) + "/", {}, ""});
    ASSERT_FALSE(response);
    EXPECT_EQ(response.error().kind, SocialError::Kind::network);
    EXPECT_FALSE(response.error().description.empty());
}

TEST(CurlTransport, GivesUpOnAServerThatStalls) {
    OneShotServer server(httpAnswer(200, "[]"), std::chrono::milliseconds(1500));
    CurlTransport transport(CurlTransport::Timeouts{1000, 200});
    auto response = transport.perform({"GET", server.url("/slow"), {}, ""});
    ASSERT_FALSE(response);
    EXPECT_EQ(response.error().kind, SocialError::Kind::network);
    EXPECT_EQ(response.error().description, "The server took too long to answer.");
}
