#pragma once

class CIMClient;

// Body of the IM thread ("connect server thread"): logs in with the signed-in account's mobile number
// and IM password to the IM server named by the log-in reply, and keeps the connection (reconnecting
// after 1, 2, 4 ... up to 30 s when it is lost) until the client's Disconnect().
// ImConnectionThread runs it on a thread of its own (after SetNotifyWnd).
void RunImConnection(CIMClient& client);
