#pragma once

#include <gloox/connectionlistener.h>
#include <gloox/messagehandler.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace gloox {
class Client;
}

// A plain gloox client on its own thread running the library's blocking receive loop. On each message
// it calls onMessage (on that thread) and may answer through Send.
class PlainClient : public gloox::ConnectionListener, public gloox::MessageHandler {
public:
    PlainClient(const std::string& user, const std::string& password, int port);
    ~PlainClient() override;

    void Start();
    bool WaitConnected(std::chrono::milliseconds timeout);
    // Only from the client's own thread (inside onMessage or onConnected).
    void Send(const std::string& toUser, const std::string& body);

    std::function<void(const std::string& fromUser, const std::string& body)> onMessage;
    std::function<void()> onConnected;

    void onConnect() override;
    void onDisconnect(gloox::ConnectionError) override {}
    bool onTLSConnect(const gloox::CertInfo&) override { return true; }
    void handleMessage(const gloox::Message& msg, gloox::MessageSession*) override;

private:
    std::unique_ptr<gloox::Client> client_;
    std::atomic<bool> connected_{false};
    std::thread thread_;
};
