#include "service/ServiceEndpoint.h"

#include "service/HttpTransport.h"
#include "ui/RequestRunner.h"

#include <mutex>

#ifndef KELVUE_SERVICE_HOST
#define KELVUE_SERVICE_HOST "127.0.0.1"
#endif

namespace {

constexpr std::uint16_t kServicePort = 8000;

struct Endpoint {
    std::mutex mutex;
    std::string host = KELVUE_SERVICE_HOST;
    std::uint16_t port = kServicePort;
};

Endpoint& TheEndpoint()
{
    static Endpoint endpoint;
    return endpoint;
}

}  // namespace

std::string ServiceHost()
{
    std::lock_guard<std::mutex> lock(TheEndpoint().mutex);
    return TheEndpoint().host;
}

std::uint16_t ServicePort()
{
    std::lock_guard<std::mutex> lock(TheEndpoint().mutex);
    return TheEndpoint().port;
}

std::string PostServiceRequest(const std::string& path, const std::string& body)
{
    const std::string host = ServiceHost();
    const std::uint16_t port = ServicePort();
    std::string reply;
    RequestRunner::Run([&](std::stop_token stop) { reply = HttpPostJson(path, body, host, port, stop); });
    return reply;
}

void SetServiceEndpointForTesting(const std::string& host, std::uint16_t port)
{
    std::lock_guard<std::mutex> lock(TheEndpoint().mutex);
    TheEndpoint().host = host;
    TheEndpoint().port = port;
}
