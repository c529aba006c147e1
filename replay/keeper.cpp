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

void Keeper::keep(const Recording& game) {
    pool_.start([this, game] { hall_.offer(game); });
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
