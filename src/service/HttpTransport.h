#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

// The reply text of a request that failed before a reply arrived.
inline constexpr char kGetJsonError[] = "GETJSONERROR";
// A reply larger than this is refused as a failed transfer: no reply of the service comes near it.
inline constexpr std::size_t kMaxReplyBytes = 32u << 20;

// Posts `body` to http://host:port/path with the header "Content-Type: application/json; charset=utf-8;"
// and returns the reply body with its line feeds removed, whatever the HTTP status. Returns
// "GETJSONERROR" when the request failed (no connection in 5 s, no complete reply in 20 s, any transport
// error) and an empty text, sending nothing, when the host is empty. Every reply is also written to
// "temp.txt" in the working directory (owner-only; a failed write is ignored). Blocking, thread-safe
// apart from that shared file. A request whose `stop` is triggered gives up within about a second
// and reports "GETJSONERROR".
std::string HttpPostJson(const std::string& path, const std::string& body, const std::string& host, std::uint16_t port,
                         std::stop_token stop = {});

// Fetches `url` with a GET and stores the body in `fileName`, replacing it. The file appears only when the
// whole body arrived with a status below 400; otherwise nothing is left behind and the result is false.
bool DownloadUrlToFile(const std::string& url, const std::string& fileName);
