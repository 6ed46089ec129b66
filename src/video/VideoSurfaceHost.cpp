#include "video/VideoSurfaceHost.h"

#include "PlayInterface.h"
#include "ui/VideoSurface.h"
#include "ui/WindowRegistry.h"

namespace {

void DeliverFrame(void* window, const std::uint8_t* bgra, int width, int height, int stride)
{
    VideoSurface::PresentFrame(static_cast<HWND>(window), bgra, width, height, stride);
}

void PostToWindow(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    PostMessage(static_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace

void InstallVideoSurfaceHost()
{
    const PlayerHost host{&DeliverFrame, &PostToWindow};
    SetPlayerHost(&host);
}
