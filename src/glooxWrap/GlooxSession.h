#pragma once

#include "glooxWrap/XmppSession.h"

#include <gloox/chatstatehandler.h>
#include <gloox/connectionlistener.h>
#include <gloox/loghandler.h>
#include <gloox/messageeventhandler.h>
#include <gloox/messagehandler.h>
#include <gloox/messagesessionhandler.h>
#include <gloox/rosterlistener.h>

#include <memory>
#include <string>

namespace gloox {
class Client;
class MessageSession;
}

// The IM library's session on gloox (libkelvue_xmpp.so): the only part of the client that knows the
// library. It turns gloox's callbacks into the XmppListener's. Not thread-safe (see XmppSession.h): CIMClient calls it under its client lock.
class GlooxSession : public XmppSession,
                     public gloox::RosterListener,
                     public gloox::MessageSessionHandler,
                     public gloox::ConnectionListener,
                     public gloox::LogHandler,
                     public gloox::MessageEventHandler,
                     public gloox::MessageHandler,
                     public gloox::ChatStateHandler {
public:
    GlooxSession(const std::string& jid, const std::string& password, const std::string& server, int port,
                 XmppListener& listener);
    ~GlooxSession() override;

    // XmppSession
    bool Connect() override;
    int Socket() override;
    bool Receive() override;
    void Send(const std::string& jid, const std::string& body) override;
    void Subscribe(const std::string& jid) override;
    void Disconnect() override;

    // gloox::RosterListener
    void handleItemAdded(const gloox::JID&) override {}
    void handleItemSubscribed(const gloox::JID&) override {}
    void handleItemRemoved(const gloox::JID&) override {}
    void handleItemUpdated(const gloox::JID&) override {}
    void handleItemUnsubscribed(const gloox::JID&) override {}
    void handleRoster(const gloox::Roster& roster) override;
    void handleRosterPresence(const gloox::RosterItem& item, const std::string& resource,
                              gloox::Presence::PresenceType presence, const std::string& status) override;
    void handleSelfPresence(const gloox::RosterItem&, const std::string&, gloox::Presence::PresenceType,
                            const std::string&) override {}
    bool handleSubscriptionRequest(const gloox::JID&, const std::string&) override { return true; }
    bool handleUnsubscriptionRequest(const gloox::JID&, const std::string&) override { return true; }
    void handleNonrosterPresence(const gloox::Presence&) override {}
    void handleRosterError(const gloox::IQ&) override {}

    // gloox::MessageSessionHandler
    void handleMessageSession(gloox::MessageSession* session) override;

    // gloox::ConnectionListener
    void onConnect() override;
    void onDisconnect(gloox::ConnectionError error) override;
    void onResourceBind(const std::string&) override {}
    bool onTLSConnect(const gloox::CertInfo&) override { return true; }

    // gloox::LogHandler
    void handleLog(gloox::LogLevel level, gloox::LogArea area, const std::string& message) override;

    // gloox::MessageEventHandler, gloox::ChatStateHandler
    void handleMessageEvent(const gloox::JID&, gloox::MessageEventType) override {}
    void handleChatState(const gloox::JID&, gloox::ChatStateType) override {}

    // gloox::MessageHandler
    void handleMessage(const gloox::Message& msg, gloox::MessageSession* session) override;

private:
    void AttachHandlers(gloox::MessageSession* session);

    XmppListener& listener_;
    std::unique_ptr<gloox::Client> client_;
};
