#include "replay/keeper.h"

#include <utility>

namespace grimbolt {

Keeper::Keeper(Hall& hall, QObject* parent) : QObject(parent), hall_(hall) {
    pool_.setMaxThreadCount(1);  // one at a time, in order
    pool_.setExpiryTimeout(-1);
}

Keeper::~Keeper() {
    pool_.waitForDone();
}

void Keeper::keep(const Recording& game, std::function<void(const QByteArray&)> kept) {
    pool_.start([this, game, kept = std::move(kept)] {
        if (!hall_.offer(game) || !kept)
            return;
        QMetaObject::invokeMethod(
            this, [kept, text = QByteArray::fromStdString(game.text())] { kept(text); },
            Qt::QueuedConnection);
    });
}

void Keeper::prove(const QByteArray& text, std::function<void(const Verdict&)> done) {
    pool_.start([this, text, done = std::move(done)] {
        Verdict v = verify(std::string_view(text.constData(), std::size_t(text.size())));
        QMetaObject::invokeMethod(
            this, [done, v = std::move(v)] { done(v); }, Qt::QueuedConnection);
    });
}

void Keeper::list(std::function<void(const std::vector<HallEntry>&)> done) {
    pool_.start([this, done = std::move(done)] {
        std::vector<HallEntry> entries = hall_.entries();
        // Back on the keeper's own thread; dropped if the keeper goes first.
        QMetaObject::invokeMethod(
            this, [done, entries = std::move(entries)] { done(entries); }, Qt::QueuedConnection);
    });
}

void Keeper::wait() {
    pool_.waitForDone();
}

}  // namespace grimbolt
