#include "shell/online/world_link.h"

namespace grimbolt {

WorldLink::WorldLink(const QString& outbox_folder, QObject* parent)
    : QObject(parent), outbox_(outbox_folder), post_(outbox_, client_) {
    connect(&post_, &WorldPost::changed, this, &WorldLink::changed);
    connect(&post_, &WorldPost::said, this, &WorldLink::said);
}

void WorldLink::set_account(const Account& account) {
    const auto url = WorldClient::server_url(account.server);
    account_ = url ? account : Account{};
    client_.set_server(url.value_or(QUrl()));
    post_.set_token(account_.token);
    post_.post();
}

void WorldLink::join(const QString& server, const QString& name) {
    const auto url = WorldClient::server_url(server);
    if (!url)
        return emit said(tr("это не адрес сервера"));
    if (name.trimmed().isEmpty())
        return emit said(tr("впишите имя"));
    // The claim goes to the server typed; the account changes only when it is the
    // player's.
    auto* client = new WorldClient(this);
    client->set_server(*url);
    const int claim = ++joining_;
    client->join(name.trimmed(), [this, client, claim, server](const WorldClient::Answer& a) {
        client->deleteLater();
        if (claim != joining_)
            return;
        if (a.kind != WorldClient::Answer::Done)
            return emit said(a.status == 409 ? tr("это имя уже занято на сервере") : a.line);
        set_account({server.trimmed(), a.body.value(QStringLiteral("name")).toString(),
                     a.body.value(QStringLiteral("token")).toString()});
        emit claimed(account_);
    });
}

bool WorldLink::send(const QByteArray& recording) {
    if (!joined())
        return false;
    if (post_.send(recording))
        return true;
    emit said(tr("игру не записать в папку отправки %1").arg(outbox_.folder()));
    return false;
}

Outbox::Fate WorldLink::fate(const QByteArray& recording) const {
    return outbox_.fate(Outbox::key_of(recording));
}

}  // namespace grimbolt
