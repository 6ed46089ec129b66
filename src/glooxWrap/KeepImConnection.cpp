#include "glooxWrap/KeepImConnection.h"

#include "base/ReconnectBackoff.h"
#include "glooxWrap/CIMClient.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <glog/logging.h>

void KeepImConnection(CIMClient& client, const ImLogin& login, ReconnectBackoff& backoff)
{
    while (!client.StopRequested()) {
        const int before = client.ConnectionCount();
        client.ConnectServer(login.user, login.password, login.domain, login.server, login.port);
        if (client.ConnectionCount() != before) {
            backoff.Reset();
            client.ForgetPresences();
            if (HWND hwnd = client.NotifyWnd())
                PostMessage(hwnd, WM_IM_DISCONNECTED, 0, 0);
        }
        if (client.StopRequested())
            break;
        const auto pause = backoff.Next();
        LOG(INFO) << "im重新连接 in " << pause.count() << " ms (attempt " << backoff.Attempts() << ")";
        if (!client.PauseUnlessStopped(pause))
            break;
    }
}
