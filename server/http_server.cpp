#include "server/http_server.h"

#include <algorithm>
#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

namespace grimbolt::server {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

std::string HttpRequest::header(std::string_view name) const {
    std::string joined;
    for (const auto& [key, value] : headers) {
        if (beast::iequals(key, name))
            joined += (joined.empty() ? "" : ", ") + value;
    }
    return joined;
}

namespace {
class Session;
}

struct HttpServer::State : std::enable_shared_from_this<HttpServer::State> {
    HttpLimits limits;
    Handler handler;
    Log log;
    Admit admit;
    net::io_context io;
    // The acceptor is touched on its own strand only: accepting, and closing at a stop.
    tcp::acceptor acceptor{net::make_strand(io)};
    net::steady_timer pause{acceptor.get_executor()};
    std::chrono::steady_clock::time_point last_told;
    std::atomic<int> open{0};
    std::atomic<std::size_t> bodies{0};  // bytes of the bodies being read
    std::atomic<bool> stopping{false};
    std::mutex sessions_lock;
    std::vector<std::weak_ptr<Session>> sessions;
    std::unordered_map<std::string, int> per_address;  // under sessions_lock

    State(HttpLimits l, Handler h, Log g, Admit a)
        : limits(l),
          handler(std::move(h)),
          log(std::move(g)),
          admit(std::move(a)),
          io(std::max(1, l.threads)) {}
    void accept();
    void take(tcp::socket socket);
};

namespace {

// An address as the server names it: an IPv4 client of a dual-stack socket as IPv4.
std::string address_of(const tcp::socket& socket) {
    beast::error_code ec;
    auto address = socket.remote_endpoint(ec).address();
    if (ec)
        return {};
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = net::ip::make_address_v4(net::ip::v4_mapped, address.to_v6());
    return address.to_string();
}

// Whose connections count together: an address, or an IPv6 client's whole /64, which
// one machine commonly has.
std::string client_of(const std::string& address) {
    beast::error_code ec;
    const auto ip = net::ip::make_address(address, ec);
    if (ec || !ip.is_v6())
        return address;
    auto bytes = ip.to_v6().to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return net::ip::address_v6(bytes).to_string() + "/64";
}

}  // namespace

namespace {

class Session : public std::enable_shared_from_this<Session> {
  public:
    // The session keeps the server's state, and its io_context, alive: an answer made on
    // another thread may end the session after the server itself is gone.
    Session(tcp::socket socket, std::string peer, std::shared_ptr<HttpServer::State> state)
        : owner_(std::move(state)),
          stream_(std::move(socket)),
          state_(*owner_),
          peer_(std::move(peer)),
          client_(client_of(peer_)) {
        ++state_.open;
    }
    ~Session() {
        let_go_of_body();
        --state_.open;
        const std::lock_guard lock(state_.sessions_lock);
        if (--state_.per_address[client_] <= 0)
            state_.per_address.erase(client_);
    }
    const std::string& client() const { return client_; }
    // Whether it waits for a request's head: the connection to end when the server is
    // full or stops, since it costs its client nothing to open another.
    bool idle() const { return waiting_; }

    void start() { read_head(); }

    // Called on the session's own strand: ends a connection that waits for a request
    // or is still reading one. One being answered is let finish.
    void end_if_waiting() {
        if (waiting_ || reading_)
            stream_.socket().close();
    }
    void end_if_idle() {
        if (waiting_)
            stream_.socket().close();
    }
    net::any_io_executor executor() { return stream_.get_executor(); }

  private:
    void read_head() {
        if (state_.stopping)
            return close();
        parser_.emplace();
        parser_->body_limit(state_.limits.body_bytes);
        parser_->header_limit(std::uint32_t(state_.limits.header_bytes));
        waiting_ = true;
        stream_.expires_after(state_.limits.idle_timeout);
        http::async_read_header(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code ec, std::size_t) { self->on_head(ec); });
    }

    void on_head(beast::error_code ec) {
        waiting_ = false;
        if (ec)
            return refuse(ec, "waiting for a request");
        // A body comes with its length: no chunks, so no trailers of any size.
        if (parser_->get().count(http::field::transfer_encoding) != 0)
            return answer_and_close(411, "send the body with a Content-Length\n");
        if (state_.admit) {
            HttpRequest head = request_of(parser_->get());
            std::size_t limit = state_.limits.body_bytes;
            if (std::optional<HttpResponse> answer = state_.admit(head, limit, hold_)) {
                keep_alive_ = false;
                return write(std::move(*answer), true);
            }
            if (parser_->content_length().value_or(0) > limit) {
                return answer_and_close(413,
                                        "the body is larger than this server takes for "
                                        "this request\n");
            }
        }
        if (!hold_body(parser_->content_length().value_or(0))) {
            state_.log("asked " + peer_ + " to come back: too many bodies being read");
            HttpResponse busy{503,
                              "application/json",
                              "{\"error\":\"too many uploads at once\"}\n",
                              {{"Retry-After", "5"}}};
            keep_alive_ = false;
            return write(std::move(busy), true);
        }
        if (beast::iequals(parser_->get()[http::field::expect], "100-continue")) {
            auto go_on =
                std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
            http::async_write(stream_, *go_on,
                              [self = shared_from_this(), go_on](beast::error_code e, std::size_t) {
                                  if (e)
                                      return self->close();
                                  self->read_body();
                              });
            return;
        }
        read_body();
    }

