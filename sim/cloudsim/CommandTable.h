#pragma once
// Which handler answers which request: "cmd" numbers of the command endpoint and names of the
// "api/<name>.htdy" endpoints. Filled once by the handler classes before the server starts.
#include "RequestBody.h"

#include <json/json.h>

#include <functional>
#include <map>
#include <string>

namespace cloudsim {

// What a handler knows about the request besides its body.
struct RequestContext {
    std::string baseUrl;  // "http://host:port" as the client addressed the service
};

// Returns the "result" of the reply; throws Refusal to turn the request down.
using Handler = std::function<Json::Value(const RequestBody&, const RequestContext&)>;

class CommandTable {
public:
    void AddCommand(int cmd, Handler handler) { commands[cmd] = std::move(handler); }
    void AddNamed(const std::string& name, Handler handler) { named[name] = std::move(handler); }
    const Handler* FindCommand(int64_t cmd) const {
        auto found = commands.find(cmd);
        return found == commands.end() ? nullptr : &found->second;
    }
    const Handler* FindNamed(const std::string& name) const {
        auto found = named.find(name);
        return found == named.end() ? nullptr : &found->second;
    }

private:
    std::map<int64_t, Handler> commands;
    std::map<std::string, Handler> named;
};

}  // namespace cloudsim
