#include "video/VideoSurfaceHost.h"

#include "video/PlayerLibrary.h"
#include "ui/VideoSurface.h"
#include "ui/WindowRegistry.h"

namespace {

std::uint8_t* LendFrame(void* window, int width, int height, int* stride)
{
    return VideoSurface::LendFrame(static_cast<HWND>(window), width, height, stride);
}

void ReturnFrame(void* window, bool filled)
{
    VideoSurface::ReturnFrame(static_cast<HWND>(window), filled);
}

void PostToWindow(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    PostMessage(static_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace

void InstallVideoSurfaceHost()
{
    PlayerLibrary::Instance().SetHost(PlayerHost{&LendFrame, &ReturnFrame, &PostToWindow});
}
