#pragma once

#include <string>

class CIMClient;
class ReconnectBackoff;

// Where and as whom the IM client logs in.
struct ImLogin {
    std::string user;
    std::string password;
    std::string domain;
    std::string server;
    int port = 0;
};

// Runs the IM connection on the calling thread and gets it back whenever it is lost or cannot be
// opened: after each lost session the presences are forgotten and WM_IM_DISCONNECTED is posted (the
// cameras are no longer known to be online), then the next attempt follows after the backoff's pause.
// The first attempt opens the client's FirstAttemptGate when it ends. A first attempt that fails posts
// WM_IM_DISCONNECTED as well (once), so the window can say why no camera is online; later failed
// attempts post nothing.
// A session that was established starts the pauses over. Returns once the client's Disconnect() was
// called. The new session delivers the roster and every available camera's presence again, so each
// camera's online sequence runs again as on the first connection.
void KeepImConnection(CIMClient& client, const ImLogin& login, ReconnectBackoff& backoff);
