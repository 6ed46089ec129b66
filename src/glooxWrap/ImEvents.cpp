#include "glooxWrap/ImEvents.h"

#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <cstring>

char* NewPresencePayload(const std::string& deviceId)
{
    char* copy = new char[deviceId.size() + 1];
    std::memcpy(copy, deviceId.c_str(), deviceId.size() + 1);
    return copy;
}

std::unique_ptr<ImMessageRecord> TakeImMessage(LPARAM lParam)
{
    if (lParam == 0)
        return std::make_unique<ImMessageRecord>();
    return std::unique_ptr<ImMessageRecord>(reinterpret_cast<ImMessageRecord*>(lParam));
}

std::string TakePresenceId(LPARAM lParam)
{
    if (lParam == 0)
        return {};
    std::unique_ptr<char[]> copy(reinterpret_cast<char*>(lParam));
    return std::string(copy.get());
}

void PostImMessage(HWND hwnd, std::unique_ptr<ImMessageRecord> record)
{
    ImMessageRecord* raw = record.release();
    if (!PostMessage(hwnd, WM_IM_MESSAGE, 0, reinterpret_cast<LPARAM>(raw)))
        delete raw;
}

void PostPresence(HWND hwnd, int presence, const std::string& deviceId)
{
    char* copy = NewPresencePayload(deviceId);
    if (!PostMessage(hwnd, WM_IM_PRESENCE, static_cast<WPARAM>(presence), reinterpret_cast<LPARAM>(copy)))
        delete[] copy;
}
