#include "service/HttpTransport.h"

#include "service/CurlLibrary.h"

#include <glog/logging.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long kConnectTimeoutSeconds = 5;
constexpr long kRequestTimeoutSeconds = 20;
constexpr long kMaxRedirects = 5;

struct CurlDeleter {
    void operator()(CURL* curl) const { CurlLibrary::Get()->easy_cleanup(curl); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { CurlLibrary::Get()->slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

// A handle with the settings of every request; null when libcurl cannot be loaded or made one.
CurlHandle NewHandle()
{
    const CurlLibrary::Functions* curl = CurlLibrary::Get();
    if (curl == nullptr)
        return nullptr;
    CurlHandle handle(curl->easy_init());
    if (handle) {
        curl->easy_setopt(handle.get(), CURLOPT_NOSIGNAL, 1L);
        curl->easy_setopt(handle.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl->easy_setopt(handle.get(), CURLOPT_TIMEOUT, kRequestTimeoutSeconds);
        // Redirects are followed as the platform's HTTP layer does, over the web only: an address
        // from a reply (a picture's) must never make the client read a local file or another protocol.
        curl->easy_setopt(handle.get(), CURLOPT_PROTOCOLS_STR, "http,https");
        curl->easy_setopt(handle.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl->easy_setopt(handle.get(), CURLOPT_FOLLOWLOCATION, 1L);
        curl->easy_setopt(handle.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    }
    return handle;
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
    CurlHandle handle = NewHandle();
    if (!handle)
        return kGetJsonError;
    const CurlLibrary::Functions* curl = CurlLibrary::Get();
    std::string url = "http://" + host + ":" + std::to_string(port) + "/" + path;
    // The one extra header line of every request. The request names no accept types, so curl's own
    // "Accept" line goes, and "Expect:" stops it from adding one of its own for large bodies.
    HeaderList headers(curl->slist_append(nullptr, "Content-Type: application/json; charset=utf-8;"));
    headers.reset(curl->slist_append(headers.release(), "Accept:"));
    headers.reset(curl->slist_append(headers.release(), "Expect:"));
    std::string reply;
    curl->easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
    curl->easy_setopt(handle.get(), CURLOPT_USERAGENT, "Kelvue");
    curl->easy_setopt(handle.get(), CURLOPT_HTTPHEADER, headers.get());
    curl->easy_setopt(handle.get(), CURLOPT_POST, 1L);
    curl->easy_setopt(handle.get(), CURLOPT_POSTFIELDS, body.data());
    curl->easy_setopt(handle.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl->easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, AppendWithoutLineFeeds);
    curl->easy_setopt(handle.get(), CURLOPT_WRITEDATA, &reply);
    if (stop.stop_possible()) {
        curl->easy_setopt(handle.get(), CURLOPT_XFERINFOFUNCTION, AbortWhenStopped);
        curl->easy_setopt(handle.get(), CURLOPT_XFERINFODATA, &stop);
        curl->easy_setopt(handle.get(), CURLOPT_NOPROGRESS, 0L);
    }
    if (CURLcode code = curl->easy_perform(handle.get()); code != CURLE_OK) {
        LOG(WARNING) << "HttpPostJson " << path << " failed: " << curl->easy_strerror(code);
        return kGetJsonError;
    }
    SaveLastReply(reply);
    return reply;
}

bool DownloadUrlToFile(const std::string& url, const std::string& fileName)
{
    CurlHandle handle = NewHandle();
    if (!handle)
        return false;
    const CurlLibrary::Functions* curl = CurlLibrary::Get();
    // Written beside the target and renamed when complete, so a failed fetch never leaves a partial
    // picture that would later pass for a downloaded one.
    std::string partPath = fileName + ".part";
    FILE* file = std::fopen(partPath.c_str(), "wb");
    if (file == nullptr)
        return false;
    curl->easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
    curl->easy_setopt(handle.get(), CURLOPT_FAILONERROR, 1L);
    curl->easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
    curl->easy_setopt(handle.get(), CURLOPT_WRITEDATA, file);
    bool ok = curl->easy_perform(handle.get()) == CURLE_OK;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(partPath.c_str(), fileName.c_str()) == 0)
        return true;
    std::remove(partPath.c_str());
    return false;
}
