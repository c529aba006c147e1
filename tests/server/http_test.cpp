#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "server/http_server.h"

namespace grimbolt::server {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A server on a free loopback port, serving on threads of its own while a test runs.
struct Serving {
    HttpServer server;
    std::thread thread;

    Serving(HttpLimits limits, HttpServer::Handler handler, HttpServer::Admit admit = {})
        : server(
              limits, std::move(handler), [](const std::string&) {}, std::move(admit)) {
        std::string why;
        EXPECT_TRUE(server.listen("127.0.0.1", 0, &why)) << why;
        thread = std::thread([this] { server.run(); });
    }
    ~Serving() {
        server.stop();
        thread.join();
    }
};

// A plain client socket, to send what no well-behaved client sends.
struct Client {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);

    explicit Client(std::uint16_t port) {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(port);
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
        const timeval wait{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    }
    ~Client() { ::close(fd); }
    bool send(const std::string& text) {
        return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == ssize_t(text.size());
    }
    // What comes until `end` is seen or the server closes; "" when it closed at once.
    std::string receive(const std::string& end = "\r\n\r\n") {
        std::string got;
        char buffer[4096];
        while (got.find(end) == std::string::npos) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            got.append(buffer, std::size_t(n));
        }
        return got;
    }
    bool closed_by_server() {
        char c;
        return ::recv(fd, &c, 1, 0) == 0;
    }
};

HttpServer::Handler echo() {
    return [](HttpRequest request, HttpServer::Reply reply) {
        reply(HttpResponse{
            200,
            "text/plain",
            request.method + " " + request.target + " " + std::to_string(request.body.size()),
            {}});
    };
}

TEST(HttpServer, KeepsAConnectionAliveAndRefusesWhatIsTooLargeOrMalformed) {
    HttpLimits limits;
    limits.body_bytes = 1024 * 1024;
    Serving s(limits, echo());
    {
        Client c(s.server.port());
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(c.send("POST /x HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\n\r\nabc"));
            const std::string r = c.receive("POST /x 3");
            EXPECT_EQ(r.rfind("HTTP/1.1 200", 0), 0u) << r;
        }
    }
    {
        // A hundred megabytes announced: refused on the head, none of it read.
        Client c(s.server.port());
        const auto start = Clock::now();
        ASSERT_TRUE(c.send("POST /x HTTP/1.1\r\nHost: a\r\nContent-Length: 104857600\r\n\r\n"));
        EXPECT_EQ(c.receive().rfind("HTTP/1.1 413", 0), 0u);
        EXPECT_LT(Clock::now() - start, 2s);
    }
    {
        // Chunks, and so trailers of any size: refused for a length.
        Client c(s.server.port());
        ASSERT_TRUE(
            c.send("POST /x HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n0\r\nX: " +
                   std::string(70000, 'a') + "\r\n\r\n"));
        EXPECT_EQ(c.receive().rfind("HTTP/1.1 411", 0), 0u);
    }
    {
        Client c(s.server.port());
        ASSERT_TRUE(c.send("HELLO THERE\r\n\r\n"));
        EXPECT_EQ(c.receive().rfind("HTTP/1.1 400", 0), 0u);
    }
    {
        Client c(s.server.port());
        ASSERT_TRUE(
            c.send("GET /x HTTP/1.1\r\nHost: a\r\n" + std::string(20000, 'x') + ": y\r\n\r\n"));
        EXPECT_EQ(c.receive().rfind("HTTP/1.1 431", 0), 0u);
    }
}

