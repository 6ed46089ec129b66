#include "glooxWrap/GlooxSession.h"

#include <gloox/chatstatefilter.h>
#include <gloox/client.h>
#include <gloox/connectiontcpbase.h>
#include <gloox/disco.h>
#include <gloox/message.h>
#include <gloox/messageeventfilter.h>
#include <gloox/messagesession.h>
#include <gloox/rostermanager.h>

#include <vector>

XmppSession* CreateXmppSession(const char* jid, const char* password, const char* server, int port,
                               XmppListener* listener)
{
    return new GlooxSession(jid, password, server, port, *listener);
}

GlooxSession::GlooxSession(const std::string& jid, const std::string& password, const std::string& server, int port,
                           XmppListener& listener)
    : listener_(listener), client_(std::make_unique<gloox::Client>(gloox::JID(jid), password, -1))
{
    client_->setServer(server);
    client_->setPort(port);
    client_->registerConnectionListener(this);
    client_->registerMessageSessionHandler(this, 0);
    client_->rosterManager()->registerRosterListener(this, true);
    client_->disco()->setVersion("messageTest", gloox::GLOOX_VERSION, "Linux");
    client_->disco()->setIdentity("client", "bot", "");
    client_->disco()->addFeature(gloox::XMLNS_CHAT_STATES);
    client_->setTls(gloox::TLSDisabled);
    client_->logInstance().registerLogHandler(gloox::LogLevelDebug, gloox::LogAreaAll, this);
}

GlooxSession::~GlooxSession() = default;

bool GlooxSession::Connect()
{
    // Non-blocking: the owner runs the receive loop, so it alone decides when the library is entered.
    return client_->connect(false);
}

int GlooxSession::Socket()
{
    auto* tcp = dynamic_cast<gloox::ConnectionTCPBase*>(client_->connectionImpl());
    return tcp != nullptr ? tcp->socket() : -1;
}

bool GlooxSession::Receive()
{
    return client_->recv(0) == gloox::ConnNoError;
}

void GlooxSession::Send(const std::string& jid, const std::string& body)
{
    auto* session = new gloox::MessageSession(client_.get(), gloox::JID(jid), true, 0, true);
    AttachHandlers(session);
    session->send(body, gloox::EmptyString);
    // Replies come in a session the library creates for the camera (handleMessageSession).
    client_->disposeMessageSession(session);
}

void GlooxSession::Subscribe(const std::string& jid)
{
    client_->rosterManager()->subscribe(gloox::JID(jid), gloox::EmptyString, gloox::StringList(), gloox::EmptyString);
}

void GlooxSession::Disconnect()
{
    client_->disconnect();
}

void GlooxSession::AttachHandlers(gloox::MessageSession* session)
{
    session->registerMessageHandler(this);
    // The session owns its filters (and the library its sessions).
    (new gloox::MessageEventFilter(session))->registerMessageEventHandler(this);
    (new gloox::ChatStateFilter(session))->registerChatStateHandler(this);
}

void GlooxSession::handleMessageSession(gloox::MessageSession* session)
{
    AttachHandlers(session);
}

void GlooxSession::handleMessage(const gloox::Message& msg, gloox::MessageSession* session)
{
    // An error bounce may carry our own command back; it is no reply from the camera.
    if (msg.subtype() == gloox::Message::Error)
        return;
    const std::string& body = msg.body("default");
    if (body.empty())
        return;
    listener_.OnMessage(session != nullptr ? session->target().username() : msg.from().username(), body);
}

void GlooxSession::onConnect()
{
    listener_.OnConnected();
}

void GlooxSession::onDisconnect(gloox::ConnectionError error)
{
    listener_.OnDisconnected(static_cast<int>(error));
}

void GlooxSession::handleRoster(const gloox::Roster& roster)
{
    std::vector<std::string> names;
    names.reserve(roster.size());
    for (const auto& item : roster)
        names.push_back(item.second->name());
    listener_.OnRoster(names);
}

void GlooxSession::handleRosterPresence(const gloox::RosterItem& item, const std::string&,
                                        gloox::Presence::PresenceType presence, const std::string&)
{
    if (presence == gloox::Presence::Available)
        listener_.OnRosterPresence(item.jidJID().username(), kXmppAvailable);
    else if (presence == gloox::Presence::Unavailable)
        listener_.OnRosterPresence(item.jidJID().username(), kXmppUnavailable);
}

void GlooxSession::handleLog(gloox::LogLevel, gloox::LogArea area, const std::string& message)
{
    const XmppLogKind kind = area == gloox::LogAreaXmlOutgoing   ? XmppLogKind::Sent
                             : area == gloox::LogAreaXmlIncoming ? XmppLogKind::Received
                                                                 : XmppLogKind::Other;
    listener_.OnLog(kind, message);
}
