#include "CloudService.h"

#include "DemoSeed.h"
#include "Envelope.h"
#include "ImProvisioner.h"
#include "Refusal.h"
#include "Schema.h"

#include <chrono>
#include <ctime>
#include <iostream>
#include <regex>
#include <thread>

namespace cloudsim {

namespace {

std::unique_ptr<ImAccounts> MakeImAccounts(Database& db, const ServiceOptions& options) {
    if (options.imDataDir.empty()) return std::make_unique<NoImAccounts>();
    return std::make_unique<ImProvisioner>(db, options.imDataDir, options.imDomain, options.imConfig);
}

bool IsSeeded(Database& db) {
    Transaction tx(db);
    return tx.Int("SELECT COUNT(*) FROM account").value_or(0) > 0;
}

}  // namespace

CloudService::CloudService(const ServiceOptions& options)
    : db(options.dbPath),
      im(MakeImAccounts(db, options)),
      accounts(db, loginGate, options.imHost, options.imPort),
      tree(db, *im),
      alarms(db),
      subAccounts(db, *im),
      roles(db),
      control(db, alarms, [this] { Reset(); }),
      staging(db, alarms) {
    {
        Transaction tx(db);
        CreateSchema(tx);
        tx.Commit();
    }
    if (options.reset || !IsSeeded(db)) Reset();
    accounts.Register(table);
    tree.Register(table);
    alarms.Register(table);
    subAccounts.Register(table);
    roles.Register(table);
    Routes();
}

CloudService::~CloudService() { Stop(); }

void CloudService::Reset() {
    {
        Transaction tx(db);
        DropSchema(tx);
        CreateSchema(tx);
        SeedDemoData(tx, std::time(nullptr));
        tx.Commit();
    }
    loginGate.Forget();
    im->Sync();
}

RequestContext CloudService::ContextOf(const httplib::Request& request) const {
    static const std::regex plainHost("[A-Za-z0-9.:\\[\\]-]{1,100}");
    std::string host = request.get_header_value("Host");
    if (!std::regex_match(host, plainHost)) host = "127.0.0.1:" + std::to_string(boundPort);
    return RequestContext{"http://" + host};
}

void CloudService::Serve(const httplib::Request& request, httplib::Response& response,
                         const std::function<Json::Value(const RequestContext&)>& handler) {
    auto start = std::chrono::steady_clock::now();
    int code = 0;
    std::string reply;
    try {
        reply = SuccessReply(handler(ContextOf(request)));
    } catch (const Refusal& refusal) {
        code = refusal.Code();
        reply = RefusalReply(code, refusal.what());
    } catch (const std::exception& error) {
        code = kInternal;
        std::cerr << "cloudsim: " << request.path << " failed: " << error.what() << std::endl;
        reply = RefusalReply(kInternal, "服务内部错误，请稍后重试");
    }
    response.set_content(reply, "application/json; charset=utf-8");
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    // One write per line, so the lines of concurrent requests do not mix.
    std::cerr << (request.method + " " + request.path + " -> " + std::to_string(code) + " (" +
                  std::to_string(micros.count()) + " us)\n");
}

void CloudService::Routes() {
    server.set_payload_max_length(kMaxBody);
    server.Post("/vyr-api/ws/api/reqCmd", [this](const httplib::Request& request, httplib::Response& response) {
        Serve(request, response, [&](const RequestContext& context) {
            RequestBody body = RequestBody::Parse(request.body);
            int64_t cmd = body.Int("cmd");
            const Handler* handler = table.FindCommand(cmd);
            if (!handler) throw Refusal(kUnknownCommand, "不支持的请求命令" + std::to_string(cmd) + "，请升级客户端");
            return (*handler)(body, context);
        });
    });
    server.Post(R"(/api/([A-Za-z]+)\.htdy)", [this](const httplib::Request& request, httplib::Response& response) {
        Serve(request, response, [&](const RequestContext& context) {
            const Handler* handler = table.FindNamed(request.matches[1]);
            if (!handler) throw Refusal(kUnknownCommand, "不支持的请求接口，请升级客户端");
            return (*handler)(RequestBody::Parse(request.body), context);
        });
    });
    server.Get(R"(/alarm/picture/([0-9a-f]{1,64})\.jpeg)", [this](const httplib::Request& request,
                                                               httplib::Response& response) {
        std::optional<std::string> picture;
        try {
            picture = alarms.Picture(request.matches[1]);
        } catch (const std::exception& error) {
            std::cerr << "cloudsim: alarm picture failed: " << error.what() << std::endl;
            response.status = 500;
            return;
        }
        if (!picture) {
            response.status = 404;
            return;
        }
        response.set_content(*picture, "image/jpeg");
    });
    const ControlHandler::Serve serve = [this](const httplib::Request& request, httplib::Response& response,
                                               const std::function<Json::Value(const RequestContext&)>& handler) {
        Serve(request, response, handler);
    };
    control.Register(server, serve);
    staging.Register(server, serve);
    // Anything else (unknown path, body over the limit) still gets an envelope the client can read.
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.status == 413)
            response.set_content(RefusalReply(kTooLarge, "请求内容过大，已被拒绝"), "application/json; charset=utf-8");
        else if (response.body.empty())
            response.set_content(RefusalReply(kUnknownCommand, "请求的接口不存在"), "application/json; charset=utf-8");
    });
}

int CloudService::Bind(int port) {
    if (port == 0) {
        boundPort = server.bind_to_any_port("127.0.0.1");
    } else {
        boundPort = server.bind_to_port("127.0.0.1", port) ? port : -1;
    }
    return boundPort;
}

void CloudService::Run() {
    running = true;
    if (!stopRequested) server.listen_after_bind();
    running = false;
}

void CloudService::Stop() {
    stopRequested = true;
    // Run may sit between its check and the start of listening, where the server cannot be stopped yet.
    while (running) {
        server.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace cloudsim
