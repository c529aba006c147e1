#include "fuzz/fuzz_server.h"

#include <QTemporaryDir>
#include <future>
#include <string>
#include <string_view>

#include "server/players.h"
#include "server/store.h"
#include "server/world.h"

namespace grimbolt::server {
namespace {

struct Served {
    QTemporaryDir dir;
    ServerConfig config;
    std::unique_ptr<Store> store;
    std::unique_ptr<World> world;
    QByteArray token = new_token();

    Served() {
        config.data = dir.path();
        config.per_minute = 1 << 30;
        config.uploads_per_minute = 1 << 30;
        config.games_per_day = 1 << 30;
        config.proxies = QStringList{QStringLiteral("127.0.0.1")};
        store = std::make_unique<Store>(config.store());
        QString why;
        store->open(&why);
        store->claim(QStringLiteral("Fuzz"), token_hash(token));
        world = std::make_unique<World>(config, *store, [](const QString&) {});
    }
};

std::string_view line(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view first = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return first;
}

}  // namespace

int fuzz_server(const char* data, std::size_t size) {
    static Served* served = new Served;  // one database for the whole run
    std::string_view rest(data, size);
    HttpRequest request;
    request.method = std::string(line(rest));
    request.target = std::string(line(rest));
    request.peer = "127.0.0.1";
    request.headers.emplace_back("X-Forwarded-For", std::string(line(rest)));
    if (line(rest) == "token")
        request.headers.emplace_back("Authorization", "Bearer " + served->token.toStdString());
    request.body = std::string(rest);
    std::promise<HttpResponse> answer;
    std::future<HttpResponse> later = answer.get_future();
    served->world->handle(std::move(request),
                          [&answer](HttpResponse r) { answer.set_value(std::move(r)); });
    return later.get().status;
}

}  // namespace grimbolt::server
