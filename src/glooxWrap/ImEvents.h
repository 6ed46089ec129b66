#pragma once

// Payloads of the IM events (WM_IM_MESSAGE, WM_IM_PRESENCE). The IM thread allocates them; whoever
// receives the message owns them from then on and frees them with the Take functions below. When
// PostMessage fails the sender frees them itself.

#include "ui/WinDef.h"

#include <memory>
#include <string>

// lParam of WM_IM_MESSAGE: the sending camera's device id and the message body, as received.
struct ImMessageRecord {
    std::string deviceId;
    std::string body;
};

// lParam of WM_IM_PRESENCE is a heap copy of the device id, NUL-terminated (new char[]).
char* NewPresencePayload(const std::string& deviceId);

// Take ownership of an event's payload; a null lParam gives an empty record / empty text.
std::unique_ptr<ImMessageRecord> TakeImMessage(LPARAM lParam);
std::string TakePresenceId(LPARAM lParam);

// Posts `message` with the payload to the window; frees the payload when the window is gone.
void PostImMessage(HWND hwnd, std::unique_ptr<ImMessageRecord> record);
void PostPresence(HWND hwnd, int presence, const std::string& deviceId);
