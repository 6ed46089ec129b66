#pragma once

// The main window's layout in a test window, with the camera services over a fake IM connection:
// the pages of the main window are driven through their real controls and what reaches the camera
// is read from the fake connection.
#include "UiTestKit.h"
#include "device/FakeMessenger.h"

#include "device/CamParamMgr.h"
#include "device/StreamRequestMgr.h"

#include <memory>

struct MainPagesRig {
    MainPagesRig()
    {
        uitest::EnsureApp();
        im.SetOnline("c1");
        im.SetFriend("c1");
        // The wall, the lists and the bars are other pages' business: plain stand-ins here.
        window.create = [](const QString&) { return new CControlUI(new QWidget); };
        window.Build();
        window.ShowWindow();
        uitest::Pump(20);
    }
    ~MainPagesRig() { window.DestroyWindow(); }

    CControlUI* Control(const char* name) { return window.FindControl(QString::fromUtf8(name)); }
    // Bodies the camera was sent, once at least n arrived.
    std::vector<std::string> Sent(size_t n) { return im.WaitSentBodies(n); }

    FakeMessenger im;
    CamParamMgr params{im};
    StreamRequestMgr streams{params};
    uitest::TestWindow window{QStringLiteral("MainWnd.xml"), QStringLiteral("DUIWnd")};
};
