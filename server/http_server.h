#pragma once
// The server's HTTP, on Boost.Beast: HTTP/1.1 with keep-alive, a bounded number of
// connections, a limit on a request's body, and deadlines for reading a request and for
// a connection left idle. A request is handed over whole; its answer may come later,
// from any thread, so that a slow job never holds the threads that serve. A body comes
// with its Content-Length: chunked bodies (and their trailers) are refused with 411.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace grimbolt::server {

struct HttpRequest {
    std::string method;  // "GET", "POST"...
    std::string target;  // the path and query, as sent: "/api/v1/boards/classic?around=Ann"
    std::string body;
    std::string peer;  // the connection's own address (an IPv4 one as such, never mapped)
    std::vector<std::pair<std::string, std::string>> headers;
    bool admitted = false;  // its head was let in already (HttpServer::Admit)
    // A header's value ("" when absent): every line of that name, joined by ", " in
    // order, as HTTP reads a list; names are compared without regard to case.
    std::string header(std::string_view name) const;
};

struct HttpResponse {
    int status = 200;
    std::string content_type = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

struct HttpLimits {
    std::size_t body_bytes = 9 * 1024 * 1024;
    std::size_t header_bytes = 16 * 1024;
    std::chrono::milliseconds read_timeout{30'000};  // a request's body, once its head is in
    std::chrono::milliseconds idle_timeout{15'000};  // waiting for a request's head, whole
    int connections = 512;
    int connections_per_address = 32;  // one client (an IPv6 /64) cannot take every connection
    // Bodies being read at once, in all: beyond it an upload is asked to come back
    // before its body is read, so claimed lengths never add up to more memory.
    std::size_t bodies_bytes = 64 * 1024 * 1024;
    int threads = 2;
};

class HttpServer {
  public:
    using Reply = std::function<void(HttpResponse)>;
    // Called on a thread of the server for every whole request; `reply` may be called
    // later, once, from any thread.
    using Handler = std::function<void(HttpRequest, Reply)>;
    // Told of what happens to connections, a line each (cut off, refused...).
    using Log = std::function<void(const std::string&)>;
    // Looks at a request's head before its body is read: an answer sends it back at
    // once (unknown player, too many requests...), and `body_limit` may be lowered for
    // what the request is. What it puts in `hold` is kept until the body is read or the
    // connection ends. Called on a thread of the server.
    using Admit = std::function<std::optional<HttpResponse>(
        const HttpRequest& head, std::size_t& body_limit, std::shared_ptr<void>& hold)>;

    HttpServer(HttpLimits limits, Handler handler, Log log, Admit admit = {});
    ~HttpServer();

    // Listens on the address and port (0: any free port); false with the reason.
    bool listen(const std::string& address, std::uint16_t port, std::string* why);
    std::uint16_t port() const;
    // Serves on the limits' threads until stop(); the calling thread is one of them.
    void run();
    // Stops taking connections and ends the ones that wait; requests being answered
    // are answered first. Safe from any thread and from a signal's handler thread.
    void stop();
    int open_connections() const;

    struct State;  // the connections' own, inside

  private:
    std::shared_ptr<State> state_;
};

}  // namespace grimbolt::server
