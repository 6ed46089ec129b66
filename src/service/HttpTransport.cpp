#include "service/HttpTransport.h"

#include <curl/curl.h>
#include <glog/logging.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long kConnectTimeoutSeconds = 5;
constexpr long kRequestTimeoutSeconds = 20;

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

CurlHandle NewHandle()
{
    InitCurlOnce();
    CurlHandle curl(curl_easy_init());
    if (curl) {
        curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, kRequestTimeoutSeconds);
    }
    return curl;
}

// Appends the received bytes without their line feeds; refuses a reply beyond kMaxReplyBytes.
std::size_t AppendWithoutLineFeeds(char* data, std::size_t size, std::size_t count, void* userData)
{
    auto* reply = static_cast<std::string*>(userData);
    std::size_t length = size * count;
    if (reply->size() + length > kMaxReplyBytes)
        return 0;
    for (std::size_t i = 0; i < length; ++i)
        if (data[i] != '\n')
            reply->push_back(data[i]);
    return length;
}

// "temp.txt" holds credentials (the log-in reply), so it is kept readable by its owner only.
void SaveLastReply(const std::string& reply)
{
    int fd = open("temp.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    fchmod(fd, 0600);
    std::size_t written = 0;
    while (written < reply.size()) {
        ssize_t n = write(fd, reply.data() + written, reply.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    close(fd);
}

// Progress callback of a request that may be stopped: a non-zero return aborts the transfer.
int AbortWhenStopped(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::stop_token*>(userData)->stop_requested() ? 1 : 0;
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* userData)
{
    return std::fwrite(data, size, count, static_cast<FILE*>(userData)) * size;
}

}  // namespace

std::string HttpPostJson(const std::string& path, const std::string& body, const std::string& host, std::uint16_t port,
                         std::stop_token stop)
{
    if (host.empty())
        return {};
    CurlHandle curl = NewHandle();
    if (!curl)
        return kGetJsonError;
    std::string url = "http://" + host + ":" + std::to_string(port) + "/" + path;
    // The one extra header line of every request; "Expect:" stops curl from adding its own for large bodies.
    HeaderList headers(curl_slist_append(nullptr, "Content-Type: application/json; charset=utf-8;"));
    headers.reset(curl_slist_append(headers.release(), "Expect:"));
    std::string reply;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "Kelvue");
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, AppendWithoutLineFeeds);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply);
    if (stop.stop_possible()) {
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, AbortWhenStopped);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &stop);
        curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    }
    if (CURLcode code = curl_easy_perform(curl.get()); code != CURLE_OK) {
        LOG(WARNING) << "HttpPostJson " << path << " failed: " << curl_easy_strerror(code);
        return kGetJsonError;
    }
    SaveLastReply(reply);
    return reply;
}

bool DownloadUrlToFile(const std::string& url, const std::string& fileName)
{
    CurlHandle curl = NewHandle();
    if (!curl)
        return false;
    // Written beside the target and renamed when complete, so a failed fetch never leaves a partial
    // picture that would later pass for a downloaded one.
    std::string partPath = fileName + ".part";
    FILE* file = std::fopen(partPath.c_str(), "wb");
    if (file == nullptr)
        return false;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, file);
    bool ok = curl_easy_perform(curl.get()) == CURLE_OK;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(partPath.c_str(), fileName.c_str()) == 0)
        return true;
    std::remove(partPath.c_str());
    return false;
}