// Clients that send too slowly, or nothing, are cut off by the deadlines; one past the
// connections' bound is let go at once, and the others are served all the while.
TEST(HttpServer, CutsOffSlowClientsAndBoundsTheConnections) {
    HttpLimits limits;
    limits.idle_timeout = 1s;
    limits.read_timeout = 500ms;
    limits.connections = 2;
    Serving s(limits, echo());
    {
        Client silent(s.server.port());
        const auto start = Clock::now();
        EXPECT_TRUE(silent.closed_by_server());
        EXPECT_LT(Clock::now() - start, 3s);
    }
    {
        // A body a byte at a time: cut off before it is whole.
        Client dripping(s.server.port());
        ASSERT_TRUE(dripping.send("POST /x HTTP/1.1\r\nHost: a\r\nContent-Length: 40\r\n\r\n"));
        const auto start = Clock::now();
        bool cut = false;
        for (int i = 0; i < 40 && !cut; ++i) {
            std::this_thread::sleep_for(100ms);
            cut = !dripping.send("x");
        }
        EXPECT_TRUE(cut || dripping.closed_by_server());
        EXPECT_LT(Clock::now() - start, 3s);
    }
    std::this_thread::sleep_for(100ms);  // the cut connections are counted out
    // Full of idle connections: the oldest makes room for a newcomer.
    Client first(s.server.port());
    Client second(s.server.port());
    ASSERT_TRUE(first.send("GET /a HTTP/1.1\r\nHost: a\r\n\r\n"));
    EXPECT_NE(first.receive("GET /a 0").find("GET /a 0"), std::string::npos);
    std::this_thread::sleep_for(50ms);  // the first waits for its next request
    Client third(s.server.port());
    ASSERT_TRUE(third.send("GET /c HTTP/1.1\r\nHost: a\r\n\r\n"));
    EXPECT_NE(third.receive("GET /c 0").find("GET /c 0"), std::string::npos);
    ASSERT_TRUE(second.send("GET /b HTTP/1.1\r\nHost: a\r\n\r\n"));
    EXPECT_NE(second.receive("GET /b 0").find("GET /b 0"), std::string::npos);
    EXPECT_TRUE(first.closed_by_server());
}

// Bodies being read hold no more bytes at once than the bound: a newcomer past it is
// asked to come back before it sends its body. A stop ends the bodies still coming.
TEST(HttpServer, BodiesReadAtOnceAreBoundedAndAStopEndsThem) {
    HttpLimits limits;
    limits.bodies_bytes = 100'000;
    auto s = std::make_unique<Serving>(limits, echo());
    const std::string head = "POST /x HTTP/1.1\r\nHost: a\r\nContent-Length: 80000\r\n\r\n";
    Client first(s->server.port());
    ASSERT_TRUE(first.send(head + "some"));
    std::this_thread::sleep_for(100ms);
    Client second(s->server.port());
    ASSERT_TRUE(second.send(head));
    EXPECT_EQ(second.receive().rfind("HTTP/1.1 503", 0), 0u);
    ASSERT_TRUE(first.send(std::string(80000 - 4, 'x')));
    EXPECT_NE(first.receive("POST /x 80000").find("POST /x 80000"), std::string::npos);
    Client third(s->server.port());
    ASSERT_TRUE(third.send(head + "more"));
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    s.reset();
    EXPECT_LT(Clock::now() - start, 3s);
    EXPECT_TRUE(third.closed_by_server());
}

// A request refused on its head is answered before a byte of its body is sent.
TEST(HttpServer, AHeadRefusedIsAnsweredWithoutItsBody) {
    Serving s(HttpLimits{}, echo(), [](const HttpRequest& head, std::size_t& limit, auto&) {
        limit = 100;
        if (head.target == "/no")
            return std::optional<HttpResponse>(HttpResponse{401, "text/plain", "who?", {}});
        return std::optional<HttpResponse>();
    });
    Client no(s.server.port());
    ASSERT_TRUE(no.send("POST /no HTTP/1.1\r\nHost: a\r\nContent-Length: 5000000\r\n\r\n"));
    EXPECT_EQ(no.receive().rfind("HTTP/1.1 401", 0), 0u);
    Client large(s.server.port());
    ASSERT_TRUE(large.send("POST /yes HTTP/1.1\r\nHost: a\r\nContent-Length: 101\r\n\r\n"));
    EXPECT_EQ(large.receive().rfind("HTTP/1.1 413", 0), 0u);
}

// A stop lets every answer being made reach its client first.
TEST(HttpServer, AStopWaitsForTheAnswersItOwes) {
    std::thread worker;
    auto server =
        std::make_unique<Serving>(HttpLimits{}, [&worker](HttpRequest, HttpServer::Reply reply) {
            worker = std::thread([reply] {
                std::this_thread::sleep_for(300ms);
                reply(HttpResponse{201, "text/plain", "late but here", {}});
            });
        });
    Client c(server->server.port());
    ASSERT_TRUE(c.send("POST /x HTTP/1.1\r\nHost: a\r\nContent-Length: 0\r\n\r\n"));
    std::this_thread::sleep_for(50ms);
    server->server.stop();
    const std::string r = c.receive("late but here");
    EXPECT_EQ(r.rfind("HTTP/1.1 201", 0), 0u) << r;
    EXPECT_NE(r.find("Connection: close"), std::string::npos);
    server.reset();
    worker.join();
}

}  // namespace
}  // namespace grimbolt::server