    // The body's length is taken from the bytes all bodies may hold at once, until it is
    // read (or the connection ends).
    bool hold_body(std::size_t length) {
        std::size_t now = state_.bodies.load();
        do {
            if (now + length > state_.limits.bodies_bytes && length > 0)
                return false;
        } while (!state_.bodies.compare_exchange_weak(now, now + length));
        held_ = length;
        return true;
    }
    void let_go_of_body() { state_.bodies -= std::exchange(held_, 0); }

    void read_body() {
        reading_ = true;
        stream_.expires_after(state_.limits.read_timeout);
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) {
                             self->on_request(ec);
                         });
    }

    // A request that could not be read: too large or malformed is answered, a client
    // that went quiet or away is let go.
    void refuse(beast::error_code ec, const char* when) {
        if (ec == http::error::body_limit) {
            state_.log("refused a body from " + peer_ + ": larger than " +
                       std::to_string(state_.limits.body_bytes) + " bytes");
            return answer_and_close(413, "the body is larger than this server takes\n");
        }
        if (ec == http::error::header_limit)
            return answer_and_close(431, "the request's head is too large\n");
        if (ec == beast::error::timeout) {
            state_.log("cut off " + peer_ + ": too slow " + when);
            return close();
        }
        if (ec == http::error::end_of_stream || ec == net::error::eof ||
            ec == net::error::operation_aborted || ec == net::error::connection_reset ||
            ec == net::error::bad_descriptor)
            return close();
        state_.log("bad request from " + peer_ + ": " + ec.message());
        answer_and_close(400, "malformed request\n");
    }

    void on_request(beast::error_code ec) {
        reading_ = false;
        let_go_of_body();
        hold_.reset();
        if (ec)
            return refuse(ec, "sending a request");
        http::request<http::string_body> message = parser_->release();
        keep_alive_ = message.keep_alive();
        HttpRequest request = request_of(message);
        request.body = std::move(message.body());
        request.admitted = static_cast<bool>(state_.admit);
        // No deadline while the answer is made: a proof takes what it takes.
        stream_.expires_never();
        auto work = std::make_shared<net::executor_work_guard<net::io_context::executor_type>>(
            state_.io.get_executor());
        auto self = shared_from_this();
        auto answered = std::make_shared<std::atomic<bool>>(false);
        state_.handler(std::move(request), [self, work, answered](HttpResponse response) {
            if (answered->exchange(true))
                return;  // a second answer to one request is none
            net::post(self->executor(), [self, work, response = std::move(response)]() mutable {
                self->write(std::move(response));
            });
        });
    }

    void write(HttpResponse r, bool last = false) {
        auto message = std::make_shared<http::response<http::string_body>>(
            static_cast<http::status>(r.status), 11);
        message->set(http::field::server, "grimbolt-server");
        message->set(http::field::content_type, r.content_type);
        for (const auto& [name, value] : r.headers)
            message->set(name, value);
        message->body() = std::move(r.body);
        message->keep_alive(keep_alive_ && !last && !state_.stopping);
        message->prepare_payload();
        stream_.expires_after(state_.limits.read_timeout);
        http::async_write(stream_, *message,
                          [self = shared_from_this(), message](beast::error_code ec, std::size_t) {
                              if (ec || !message->keep_alive())
                                  return self->close();
                              self->read_head();
                          });
    }

    HttpRequest request_of(const http::request<http::string_body>& message) const {
        HttpRequest request;
        request.method = std::string(message.method_string());
        request.target = std::string(message.target());
        request.peer = peer_;
        for (const auto& field : message)
            request.headers.emplace_back(std::string(field.name_string()),
                                         std::string(field.value()));
        return request;
    }

    void answer_and_close(int status, std::string text) {
        HttpResponse r;
        r.status = status;
        r.body = std::move(text);
        write(std::move(r), true);
    }

    void close() {
        beast::error_code ec;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ec);
        stream_.socket().close(ec);
    }

    std::shared_ptr<HttpServer::State> owner_;  // first made, last gone
    beast::tcp_stream stream_;
    HttpServer::State& state_;
    std::string peer_;
    std::string client_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    bool keep_alive_ = false;
    std::atomic<bool> waiting_ = false;  // read by the acceptor, to make room
    bool reading_ = false;
    std::size_t held_ = 0;        // of the bodies' bytes
    std::shared_ptr<void> hold_;  // what the admission keeps while the body comes
};

}  // namespace

