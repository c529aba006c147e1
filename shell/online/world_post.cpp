#include "shell/online/world_post.h"

#include "shell/online/outbox.h"
#include "shell/online/world_client.h"

namespace grimbolt {

WorldPost::WorldPost(Outbox& outbox, WorldClient& client, QObject* parent)
    : QObject(parent), outbox_(outbox), client_(client) {
    retry_.setSingleShot(true);
    retry_.setInterval(std::chrono::minutes(1));
    connect(&retry_, &QTimer::timeout, this, &WorldPost::post);
}

bool WorldPost::send(const QByteArray& recording) {
    const bool put = outbox_.put(recording);
    emit changed();
    post();
    return put;
}

void WorldPost::post() {
    if (sending_ || token_.isEmpty())
        return;
    sending_ = true;
    retry_.stop();
    next();
}

void WorldPost::next() {
    const QStringList waiting = outbox_.waiting();
    const QString key = waiting.value(0);
    const QByteArray recording = key.isEmpty() ? QByteArray() : outbox_.recording(key);
    if (!key.isEmpty() && recording.isEmpty()) {
        // Not what its name says: put aside, never read again, and the window answers
        // before the next file is read.
        outbox_.put_aside(key);
        QTimer::singleShot(0, this, &WorldPost::next);
        return;
    }
    if (key.isEmpty()) {
        sending_ = false;
        emit idle();
        return;
    }
    client_.send(recording, token_, [this, key](const WorldClient::Answer& a) {
        if (a.kind == WorldClient::Answer::Later) {
            sending_ = false;
            emit said(a.line);
            retry_.start();
            emit idle();
            return;
        }
        Outbox::Fate fate;
        fate.kind =
            a.kind == WorldClient::Answer::Done ? Outbox::Fate::Ranked : Outbox::Fate::Refused;
        fate.rank = a.body.value(QStringLiteral("rank")).toInteger();
        fate.id = a.body.value(QStringLiteral("id")).toInteger();
        fate.why = a.line;
        if (!outbox_.settle(key, fate)) {
            // The fate could not be written (a full disk): the game waits, and is sent
            // again later, when the server answers for it as kept already.
            sending_ = false;
            emit said(tr("не записать ответ сервера"));
            retry_.start();
            emit idle();
            return;
        }
        emit changed();
        next();
    });
}

}  // namespace grimbolt
