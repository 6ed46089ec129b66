#include "EchoClients.h"

#include <gloox/client.h>
#include <gloox/message.h>

PlainClient::PlainClient(const std::string& user, const std::string& password, int port)
    : client_(std::make_unique<gloox::Client>(gloox::JID(user + "@" KELVUE_DEVICE_DOMAIN "/bench"), password, -1))
{
    client_->setServer("127.0.0.1");
    client_->setPort(port);
    client_->setTls(gloox::TLSDisabled);
    client_->registerConnectionListener(this);
    client_->registerMessageHandler(this);
}

PlainClient::~PlainClient()
{
    if (thread_.joinable()) {
        client_->disconnect();  // ends the blocking receive loop; benchmark teardown only
        thread_.join();
    }
}

void PlainClient::Start()
{
    thread_ = std::thread([this] { client_->connect(true); });
}

bool PlainClient::WaitConnected(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!connected_.load() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return connected_.load();
}

void PlainClient::Send(const std::string& toUser, const std::string& body)
{
    gloox::Message message(gloox::Message::Chat, gloox::JID(toUser + "@" KELVUE_DEVICE_DOMAIN), body);
    client_->send(message);
}

void PlainClient::onConnect()
{
    connected_.store(true);
    if (onConnected)
        onConnected();
}

void PlainClient::handleMessage(const gloox::Message& msg, gloox::MessageSession*)
{
    if (onMessage && !msg.body().empty())
        onMessage(msg.from().username(), msg.body());
}
