#pragma once

// What the wall's window tests share: one QApplication, the skin of the source tree, a private
// program folder for LocalConfig (config.ini and the capture folders), the player's frame host, the
// cameras' stream server, and a stand-in for the main window that records what it is sent.

#include "app/LocalConfig.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CWindowWnd.h"
#include "ui/MessageTarget.h"
#include "ui/WindowImplBase.h"
#include "video/StreamServer.h"
#include "video/VideoSurfaceHost.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace walltest {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Stands in for the main window: keeps every message it receives.
class MainWindowStub : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam});
        if (relay)
            relay(message);
        return 0;
    }
    int Count(UINT message) const
    {
        int n = 0;
        for (const auto& m : received)
            n += m.message == message;
        return n;
    }
    const Message* Last(UINT message) const
    {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (it->message == message)
                return &*it;
        return nullptr;
    }
    std::vector<Message> received;
    std::function<void(UINT)> relay;
};

inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The visible top-level widget of that window class; null when none is shown.
inline QWidget* TopLevel(const QString& className)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == className && w->isVisible())
            return w;
    return nullptr;
}

// The window behind a top-level widget; null for null or a widget that is no such window.
inline WindowImplBase* WindowOf(QWidget* widget)
{
    return widget != nullptr ? dynamic_cast<WindowImplBase*>(CWindowWnd::FromWidget(widget)) : nullptr;
}

// Closes every shown window of that class.
inline void CloseAll(const QString& className)
{
    while (WindowImplBase* window = WindowOf(TopLevel(className))) {
        window->Close(1);
        Pump(20);
    }
}

class WallEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("kelvue_wall_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "run");
        std::filesystem::permissions(folder / "run", std::filesystem::perms::owner_all);
        av_log_set_level(AV_LOG_ERROR);
        ::setenv("XDG_RUNTIME_DIR", (folder / "run").c_str(), 1);
        static int argc = 1;
        static char name[] = "video_wall_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);  // lives until the process ends, after every window
        const char* source = std::getenv("KELVUE_SOURCE_DIR");
        CPaintManagerUI::SetResourcePath(QString::fromUtf8(source != nullptr ? source : KELVUE_SOURCE_DIR) + "/skin/");
        LocalConfig::Instance()->InitAt(folder.string() + "/", (folder / "kelvue").string());
        InstallVideoSurfaceHost();
        server = std::make_unique<camsim::StreamServer>();
        ASSERT_TRUE(server->Start(0));
    }
    void TearDown() override
    {
        server->Stop();
        server.reset();
        std::filesystem::remove_all(folder);
    }

    static inline std::filesystem::path folder;
    static inline std::unique_ptr<camsim::StreamServer> server;
};

}  // namespace walltest
