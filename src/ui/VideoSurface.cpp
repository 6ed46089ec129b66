#include "ui/VideoSurface.h"

#include "ui/WidgetHandles.h"
#include "ui/WindowRegistry.h"

#include <QPainter>

#include <cstring>
#include <unordered_map>

namespace {

// Private message: "a new frame is in the slot". Never forwarded.
constexpr UINT kFrameReady = WM_APP + 0x101;

// Handles of live surfaces → their slots. Guarded by SlotMutex(); the slot itself has its own lock.
std::mutex& SlotMutex()
{
    static std::mutex mutex;
    return mutex;
}

template <typename Slot>
std::unordered_map<HWND, std::shared_ptr<Slot>>& Slots()
{
    static std::unordered_map<HWND, std::shared_ptr<Slot>> table;
    return table;
}

}  // namespace

VideoSurface::VideoSurface(QWidget* parent)
    : NativeWidget(parent)
    , slot_(std::make_shared<FrameSlot>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    std::lock_guard<std::mutex> guard(SlotMutex());
    Slots<FrameSlot>()[GetHWND()] = slot_;
}

VideoSurface::~VideoSurface()
{
    std::lock_guard<std::mutex> guard(SlotMutex());
    Slots<FrameSlot>().erase(GetHWND());
}

bool VideoSurface::PresentFrame(HWND hwnd, const uint8_t* bgra, int width, int height, int strideBytes)
{
    if (bgra == nullptr || width <= 0 || height <= 0 || strideBytes < width * 4)
        return false;
    std::shared_ptr<FrameSlot> slot;
    {
        std::lock_guard<std::mutex> guard(SlotMutex());
        auto it = Slots<FrameSlot>().find(hwnd);
        if (it == Slots<FrameSlot>().end())
            return false;
        slot = it->second;
    }
    bool needRepaint = false;
    {
        std::lock_guard<std::mutex> guard(slot->mutex);
        if (slot->latest.width() != width || slot->latest.height() != height)
            slot->latest = QImage(width, height, QImage::Format_RGB32);  // BGRA in memory on little endian
        for (int y = 0; y < height; ++y)
            std::memcpy(slot->latest.scanLine(y), bgra + static_cast<size_t>(y) * strideBytes, static_cast<size_t>(width) * 4);
        ++slot->presented;
        needRepaint = !slot->repaintQueued;
        slot->repaintQueued = true;
    }
    if (needRepaint && !PostMessage(hwnd, kFrameReady, 0, 0))
        return false;  // the surface closed in between
    return true;
}

VideoSurface* VideoSurface::FromHandle(HWND hwnd)
{
    return dynamic_cast<VideoSurface*>(WidgetHandles::Widget(hwnd));
}

int VideoSurface::FramesPresented() const
{
    std::lock_guard<std::mutex> guard(slot_->mutex);
    return slot_->presented;
}

QSize VideoSurface::LastFrameSize() const
{
    std::lock_guard<std::mutex> guard(slot_->mutex);
    return slot_->latest.size();
}

int VideoSurface::FramesPainted() const
{
    std::lock_guard<std::mutex> guard(slot_->mutex);
    return slot_->painted;
}

void VideoSurface::ClearFrame()
{
    {
        std::lock_guard<std::mutex> guard(slot_->mutex);
        slot_->latest = QImage();
    }
    update();
}

LRESULT VideoSurface::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kFrameReady) {
        // Scheduled, not immediate: Qt then paints all surfaces that got a frame in one pass and
        // flushes the window once, instead of one paint and one flush per cell and frame.
        update();
        return 0;
    }
    HWND host = WidgetHandles::NearestHandle(parentWidget());
    return host ? SendMessage(host, message, wParam, lParam) : 0;
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    std::lock_guard<std::mutex> guard(slot_->mutex);
    slot_->repaintQueued = false;
    if (slot_->latest.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    ++slot_->painted;
    if (slot_->latest.size() == size()) {
        painter.drawImage(0, 0, slot_->latest);
        return;
    }
    painter.fillRect(rect(), Qt::black);
    QSize scaled = slot_->latest.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - scaled.width()) / 2, (height() - scaled.height()) / 2), scaled);
    painter.drawImage(target, slot_->latest);
}
