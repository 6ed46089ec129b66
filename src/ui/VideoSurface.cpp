#include "ui/VideoSurface.h"

#include "base/PictureMemory.h"
#include "ui/VideoRefresh.h"
#include "ui/WidgetHandles.h"
#include "ui/WindowRegistry.h"

#include <QPainter>

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

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

// The slot whose back buffer this thread borrowed: it stays alive until the buffer comes back, even if
// the surface is destroyed meanwhile.
thread_local std::shared_ptr<void> t_lentSlot;

}  // namespace

VideoSurface::VideoSurface(QWidget* parent)
    : NativeWidget(parent)
    , slot_(std::make_shared<FrameSlot>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    VideoRefresh::Ensure();
    std::lock_guard<std::mutex> guard(SlotMutex());
    Slots<FrameSlot>()[GetHWND()] = slot_;
}

VideoSurface::~VideoSurface()
{
    std::lock_guard<std::mutex> guard(SlotMutex());
    Slots<FrameSlot>().erase(GetHWND());
}

QImage VideoSurface::NewFrameBuffer(int width, int height)
{
    // Rows 64-byte aligned, as the converters' vector code wants them.
    const qsizetype stride = (static_cast<qsizetype>(width) * 4 + 63) & ~qsizetype(63);
    void* pixels = PictureMemory::Allocate(static_cast<size_t>(stride) * height);
    if (pixels == nullptr)
        return QImage();
    // Format_RGB32 is BGRA in memory on little endian; the alpha byte is ignored.
    return QImage(static_cast<uchar*>(pixels), width, height, stride, QImage::Format_RGB32, &std::free, pixels);
}

uint8_t* VideoSurface::LendFrame(HWND hwnd, int width, int height, int* strideBytes)
{
    if (width <= 0 || height <= 0 || strideBytes == nullptr)
        return nullptr;
    std::shared_ptr<FrameSlot> slot;
    {
        std::lock_guard<std::mutex> guard(SlotMutex());
        auto it = Slots<FrameSlot>().find(hwnd);
        if (it == Slots<FrameSlot>().end())
            return nullptr;
        slot = it->second;
    }
    std::lock_guard<std::mutex> guard(slot->mutex);
    if (slot->lent)
        return nullptr;  // another thread is writing into this surface (a player replacing another)
    if (slot->back.width() != width || slot->back.height() != height)
        slot->back = NewFrameBuffer(width, height);
    if (slot->back.isNull())
        return nullptr;
    slot->lent = true;
    *strideBytes = static_cast<int>(slot->back.bytesPerLine());
    t_lentSlot = slot;
    return slot->back.bits();
}

void VideoSurface::ReturnFrame(HWND hwnd, bool filled)
{
    auto slot = std::static_pointer_cast<FrameSlot>(std::move(t_lentSlot));
    t_lentSlot.reset();
    if (!slot)
        return;
    bool needRepaint = false;
    {
        std::lock_guard<std::mutex> guard(slot->mutex);
        slot->lent = false;
        if (!filled)
            return;
        std::swap(slot->back, slot->front);
        ++slot->presented;
        needRepaint = !slot->repaintQueued;
        slot->repaintQueued = true;
    }
    if (needRepaint)
        VideoRefresh::MarkDirty(hwnd);
}

bool VideoSurface::PresentFrame(HWND hwnd, const uint8_t* bgra, int width, int height, int strideBytes)
{
    if (bgra == nullptr || width <= 0 || height <= 0 || strideBytes < width * 4)
        return false;
    int targetStride = 0;
    uint8_t* target = LendFrame(hwnd, width, height, &targetStride);
    if (target == nullptr)
        return false;
    for (int y = 0; y < height; ++y)
        std::memcpy(target + static_cast<size_t>(y) * targetStride, bgra + static_cast<size_t>(y) * strideBytes,
                    static_cast<size_t>(width) * 4);
    ReturnFrame(hwnd, true);
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
    return slot_->front.size();
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
        slot_->front = QImage();
    }
    update();
}

LRESULT VideoSurface::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND host = WidgetHandles::NearestHandle(parentWidget());
    return host ? SendMessage(host, message, wParam, lParam) : 0;
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Drawn under the lock: a presenting thread only waits here when it gives a frame back meanwhile.
    std::lock_guard<std::mutex> guard(slot_->mutex);
    slot_->repaintQueued = false;
    const QImage& frame = slot_->front;
    if (frame.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    ++slot_->painted;
    if (frame.size() == size()) {
        painter.drawImage(0, 0, frame);
        return;
    }
    painter.fillRect(rect(), Qt::black);
    QSize scaled = frame.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - scaled.width()) / 2, (height() - scaled.height()) / 2), scaled);
    painter.drawImage(target, frame);
}
