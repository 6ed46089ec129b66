#pragma once

#include "app/UserSession.h"
#include "service/ServiceEndpoint.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A stand-in for the cloud service on a free loopback port: records every POST and answers it with the
// reply set last (or one computed by a handler), after a delay when one is set (a slow service), and
// serves files over GET. Requests are handled on the server's threads; every member is guarded by
// mutex_.
class FakeService {
public:
    struct Request {
        std::string path;  // without the leading "/"
        std::string body;
        std::string contentType;
        bool hasAccept = false;  // whether an "Accept" header line came
    };

    FakeService()
    {
        server_.Post(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
            std::unique_lock<std::mutex> lock(mutex_);
            if (Redirected(request.path, response))
                return;
            requests_.push_back({request.path.substr(1), request.body, request.get_header_value("Content-Type"),
                                 request.has_header("Accept")});
            const Request received = requests_.back();
            // A slow service: the request is recorded at once, the answer comes after the delay (or
            // when the service stops).
            stopped_.wait_for(lock, delay_, [this] { return stopping_; });
            std::string reply = handler_ ? handler_(received) : reply_;
            response.status = status_;
            response.set_content(reply, "application/json");
        });
        server_.Get(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++gets_[request.path];
            if (Redirected(request.path, response))
                return;
            auto file = files_.find(request.path);
            if (file == files_.end()) {
                response.status = 404;
                response.set_content("<html>not found</html>", "text/html");
                return;
            }
            response.set_content(file->second, "application/octet-stream");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }

    ~FakeService()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        stopped_.notify_all();
        server_.stop();
        thread_.join();
    }

    int Port() const { return port_; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // Sends every later service request of the program here.
    void UseAsService() { SetServiceEndpointForTesting("127.0.0.1", static_cast<std::uint16_t>(port_)); }

    void SetReply(const std::string& reply, int status = 200)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reply_ = reply;
        status_ = status;
        handler_ = nullptr;
    }
    void SetHandler(std::function<std::string(const Request&)> handler)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handler_ = std::move(handler);
        status_ = 200;
    }
    // Every later POST is answered only after `delay`.
    void SetDelay(std::chrono::milliseconds delay)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        delay_ = delay;
    }
    void ServeFile(const std::string& path, const std::string& content)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        files_[path] = content;
    }

    // Requests of `path` (GET or POST) are answered with a redirect of `status` to `location`.
    void Redirect(const std::string& path, const std::string& location, int status)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        redirects_[path] = {location, status};
    }

    std::vector<Request> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    std::size_t RequestCount()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_.size();
    }
    Request Last()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_.empty() ? Request{} : requests_.back();
    }
    int GetCount(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return gets_[path];
    }

private:
    bool Redirected(const std::string& path, httplib::Response& response)
    {
        auto redirect = redirects_.find(path);
        if (redirect == redirects_.end())
            return false;
        response.set_redirect(redirect->second.first, redirect->second.second);
        return true;
    }

    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Request> requests_;
    std::string reply_ = "{\"code\":0}";
    int status_ = 200;
    std::function<std::string(const Request&)> handler_;
    std::map<std::string, std::string> files_;
    std::map<std::string, int> gets_;
    std::map<std::string, std::pair<std::string, int>> redirects_;
    std::chrono::milliseconds delay_{0};
    bool stopping_ = false;
    std::condition_variable stopped_;
};

// Logs the process's session in through `service` as account "13800000000" / "pw" with client "C1",
// organisation "O1" and role "R1"; `son` makes it a sub-account. Later replies are {"code":0}.
inline int LogInThrough(FakeService& service, bool son = false)
{
    service.UseAsService();
    service.SetReply(std::string("{\"code\":0,\"msg\":\"\",\"result\":{\"clientInfoId\":\"C1\",\"orgId\":\"O1\",") +
                     "\"isSonAccount\":" + (son ? "1" : "0") +
                     ",\"imPassword\":\"imp\",\"clientRoleId\":\"R1\",\"im_server_ip\":\"127.0.0.1\",\"im_server_port\":5222}}");
    int result = UserSession::Instance()->Login("13800000000", "pw");
    service.SetReply("{\"code\":0}");
    return result;
}
