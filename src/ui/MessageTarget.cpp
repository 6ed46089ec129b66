#include "ui/MessageTarget.h"

#include "ui/MessagePort.h"
#include "ui/WindowRegistry.h"

MessageTarget::MessageTarget()
{
    AcquireHandle();
}

MessageTarget::MessageTarget(NoHandle) {}

MessageTarget::~MessageTarget()
{
    ReleaseHandle();
}

void MessageTarget::AcquireHandle()
{
    ReleaseHandle();
    port_ = new MessagePort(this);
    hwnd_ = WindowRegistry::Instance().Register(port_);
}

void MessageTarget::ReleaseHandle()
{
    if (port_ == nullptr)
        return;
    WindowRegistry::Instance().Unregister(hwnd_);
    hwnd_ = nullptr;
    // The port may be the object whose event is being handled right now: detach it and let the event
    // loop delete it, dropping whatever is still queued for it.
    port_->Detach();
    port_->deleteLater();
    port_ = nullptr;
}

void MessageTarget::SetTimer(WPARAM id, unsigned elapseMs)
{
    if (port_)
        port_->SetTimer(id, elapseMs);
}

void MessageTarget::KillTimer(WPARAM id)
{
    if (port_)
        port_->KillTimer(id);
}
