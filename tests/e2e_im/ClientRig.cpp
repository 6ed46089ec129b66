#include "ClientRig.h"

#include "glooxWrap/ImConnection.h"
#include "glooxWrap/ImEvents.h"
#include "ui/WindowMessages.h"

#include <json/json.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>

LRESULT ClientWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    Event event{message, wParam, {}};
    if (message == WM_IM_PRESENCE && lParam != 0)
        event.deviceId = reinterpret_cast<const char*>(lParam);
    if (message == WM_IM_MESSAGE && lParam != 0)
        event.deviceId = reinterpret_cast<const ImMessageRecord*>(lParam)->deviceId;
    events.push_back(event);
    router_(message, wParam, lParam);
    return 0;
}

std::vector<ClientWindow::Event> ClientWindow::EventsOf(UINT message, const std::string& deviceId) const
{
    std::vector<Event> out;
    for (const auto& e : events)
        if (e.message == message && (deviceId.empty() || e.deviceId == deviceId))
            out.push_back(e);
    return out;
}

std::vector<std::string> ClientWindow::LinesWith(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const auto& line : lines)
        if (line.rfind(prefix, 0) == 0)
            out.push_back(line);
    return out;
}

ClientRig::ClientRig() : window([this](UINT m, WPARAM w, LPARAM l) { return router.HandleImEvent(m, w, l); })
{
    im.SetNotifyWnd(window.GetHWND());
}

ClientRig::~ClientRig()
{
    Disconnect();
    // Events still queued for the window own payloads that only their handling frees.
    QCoreApplication::processEvents();
}

void ClientRig::Connect(const std::string& user, const std::string& password, int port)
{
    imThread = std::thread([this, user, password, port] {
        im.ConnectServer(user, password, KELVUE_DEVICE_DOMAIN, "127.0.0.1", port);
    });
}

void ClientRig::ConnectFromSession()
{
    imThread = std::thread([this] { RunImConnection(im); });
}

void ClientRig::Disconnect()
{
    im.Disconnect();
    if (imThread.joinable())
        imThread.join();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "im_e2e";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);
}

int CmdOf(const std::string& body)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(body.data(), body.data() + body.size(), &value, &errors) || !value.isObject() ||
        !value["cmd"].isInt())
        return -1;
    return value["cmd"].asInt();
}
