#pragma once

// The interface of the IM library (libkelvue_xmpp.so, GlooxSession): one XMPP connection, made with
// CreateXmppSession. The client loads the library when its IM connection first starts
// (glooxWrap/XmppLibrary.h), so that gloox and its TLS stack are no part of the process before; it uses
// nothing of the library but that function and the virtual operations below. Their destructors are
// inline so that the client has the type information of both interfaces (the undefined-behaviour
// sanitizer checks calls through them against it).
//
// The library is not thread-safe: one thread at a time may call a session, and the session calls its
// listener only from inside Connect, Receive, Send and Subscribe, on the calling thread.

#include <string>
#include <vector>

#define KELVUE_XMPP_API __attribute__((visibility("default")))

// A contact's presence as the IM events carry it (wParam of WM_IM_PRESENCE).
enum XmppPresence : int { kXmppAvailable = 0, kXmppUnavailable = 5 };

// What a log line of the library is about.
enum class XmppLogKind { Sent, Received, Other };

// What a session reports.
class XmppListener {
public:
    virtual ~XmppListener() = default;
    // The session is established (bound, the roster requested).
    virtual void OnConnected() = 0;
    // The connection ended; `error` is the library's code for why.
    virtual void OnDisconnected(int error) = 0;
    // The whole roster, the contacts' names in the server's order; again after every new connection.
    virtual void OnRoster(const std::vector<std::string>& names) = 0;
    // A contact (its user name) became available or unavailable; other presences are not reported.
    virtual void OnRosterPresence(const std::string& deviceId, XmppPresence presence) = 0;
    // A message with a body from a contact (its user name); error bounces are not reported.
    virtual void OnMessage(const std::string& deviceId, const std::string& body) = 0;
    // A line of the library's log (every stanza sent and received among them).
    virtual void OnLog(XmppLogKind kind, const std::string& line) = 0;
};

// One connection, plain TCP without TLS, driven by its owner: Connect starts it without blocking, then
// the owner waits on Socket() and calls Receive whenever there is input.
class XmppSession {
public:
    virtual ~XmppSession() = default;
    // Opens the connection; false when none could be opened.
    virtual bool Connect() = 0;
    // The connection's socket; -1 when there is none.
    virtual int Socket() = 0;
    // Processes the input waiting on the socket; false once the connection has ended.
    virtual bool Receive() = 0;
    // Sends a chat message to `jid`; its replies come to OnMessage.
    virtual void Send(const std::string& jid, const std::string& body) = 0;
    // Asks for the presence of `jid` (a subscription request).
    virtual void Subscribe(const std::string& jid) = 0;
    // Closes the connection.
    virtual void Disconnect() = 0;
};

// A session of `jid` ("user@domain/resource") on server:port that reports to `listener`, which must
// outlive it; deleted by its owner.
extern "C" KELVUE_XMPP_API XmppSession* CreateXmppSession(const char* jid, const char* password, const char* server,
                                                          int port, XmppListener* listener);
