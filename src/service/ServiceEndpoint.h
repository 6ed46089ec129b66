#pragma once

#include <cstdint>
#include <string>

// Paths of the cloud service: the command endpoint (the body's "cmd" selects the operation) and the
// named endpoints "api/<name>.htdy".
inline constexpr char kCommandPath[] = "vyr-api/ws/api/reqCmd";

// The service host (build-time constant KELVUE_SERVICE_HOST) and port 8000, unless a test moved them.
std::string ServiceHost();
std::uint16_t ServicePort();

// Sends one request to the service host and port with HttpPostJson and returns its reply text. On the
// UI thread the request runs on a worker while the windows stay drawn (RequestRunner).
std::string PostServiceRequest(const std::string& path, const std::string& body);

// Points every later request at another host and port (tests start their own service on a free port).
void SetServiceEndpointForTesting(const std::string& host, std::uint16_t port);
