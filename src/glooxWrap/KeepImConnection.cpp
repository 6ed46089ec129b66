#include "glooxWrap/KeepImConnection.h"

#include "base/ReconnectBackoff.h"
#include "glooxWrap/CIMClient.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <glog/logging.h>

void KeepImConnection(CIMClient& client, const ImLogin& login, ReconnectBackoff& backoff)
{
    bool firstAttempt = true;
    while (!client.StopRequested()) {
        const int before = client.ConnectionCount();
        client.ConnectServer(login.user, login.password, login.domain, login.server, login.port);
        const bool sessionEnded = client.ConnectionCount() != before;
        // A first attempt that failed (server unreachable, log-in refused) is told like a lost
        // session: otherwise the user sees every camera offline and never learns why. Later failed
        // attempts post nothing.
        const bool firstFailed = firstAttempt && !sessionEnded && !client.StopRequested();
        if (sessionEnded) {
            backoff.Reset();
            client.ForgetPresences();
        }
        if (firstFailed)
            LOG(WARNING) << "no IM session with " << login.server << ":" << login.port
                         << " (unreachable or log-in refused); trying again";
        if (sessionEnded || firstFailed) {
            if (HWND hwnd = client.NotifyWnd())
                PostMessage(hwnd, WM_IM_DISCONNECTED, 0, 0);
        }
        if (firstAttempt)
            client.FirstAttemptGate().Open();
        firstAttempt = false;
        if (client.StopRequested())
            break;
        const auto pause = backoff.Next();
        LOG(INFO) << "im重新连接 in " << pause.count() << " ms (attempt " << backoff.Attempts() << ")";
        if (!client.PauseUnlessStopped(pause))
            break;
    }
}