void HttpServer::State::accept() {
    acceptor.async_accept(net::make_strand(io), [this](beast::error_code ec, tcp::socket socket) {
        if (!acceptor.is_open())
            return;
        if (ec) {
            if (ec == net::error::operation_aborted)
                return;
            // Out of descriptors, say: told once a second, tried again a moment later.
            const auto now = std::chrono::steady_clock::now();
            if (now - last_told > std::chrono::seconds(1)) {
                last_told = now;
                log("accept: " + ec.message());
            }
            pause.expires_after(std::chrono::milliseconds(50));
            pause.async_wait([this](beast::error_code) {
                if (!stopping)
                    accept();
            });
            return;
        }
        take(std::move(socket));
        if (!stopping)
            accept();
    });
}

void HttpServer::State::take(tcp::socket socket) {
    std::string peer = address_of(socket);
    const std::string client = client_of(peer);
    std::shared_ptr<Session> session;
    // Sessions looked at are let go after the lock: the last hold on one ends it, and
    // its end takes the lock.
    std::vector<std::shared_ptr<Session>> looked_at;
    {
        const std::lock_guard lock(sessions_lock);
        std::erase_if(sessions, [](const std::weak_ptr<Session>& s) { return s.expired(); });
        int& from_peer = per_address[client];
        // Full: the oldest connection that waits for a request makes room, so
        // connections held open and idle shut no one out. Still full (every one busy),
        // or full for this client: let go at once; the others keep being served.
        bool full = open >= limits.connections;
        if (full && from_peer < limits.connections_per_address &&
            open < limits.connections + limits.connections / 8 + 1) {
            for (const std::weak_ptr<Session>& s : sessions) {
                const auto idle = looked_at.emplace_back(s.lock());
                if (idle && idle->idle()) {
                    net::post(idle->executor(), [idle] { idle->end_if_idle(); });
                    full = false;
                    break;
                }
            }
        }
        if (full || from_peer >= limits.connections_per_address) {
            if (from_peer == 0)
                per_address.erase(client);
            beast::error_code ignored;
            socket.close(ignored);
            return;
        }
        ++from_peer;
        session = std::make_shared<Session>(std::move(socket), std::move(peer), shared_from_this());
        sessions.push_back(session);
    }
    net::dispatch(session->executor(), [session] { session->start(); });
}

HttpServer::HttpServer(HttpLimits limits, Handler handler, Log log, Admit admit)
    : state_(
          std::make_shared<State>(limits, std::move(handler), std::move(log), std::move(admit))) {}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::listen(const std::string& address, std::uint16_t port, std::string* why) {
    beast::error_code ec;
    const auto ip = net::ip::make_address(address, ec);
    if (ec) {
        *why = "no address " + address + ": " + ec.message();
        return false;
    }
    const tcp::endpoint at(ip, port);
    auto& acceptor = state_->acceptor;
    if (acceptor.open(at.protocol(), ec) ||
        acceptor.set_option(net::socket_base::reuse_address(true), ec) || acceptor.bind(at, ec) ||
        acceptor.listen(net::socket_base::max_listen_connections, ec)) {
        *why = "cannot listen on " + address + ":" + std::to_string(port) + ": " + ec.message();
        return false;
    }
    state_->accept();
    return true;
}

std::uint16_t HttpServer::port() const {
    beast::error_code ec;
    const auto at = state_->acceptor.local_endpoint(ec);
    return ec ? 0 : at.port();
}

void HttpServer::run() {
    // A fault in one request's handling is told and costs that connection, not the server.
    const auto serve = [state = state_] {
        for (;;) {
            try {
                state->io.run();
                return;
            } catch (const std::exception& e) {
                state->log(std::string("error: ") + e.what());
            }
        }
    };
    std::vector<std::thread> others;
    for (int i = 1; i < state_->limits.threads; ++i)
        others.emplace_back(serve);
    serve();
    for (std::thread& t : others)
        t.join();
}

void HttpServer::stop() {
    const std::shared_ptr<State> state = state_;
    if (state->stopping.exchange(true))
        return;
    net::post(state->acceptor.get_executor(), [state] {
        beast::error_code ec;
        state->acceptor.close(ec);
        state->pause.cancel();
        std::vector<std::shared_ptr<Session>> open;  // let go after the lock, as in take()
        {
            const std::lock_guard lock(state->sessions_lock);
            for (const std::weak_ptr<Session>& s : state->sessions)
                open.push_back(s.lock());
        }
        for (const auto& session : open) {
            if (session)
                net::post(session->executor(), [session] { session->end_if_waiting(); });
        }
    });
}

int HttpServer::open_connections() const {
    return state_->open;
}

}  // namespace grimbolt::server
